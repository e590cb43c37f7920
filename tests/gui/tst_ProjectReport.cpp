#include "GuiTestSupport.h"
#include "PdfTestSupport.h"

#include "core/common/NumberText.h"
#include "core/jobs/Project.h"
#include "gui/project/frmProject.h"
#include "gui/report/ProjectReportLinks.h"
#include "gui/report/ReportDocument.h"
#include "gui/report/frmProjectReport.h"
#include "gui/shell/frmMain.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

Room ZoneRoom(std::string name, std::vector<std::pair<const char*, std::string>> changes,
              int quantity = 1, SizeChoice size = SizeChoice::Fewest) {
    ZoneTexts texts = InitialZoneTexts();
    for (const auto& [field, text] : changes)
        texts.*FindEntry<ZoneTexts, ZoneInputs>(kZoneFields, field)->text = text;
    return {std::move(name), quantity, size, ZoneJob(texts)};
}

// Completed rooms of both kinds and sizes, one refused, one outside the
// envelope and one losing moisture.
Project MixedProject() {
    Project p;
    p.title = "Leisure Centre";
    p.client = "Borough Council";
    p.site = "Mill Lane";
    p.reference = "Q-2291";
    p.rooms = {
        ZoneRoom("Gallery", {}, 3),
        ZoneRoom("Hall", {{"txtOccupancy", "40"}}, 2),
        ZoneRoom("Refused", {{"txtrh", "abc"}}, 5),
        ZoneRoom("Cold", {{"txttemp", "12"}}, 5),
        ZoneRoom("Dry",
                 {{"txtOccupancy", "0"},
                  {"txtTamb", "10"},
                  {"txtAmbrh", "10"},
                  {"txtProcess", "0"},
                  {"txtSwimPoolGain", "0"}},
                 4, SizeChoice::Hx200),
        {"Pool", 2, SizeChoice::Hx160, PoolJob(InitialPoolTexts())},
    };
    return p;
}

int PdfPageCount(const QString& pdf) {
    const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                   QRegularExpression::MultilineOption);
    return pages.match(Run(QStringLiteral("pdfinfo"), {pdf})).captured(1).toInt();
}

// The file size limit for this process, held while it is in scope: a write
// past it fails as a full disk does, for the superuser too.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_before;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal);
    }
    bool set() const { return m_set; }

private:
    rlimit m_before{};
    void (*m_signal)(int) = nullptr;
    bool m_set = false;
};

} // namespace

class TestProjectReport : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmMain> m_main;
    frmProject* m_projectWindow = nullptr;

    frmProjectReport* open(const Project& project, const QString& path) {
        frmProjectReport* report = OpenProjectReport(m_projectWindow, project, path);
        return report && report->isVisible() ? report : nullptr;
    }

    // Save as PDF... answered with the path; the messages it showed.
    QStringList save(frmProjectReport* report, const QString& path) {
        return SavePdfFrom(report, path);
    }

