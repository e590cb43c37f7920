// Printing that cannot happen. The test runs with CUPS_SERVER pointing where no
// print server listens, so that the print system knows no printer at all.
#include "GuiTestSupport.h"
#include "PrintTestWindow.h"

#include "gui/shell/PrintWindow.h"
#include "gui/common/Resources.h"

#include <QPrinter>
#include <QPrinterInfo>
#include <QtTest>

class TestPrintFailures : public QObject {
    Q_OBJECT

private:
    void verifyFailure(const std::function<bool(QWidget*, QString*)>& print,
                       const QString& message) {
        PrintTestWindow window(QStringLiteral("Detailed Calculation"));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const PrintTestWindow::State before = window.state();

        ModalBoxAnswerer answerer;
        QString problem;
        QVERIFY(!print(&window, &problem));
        QCOMPARE(problem, message);
        QCOMPARE(answerer.seen().size(), 1);
        const ModalBoxAnswerer::Seen& seen = answerer.seen().first();
        QCOMPARE(seen.title, QStringLiteral("Varnel DH"));
        QCOMPARE(seen.text, message);
        QVERIFY(seen.hasOk);
        QCOMPARE(seen.buttonCount, 1);
        QCOMPARE(seen.icon, QMessageBox::NoIcon);
        // The program goes on, the screen as it was and usable again.
        QVERIFY(window.state() == before);
        QVERIFY(!QApplication::activeModalWidget());
    }

private slots:
    void initTestCase() { InitUiResources(); }

    void noDefaultPrinter() {
        QVERIFY2(QPrinterInfo::defaultPrinter().isNull(),
                 "This test needs CUPS_SERVER set where no server runs");
        verifyFailure(
            [](QWidget* screen, QString* problem) { return PrintWindow(screen, problem); },
            QStringLiteral("The window could not be printed because no default "
                           "printer is set up."));
        // Asked again, the same answer: nothing was left half done.
        verifyFailure(
            [](QWidget* screen, QString* problem) { return PrintWindow(screen, problem); },
            QStringLiteral("The window could not be printed because no default "
                           "printer is set up."));
    }

    // A printer that cannot take the job: here one whose output cannot be opened.
    void printerFails() {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QStringLiteral("/nonexistent-folder/page.pdf"));
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
        verifyFailure(
            [&printer](QWidget* screen, QString* problem) {
                return PrintWindowOn(screen, printer, problem);
            },
            QStringLiteral("The window could not be printed: the printer reported an error."));
    }
};

QTEST_MAIN(TestPrintFailures)
#include "tst_PrintFailures.moc"
