#include "GuiTestSupport.h"

#include "gui/common/MessageBox.h"

#include <QtTest>

class TestMessageBox : public QObject {
    Q_OBJECT

private slots:
    void waitsForOkAndShowsTheStandardBox_data();
    void waitsForOkAndShowsTheStandardBox();
};

void TestMessageBox::waitsForOkAndShowsTheStandardBox_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QMessageBox::Icon>("icon");
    QTest::newRow("plain") << QStringLiteral("System Information Is Unavailable At This Time")
                           << QMessageBox::NoIcon;
    QTest::newRow("exclamation") << QStringLiteral("Incorrect Password") << QMessageBox::Warning;
    // Fixed sentences are shown as written, never read as markup.
    QTest::newRow("angle brackets")
        << QStringLiteral("Temperature <b>must</b> be > 0") << QMessageBox::NoIcon;
}

void TestMessageBox::waitsForOkAndShowsTheStandardBox() {
    QFETCH(QString, text);
    QFETCH(QMessageBox::Icon, icon);

    ModalBoxAnswerer answerer;
    if (icon == QMessageBox::NoIcon)
        ShowMessage(nullptr, text);
    else
        ShowMessage(nullptr, text, icon);

    // Had the call not waited for the box, it would be back before the box was answered.
    QCOMPARE(answerer.seen().size(), 1);
    const ModalBoxAnswerer::Seen& box = answerer.seen().first();
    QCOMPARE(box.title, QStringLiteral("Varnel DH"));
    QCOMPARE(box.text, text);
    QCOMPARE(box.textFormat, Qt::PlainText);
    QCOMPARE(box.icon, icon);
    QCOMPARE(box.buttonCount, 1);
    QVERIFY(box.hasOk);
    QVERIFY(box.modal);
    QVERIFY(QApplication::activeModalWidget() == nullptr);
}

QTEST_MAIN(TestMessageBox)
#include "tst_MessageBox.moc"
