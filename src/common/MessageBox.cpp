#include "common/MessageBox.h"

QString AppTitle() {
    return QStringLiteral("Varnel DH");
}

void ShowMessage(QWidget* parent, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, AppTitle(), text, QMessageBox::Ok, parent);
    box.setObjectName(QStringLiteral("msgBox"));
    // The texts are fixed sentences, never markup.
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
