#include "gui/common/MessageBox.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace {

class CloseHolder : public QObject {
public:
    explicit CloseHolder(QWidget* window) : QObject(window) { window->installEventFilter(this); }

    bool held = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Close) {
            return QObject::eventFilter(watched, event);
        }
        event->ignore();
        held = true;
        return true;
    }
};

} // namespace

HoldCloseWhileOpen::HoldCloseWhileOpen(QWidget* over) {
    QWidget* window = over ? over->window() : nullptr;
    if (window && window->testAttribute(Qt::WA_DeleteOnClose)) {
        m_window = window;
        m_holder = new CloseHolder(window);
    }
}

HoldCloseWhileOpen::~HoldCloseWhileOpen() {
    const auto* holder = static_cast<CloseHolder*>(m_holder.data());
    const bool held = holder && holder->held;
    delete holder;
    if (held && m_window) {
        // From the event loop: by then the caller has returned, or holds it again
        // behind its next dialog.
        QTimer::singleShot(0, m_window.data(), [window = m_window] {
            if (window) {
                window->close();
            }
        });
    }
}

QString AppTitle() {
    return QStringLiteral("Varnel DH");
}

void ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, AppTitle(), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("msgBox"));
    // The texts are fixed sentences, never markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // The exclamation is the only picture a message carries: a screen reader is
    // to hear it as a warning, not as an unnamed image.
    if (icon == QMessageBox::Warning) {
        if (auto* picture = box.findChild<QLabel*>(QStringLiteral("qt_msgboxex_icon_label")))
            picture->setAccessibleName(QStringLiteral("Warning"));
    }
    const HoldCloseWhileOpen hold(parent);
    box.exec();
}
