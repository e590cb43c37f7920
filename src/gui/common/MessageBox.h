#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The application title: every message box and the About caption carry it.
QString AppTitle();

// Shows a message the way every screen does: a modal box titled with the
// application title, a single OK button, no icon unless one is asked for.
// Returns once the user has pressed OK.
void ShowMessage(QWidget* parent, const QString& text,
                 QMessageBox::Icon icon = QMessageBox::NoIcon);