private slots:
    // The report opens from the project window, over the main screen.
    void init() {
        m_main = std::make_unique<frmMain>();
        m_main->show();
        m_projectWindow = new frmProject(frmProject::FileChooser{}, m_main.get());
        m_projectWindow->show();
    }
    void cleanup() { m_main.reset(); }

    // The summary carries every room with its gain and units, then the totals
    // and the rooms left out; each room's report begins a page of its own, and
    // every page is numbered out of the true count.
    void mixedProjectOnPaper() {
        const Project project = MixedProject();
        QTemporaryDir dir;
        frmProjectReport* report = open(project, dir.filePath(QStringLiteral("centre.vdhproj")));
        QVERIFY(report);
        QCOMPARE(report->objectName(), QStringLiteral("frmProjectReport"));
        // Left for a person to look at, beside the room reports' PDFs.
        QDir().mkpath(QStringLiteral(VARNELDH_REPORT_OUTPUT));
        const QString pdf =
            QDir(QStringLiteral(VARNELDH_REPORT_OUTPUT)).filePath(QStringLiteral("project.pdf"));
        QFile::remove(pdf);
        QCOMPARE(save(report, pdf), QStringList());

        const QStringList pages = PdfPages(pdf).mid(0, PdfPageCount(pdf));
        const int count = int(pages.size());
        QVERIFY(count > int(project.rooms.size()));
        for (int page = 0; page < count; ++page) {
            const QStringList lines = Lines(pages[page]);
            QVERIFY2(
                !lines.isEmpty() &&
                    lines.last().endsWith(QStringLiteral("Page %1 of %2").arg(page + 1).arg(count)),
                qPrintable(QString::number(page + 1)));
        }

        // Cover, then the summary on the pages before the first room's report.
        QVERIFY(Lines(pages[0]).contains(QStringLiteral("Client: Borough Council")));
        QVERIFY(Lines(pages[0]).contains(QStringLiteral("Reference: Q-2291")));
        int firstRoom = -1;
        for (int page = 0; page < count && firstRoom < 0; ++page) {
            if (Lines(pages[page]).value(0) == QLatin1String("Calculation Report"))
                firstRoom = page;
        }
        QVERIFY(firstRoom > 0);
        const QStringList summary = Lines(pages.mid(0, firstRoom).join(QLatin1Char('\n')));
        const std::vector<RoomResult> results = CalculateRooms(project);
        for (std::size_t i = 0; i < results.size(); ++i) {
            const RoomResult& r = results[i];
            const QString name = Q(project.rooms[i].name);
            const auto row =
                std::find_if(summary.begin(), summary.end(), [&name](const QString& l) {
                    return l.startsWith(name + QLatin1Char(' '));
                });
            QVERIFY2(row != summary.end(), qPrintable(name));
            const QStringList cells = row->split(QLatin1Char(' '));
            QCOMPARE(cells.value(1), QString::number(project.rooms[i].quantity));
            if (r.totalGain)
                QVERIFY2(cells.contains(Q(NumberText::FormatFixed(*r.totalGain, 2))),
                         qPrintable(*row));
            if (r.completed) {
                QVERIFY2(
                    row->contains(QStringLiteral(" %1 %2 ").arg(r.unitsPerRoom).arg(r.unitsInAll)),
                    qPrintable(*row));
            }
        }
        const ProjectTotals totals = TotalsOf(results);
        for (std::size_t s = 0; s < kUnitSizeNames.size(); ++s)
            QVERIFY(summary.contains(QStringLiteral("%1 %2")
                                         .arg(Q(std::string(kUnitSizeNames[s])))
                                         .arg(totals.unitsBySize[s])));
        QVERIFY(summary.contains(QStringLiteral("All sizes %1").arg(totals.units)));
        QVERIFY(summary.join(QLatin1Char(' ')).contains(Q(LeftOutText(project, totals))));

        // Each room's report from the top of a page, in the project's order.
        int previous = firstRoom - 1;
        for (const Room& room : project.rooms) {
            int start = -1;
            for (int page = previous + 1; page < count && start < 0; ++page) {
                const QStringList lines = Lines(pages[page]);
                if (lines.value(0) == QLatin1String("Calculation Report") &&
                    lines.value(1) == Q(room.name))
                    start = page;
            }
            QVERIFY2(start > previous, room.name.c_str());
            previous = start;
        }
    }

    // Print... offers the print dialog, set up on the reader's paper and
    // named after the project.
    void printOffersTheDialog() {
        frmProjectReport* report = open(MixedProject(), QString());
        QVERIFY(report);
        QString paper;
        QString document;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&paper, &document] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                paper = dialog->printer()->pageLayout().pageSize().name();
                document = dialog->printer()->docName();
                dialog->reject();
            }
        });
        answer.start(10);
        QTest::mouseClick(report->findChild<QPushButton*>(QStringLiteral("cmdPrint")),
                          Qt::LeftButton);
        QCOMPARE(paper, ReportPageSize().name());
        QCOMPARE(document, QStringLiteral("Project Report - Leisure Centre"));
    }

    // A write that fails halfway says so once and leaves the file already
    // there as it was, with nothing beside it.
    void failedSaveKeepsTheEarlierFile() {
        QTemporaryDir dir;
        frmProjectReport* report = open(MixedProject(), QString());
        QVERIFY(report);
        const QString pdf = dir.filePath(QStringLiteral("centre.pdf"));
        QFile earlier(pdf);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("the earlier report");
        earlier.close();
        bool saved = true;
        ModalBoxAnswerer boxes;
        {
            const FileSizeLimit limit(4096);
            QVERIFY(limit.set());
            saved = report->SaveAsPdf(pdf);
        }
        QVERIFY(!saved);
        QTRY_COMPARE(boxes.seen().size(), 1);
        QVERIFY2(boxes.seen()[0].text.startsWith(
                     QStringLiteral("The report could not be saved as %1:").arg(pdf)),
                 qPrintable(boxes.seen()[0].text));
        QVERIFY(earlier.open(QIODevice::ReadOnly));
        QCOMPARE(earlier.readAll(), QByteArray("the earlier report"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("centre.pdf")});
    }
};

QTEST_MAIN(TestProjectReport)
#include "tst_ProjectReport.moc"
