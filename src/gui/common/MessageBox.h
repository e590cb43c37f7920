#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QString>

class QWidget;

// The application title: every message box and the About caption carry it.
QString AppTitle();

// Shows a message the way every screen does: a modal box titled with the
// application title, a single OK button, no icon unless one is asked for.
// Returns once the user has pressed OK.
void ShowMessage(QWidget* parent, const QString& text,
                 QMessageBox::Icon icon = QMessageBox::NoIcon);

// Held while a modal dialog of a window is open. A window that is deleted when
// it closes is not closed meanwhile: its Close button can still be pressed
// through the accessibility interface, and deleting the window would delete the
// dialog and everything its caller still uses. The close is carried out once
// the dialog is answered and its caller has returned.
class HoldCloseWhileOpen {
public:
    explicit HoldCloseWhileOpen(QWidget* over);
    ~HoldCloseWhileOpen();
    HoldCloseWhileOpen(const HoldCloseWhileOpen&) = delete;
    HoldCloseWhileOpen& operator=(const HoldCloseWhileOpen&) = delete;

private:
    QPointer<QWidget> m_window;
    QPointer<QObject> m_holder;
};
