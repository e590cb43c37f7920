#include "gui/common/MessageBox.h"

#include <QLabel>

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
    box.exec();
}
