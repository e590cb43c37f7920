// Prints through the real print system: the default printer must be the PDF
// queue that scripts/cups-test-env.sh sets up, whose jobs become PDF files.
#include "GuiTestSupport.h"
#include "PrintTestWindow.h"

#include "gui/shell/PrintWindow.h"
#include "gui/common/Resources.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <pwd.h>
#include <unistd.h>

namespace {

const QString kQueue = QStringLiteral("VarnelPDF");

// Where the PDF queue puts the jobs of this user.
QString OutputFolder() {
    const QString given = qEnvironmentVariable("VARNELDH_PDF_DIR");
    if (!given.isEmpty())
        return given;
    const passwd* user = getpwuid(getuid());
    return QStringLiteral("/var/spool/cups-pdf/") +
           QString::fromLocal8Bit(user ? user->pw_name : "root");
}

// The number of pages, by pdfinfo where there is one, else by the page objects.
int PageCount(const QString& pdf) {
    if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {pdf});
        if (!info.waitForFinished(30000) || info.exitCode() != 0)
            return -1;
        const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                       QRegularExpression::MultilineOption);
        const auto match = pages.match(QString::fromLocal8Bit(info.readAllStandardOutput()));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
    QFile file(pdf);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QString text = QString::fromLatin1(file.readAll());
    return int(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page(?![s\\w])"))));
}

// The box around the dark pixels of the page, drawn at a low resolution.
QRect DarkBox(const QImage& page) {
    QRect box;
    for (int y = 0; y < page.height(); ++y) {
        for (int x = 0; x < page.width(); ++x) {
            if (qGray(page.pixel(x, y)) < 96)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

} // namespace

class TestPrintWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        InitUiResources();
        if (QStandardPaths::findExecutable(QStringLiteral("lpstat")).isEmpty())
            QSKIP("No print system here (lpstat is missing): install CUPS with scripts/setup.sh");
        // Never a real printer: only the PDF queue may get the test pages.
        QVERIFY2(QPrinterInfo::defaultPrinterName() == kQueue,
                 "The default printer is not the PDF queue VarnelPDF: run "
                 "scripts/cups-test-env.sh first");
    }

    // One job, one page, the whole client area fitted to the page.
    void printsOnePage() {
        const QString token = QStringLiteral("VarnelPrintTest%1%2")
                                  .arg(QCoreApplication::applicationPid())
                                  .arg(QDateTime::currentMSecsSinceEpoch());
        PrintTestWindow window(token);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const PrintTestWindow::State before = window.state();

        ModalBoxAnswerer answerer;
        QString problem;
        QVERIFY2(PrintWindow(&window, &problem), qPrintable(problem));
        QVERIFY(problem.isEmpty());
        QVERIFY(answerer.seen().isEmpty());
        QVERIFY(window.state() == before);

        // The job arrives as a PDF named after the window's title.
        const QDir folder(OutputFolder());
        QStringList jobs;
        QTRY_VERIFY_WITH_TIMEOUT(
            !(jobs = folder.entryList({QStringLiteral("*%1*.pdf").arg(token)}, QDir::Files))
                 .isEmpty(),
            60000);
        QCOMPARE(jobs.size(), 1);
        const QString pdf = folder.filePath(jobs.first());
        // Written whole once the page count can be read.
        QTRY_COMPARE_WITH_TIMEOUT(PageCount(pdf), 1, 20000);

        if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("pdftoppm (poppler-utils) is missing: the page's picture is not checked");
        QTemporaryDir drawn;
        QVERIFY(drawn.isValid());
        QProcess render;
        render.start(QStringLiteral("pdftoppm"),
                     {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-png"),
                      QStringLiteral("-singlefile"), pdf, drawn.filePath(QStringLiteral("page"))});
        QVERIFY(render.waitForFinished(30000));
        QCOMPARE(render.exitCode(), 0);
        const QImage page(drawn.filePath(QStringLiteral("page.png")));
        QVERIFY(!page.isNull());

        // Proportions kept, the menu bar left out, as wide as the page allows and
        // nothing cut at the edges.
        const QRect box = DarkBox(page);
        QVERIFY(!box.isEmpty());
        const QSize client = window.clientSize();
        const double printed = double(box.width()) / box.height();
        const double expected = double(client.width()) / client.height();
        QVERIFY2(qAbs(printed - expected) / expected < 0.03,
                 qPrintable(QStringLiteral("printed %1, window %2").arg(printed).arg(expected)));
        QVERIFY2(box.width() > page.width() * 0.8,
                 qPrintable(QStringLiteral("%1 of %2").arg(box.width()).arg(page.width())));
        QVERIFY(box.left() > 0 && box.right() < page.width() - 1);
        QVERIFY(box.top() > 0 && box.bottom() < page.height() - 1);
        QFile::remove(pdf);
    }
};

QTEST_MAIN(TestPrintWindow)
#include "tst_PrintWindow.moc"
