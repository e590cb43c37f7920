#include "GuiTestSupport.h"
#include "PdfTestSupport.h"

#include "core/jobs/JobFile.h"
#include "core/pool/EvaporationMethods.h"
#include "core/pool/PoolCalc.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/zone/ZoneCalc.h"
#include "gui/pool/frmMethod2.h"
#include "gui/report/ChartPainter.h"
#include "gui/report/ChartView.h"
#include "gui/report/ReportDocument.h"
#include "gui/report/frmReport.h"
#include "gui/shell/Application.h"
#include "gui/shell/Screens.h"
#include "gui/shell/frmMain.h"
#include "gui/shell/frmSplash.h"
#include "gui/zone/frmMethod1.h"

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

#include <algorithm>
#include <cmath>

namespace {

const QString kOutput = QStringLiteral(VARNELDH_REPORT_OUTPUT);

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString ThePassword() {
    return QStringLiteral("kelt") + QString::number(4729);
}

// The number of the first page holding that line, or -1.
int PageOf(const QStringList& pages, const QString& line) {
    for (qsizetype i = 0; i < pages.size(); ++i) {
        if (Lines(pages[i]).contains(line))
            return int(i);
    }
    return -1;
}

// A table row as the report writes it: its cells side by side.
QString Row(const QStringList& cells) {
    return cells.join(QLatin1Char(' ')).simplified();
}

// Pages rendered to pictures that are not blank, each; page 1 kept as png.
int NonBlankPages(const QString& pdf, const QString& keepFirstAs) {
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    Run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"), pdf, prefix});
    int pages = 0;
    for (const QString& name : QDir(dir.path()).entryList({QStringLiteral("page-*.png")})) {
        QImage page(dir.filePath(name));
        qsizetype inked = 0;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                inked += qGray(page.pixel(x, y)) < 200;
            }
        }
        if (inked * 100 < qsizetype(page.width()) * page.height())
            return -1;
        if (++pages == 1 && !keepFirstAs.isEmpty()) {
            QFile::remove(keepFirstAs);
            QFile::copy(dir.filePath(name), keepFirstAs);
        }
    }
    return pages;
}

// The centre of the pixels painted exactly in a colour; null when none.
QPointF Centre(const QImage& image, QColor colour) {
    double x = 0;
    double y = 0;
    int count = 0;
    for (int row = 0; row < image.height(); ++row) {
        for (int column = 0; column < image.width(); ++column) {
            if (image.pixel(column, row) == colour.rgb()) {
                x += column + 0.5;
                y += row + 0.5;
                ++count;
            }
        }
    }
    return count < 10 ? QPointF() : QPointF(x / count, y / count);
}

struct Entry {
    const char* name;
    const char* text;
};

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Application> m_program;
    QStringList m_warnings; // what the last Calculate showed

    QMainWindow* screen(const QString& which) {
        return which == QLatin1String("zone") ? static_cast<QMainWindow*>(zone())
                                              : m_program->screens().Pool();
    }
    frmMethod1* zone() { return m_program->screens().Zone(); }

    void choose(QMainWindow* on, const char* item) {
        QAction* action = on->findChild<QAction*>(QString::fromLatin1(item));
        QVERIFY2(action, item);
        action->trigger();
    }

    void calculate(QMainWindow* on, const QList<Entry>& entries) {
        for (const Entry& e : entries) {
            QLineEdit* field =
                on->findChild<QComboBox*>(QString::fromLatin1(e.name))
                    ? on->findChild<QComboBox*>(QString::fromLatin1(e.name))->lineEdit()
                    : on->findChild<QLineEdit*>(QString::fromLatin1(e.name));
            QVERIFY2(field, e.name);
            field->setText(QString::fromUtf8(e.text));
        }
        ModalBoxAnswerer answerer;
        QTest::mouseClick(on->findChild<QPushButton*>(QStringLiteral("cmdCalculate")),
                          Qt::LeftButton);
        m_warnings.clear();
        for (const auto& seen : answerer.seen())
            m_warnings << seen.text;
    }

    void reveal(QMainWindow* on) {
        choose(on, "mnuPassword");
        QWidget* lock = TopLevelsNamed(QStringLiteral("frmpassword")).value(0);
        QVERIFY(lock);
        lock->findChild<QLineEdit*>(QStringLiteral("txtPassword"))->setText(ThePassword());
        QTest::mouseClick(lock->findChild<QPushButton*>(QStringLiteral("cmdOK")), Qt::LeftButton);
    }

    frmReport* openReport(QMainWindow* on) {
        choose(on, "mnuReport");
        auto* report = on->findChild<frmReport*>(QStringLiteral("frmReport"));
        return report && report->isVisible() ? report : nullptr;
    }

    // Save as PDF... answered with the path; the messages it showed.
    QStringList save(frmReport* report, const QString& path) { return SavePdfFrom(report, path); }

private slots:
    void initTestCase() { QDir().mkpath(kOutput); }

    void init() {
        m_program = std::make_unique<Application>();
        m_program->Start();
        QTest::mouseClick(m_program->Splash(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY(m_program->MainScreen());
    }

    void cleanup() { m_program.reset(); }

    void calculateFirst_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QList<Entry>>("refused");
        QTest::addColumn<QString>("caption");
        QTest::newRow("zone") << "zone" << QList<Entry>{{"txtVol", "abc"}} << "Zone Volume (m3)";
        QTest::newRow("pool") << "pool" << QList<Entry>{{"txtpoolarea", "0"}} << "Pool Area (m2)";
    }

    // Before a completed Calculate there is nothing to report: one message says
    // to calculate first.
    void calculateFirst() {
        QMainWindow* on = screen(QString::fromLatin1(QTest::currentDataTag()));
        on->show();
        ModalBoxAnswerer answerer;
        QVERIFY(!openReport(on));
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("Varnel DH"));
        QCOMPARE(answerer.seen()[0].text, QString::fromLatin1(kCalculateFirstMessage));
    }

    void followsTheResultsShown_data() { calculateFirst_data(); }

    // A refused Calculate empties only its entry: the results on the screen
    // stand, and the report and the methods window keep them. The report says
    // in a line above its tables which entries now differ from its run's.
    void followsTheResultsShown() {
        QFETCH(QString, which);
        QFETCH(QList<Entry>, refused);
        QFETCH(QString, caption);
        QMainWindow* on = screen(which);
        on->show();
        calculate(on, {});
        frmReport* report = openReport(on);
        QVERIFY(report);
        const CalcReport::Table entries = report->Report()->content.tables.at(0);
        QCOMPARE(Q(report->Report()->changedEntries), QString());
        QWidget* methods = nullptr;
        if (which == QLatin1String("pool")) {
            choose(on, "mnuEvaporationMethods");
            methods = TopLevelsNamed(QStringLiteral("frmEvapMethods")).value(0);
            QVERIFY(methods);
        }
        auto methodsFigure = [methods] {
            return methods->findChild<QLineEdit*>(QStringLiteral("txtlitresPerDayProgram"))->text();
        };
        const QString figure = methods ? methodsFigure() : QString();

        calculate(on, refused);
        QCOMPARE(m_warnings.size(), 1);
        QVERIFY(report->Report());
        QCOMPARE(report->Report()->content.tables.at(0).rows, entries.rows);
        const QString line =
            QStringLiteral("Entries changed on the screen since this calculation: %1.");
        QCOMPARE(Q(report->Report()->changedEntries), line.arg(caption));
        if (methods)
            QCOMPARE(methodsFigure(), figure);

        // Typed over without Calculate: named too, in the order of the report's
        // entries table.
        QLineEdit* rh = on->findChild<QLineEdit*>(QStringLiteral("txtrh"));
        rh->setText(QStringLiteral("55"));
        const QString both = QStringLiteral("Desired Zone Relative Humidity (%), ") + caption;
        QCOMPARE(Q(report->Report()->changedEntries), line.arg(both));

        // On paper, above the first table.
        const QString pdf =
            QDir(kOutput).filePath(QStringLiteral("changed-entries-%1.pdf").arg(which));
        QFile::remove(pdf);
        QCOMPARE(save(report, pdf), QStringList());
        const QString page = PdfPages(pdf).value(0).simplified();
        const qsizetype at = page.indexOf(line.arg(both));
        QVERIFY2(at >= 0, qPrintable(page));
        QVERIFY(at < page.indexOf(Q(entries.heading)));

        // The entries as the run had them again: no line.
        rh->setText(QStringLiteral("60"));
        auto* refusedField = on->findChild<QLineEdit*>(QString::fromLatin1(refused[0].name));
        for (const auto& row : entries.rows) {
            if (Q(row.at(0)) == caption)
                refusedField->setText(Q(row.at(1)));
        }
        QCOMPARE(Q(report->Report()->changedEntries), QString());
    }

    void pdfHoldsTheScreen_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QList<Entry>>("entries");
        QTest::addColumn<bool>("revealed");
        QTest::addColumn<bool>("picked");
        // Chosen in the Evaporation Methods window once the report is open; none
        // opens it.
        QTest::addColumn<QString>("poolType");
        const QList<Entry> zoneExample{{"txtOccupancy", "10"},
                                       {"txtVentrate", "2"},
                                       {"txtProcess", "0.5"},
                                       {"txtSwimPoolGain", "12.50"}};
        QTest::newRow("zone example, locked") << "zone" << zoneExample << false << false << "";
        QTest::newRow("zone example, revealed") << "zone" << zoneExample << true << false << "";
        QTest::newRow("zone warnings, picked weather")
            << "zone" << QList<Entry>{{"txtVentrate", "15"}, {"txtVol", "12000"}} << false << true
            << "";
        QTest::newRow("zone dried by the outside air, locked")
            << "zone" << QList<Entry>{{"txtTamb", "20"}, {"txtAmbrh", "30"}} << false << false
            << "";
        QTest::newRow("pool example, locked") << "pool" << QList<Entry>{} << false << false << "";
        QTest::newRow("pool occupied, revealed")
            << "pool"
            << QList<Entry>{{"txttemp", "28"}, {"txtOccupancy", "10"}, {"cmbOccupancy2", "5"}}
            << true << false << "Public pool, water up to 1.35 m deep";
        QTest::newRow("pool warnings, locked")
            << "pool" << QList<Entry>{{"txtpoolarea", "250"}, {"txtpooltemp", "40"}} << false
            << false << "";
    }

    // The saved PDF holds every entry and result text as the screen shows it,
    // the counts with the units to install, the warnings and the location; the
    // details only while they are revealed. Its pages render, not blank.
    void pdfHoldsTheScreen() {
        QFETCH(QString, which);
        QFETCH(QList<Entry>, entries);
        QFETCH(bool, revealed);
        QFETCH(bool, picked);
        QFETCH(QString, poolType);
        QMainWindow* on = screen(which);
        on->show();
        if (picked) {
            QTest::mouseClick(on->findChild<QPushButton*>(QStringLiteral("Command9")),
                              Qt::LeftButton);
            QWidget* picker = TopLevelsNamed(QStringLiteral("frmDesign")).value(0);
            QVERIFY(picker);
            QTest::mouseClick(picker->findChild<QWidget*>(QStringLiteral("Label2")),
                              Qt::LeftButton);
        }
        if (revealed)
            reveal(on);
        calculate(on, entries);
        const bool zoneScreen = which == QLatin1String("zone");
        QCOMPARE(m_warnings.isEmpty(), !QByteArray(QTest::currentDataTag()).contains("warnings"));

        frmReport* report = openReport(on);
        QVERIFY(report);
        // The figures of the evaporation methods as their window shows them,
        // method by method, with the VDI 2089-1 pool type they are for.
        struct Method {
            QString caption;
            QStringList figures;
            QString outOfRange;
        };
        QList<Method> methods;
        if (!poolType.isEmpty()) {
            choose(on, "mnuEvaporationMethods");
            QWidget* window = TopLevelsNamed(QStringLiteral("frmEvapMethods")).value(0);
            QVERIFY(window);
            auto* types = window->findChild<QComboBox*>(QStringLiteral("cmbPoolType"));
            types->setCurrentIndex(types->findText(poolType));
            QCOMPARE(types->currentText(), poolType);
            for (const EvaporationMethods::Method method : EvaporationMethods::kMethods) {
                const QString key = Q(EvaporationMethods::KeyOf(method));
                Method shown{Q(EvaporationMethods::CaptionOf(method)), {}, {}};
                for (const ResultSpec& column : EvaporationMethods::kFigureColumns)
                    shown.figures << window
                                         ->findChild<QLineEdit*>(QStringLiteral("txt") +
                                                                 Q(column.name) + key)
                                         ->text();
                shown.outOfRange =
                    window->findChild<QLabel*>(QStringLiteral("lblReason") + key)->text();
                methods << shown;
            }
        } else if (!zoneScreen) {
            const auto& run = m_program->screens().Pool()->LastRun();
            QVERIFY(run);
            for (const auto& figure : EvaporationMethods::Compare(
                     run->inputs, run->result.numbers, EvaporationMethods::kDefaultPoolType)) {
                Method worked{Q(figure.caption), {}, Q(figure.outOfRange)};
                for (const std::string& text : EvaporationMethods::FigureTexts(figure))
                    worked.figures << Q(text);
                methods << worked;
            }
        }
        if (!methods.isEmpty()) {
            methods.back().caption +=
                QStringLiteral(", ") +
                (poolType.isEmpty()
                     ? Q(EvaporationMethods::SpecOf(EvaporationMethods::kDefaultPoolType).caption)
                     : poolType);
        }
        const QString tag =
            QString::fromLatin1(QTest::currentDataTag())
                .replace(QRegularExpression(QStringLiteral("[^a-z]+")), QStringLiteral("-"));
        const QString pdf = kOutput + QStringLiteral("/report-") + tag + QStringLiteral(".pdf");
        QFile::remove(pdf);
        QVERIFY(QTest::qWaitForWindowExposed(report));
        QVERIFY(report->grab().save(kOutput + QStringLiteral("/report-window-") + tag +
                                    QStringLiteral(".png")));
        QCOMPARE(save(report, pdf), QStringList());
        const QStringList pages = PdfPages(pdf);
        const QStringList lines = Lines(pages.join(QLatin1Char('\n')));
        QVERIFY2(!lines.isEmpty(), qPrintable(pdf));
        const QString all = lines.join(QLatin1Char(' '));
        // Each heading once, on the page where it is seen: none drawn, clipped
        // away, under the footer of the page before. Every table fits on a
        // page, so each row stands on its heading's page.
        QVERIFY(report->Report());
        const CalcReport::Content& content = report->Report()->content;
        QStringList headings{QStringLiteral("Warnings"), QStringLiteral("Method"),
                             QStringLiteral("Psychrometric Chart")};
        for (const CalcReport::Table& table : content.tables) {
            headings << Q(table.heading);
            const int page = PageOf(pages, Q(table.heading));
            for (const auto& cells : table.rows) {
                QStringList texts;
                for (const std::string& cell : cells)
                    texts << Q(cell);
                // A row whose caption wraps is found by its figures below.
                if (lines.contains(Row(texts)))
                    QCOMPARE(PageOf(pages, Row(texts)), page);
            }
        }
        for (const QString& heading : headings)
            QVERIFY2(lines.count(heading) == 1, qPrintable(heading));

        auto field = [on](std::string_view name) {
            QLineEdit* f = on->findChild<QComboBox*>(Q(name))
                               ? on->findChild<QComboBox*>(Q(name))->lineEdit()
                               : on->findChild<QLineEdit*>(Q(name));
            return f ? f->text() : QStringLiteral("(no field)");
        };
        auto expectRow = [&lines](const QStringList& cells) {
            QVERIFY2(lines.contains(Row(cells)),
                     qPrintable(QStringLiteral("no row: ") + Row(cells)));
        };

        QStringList shown; // every text on paper that is not a detail
        // The entries in the order the screen shows them, top to bottom.
        QMap<int, qsizetype> entryLines;
        auto expectEntry = [&](std::string_view name, std::string_view caption,
                               std::string_view unit) {
            const QString row = Row({Q(caption), field(name), Q(unit)});
            QVERIFY2(lines.contains(row), qPrintable(QStringLiteral("no row: ") + row));
            shown << field(name);
            const QWidget* widget = on->findChild<QComboBox*>(Q(name))
                                        ? static_cast<QWidget*>(on->findChild<QComboBox*>(Q(name)))
                                        : on->findChild<QLineEdit*>(Q(name));
            entryLines.insert(widget->mapTo(on, QPoint()).y(), lines.indexOf(row));
        };
        if (zoneScreen) {
            for (const ZoneEntry& e : kZoneFields)
                expectEntry(e.name, e.caption, e.unit);
        } else {
            for (const PoolEntry& e : kPoolFields)
                expectEntry(e.name, e.caption, e.unit);
        }
        QList<qsizetype> inScreenOrder = entryLines.values();
        QVERIFY2(std::is_sorted(inScreenOrder.begin(), inScreenOrder.end()),
                 "the entries are not in the screen's order");
        // Each method's figures on the line that begins its caption, VDI
        // 2089-1's with the pool type; and the reason of each figure outside
        // its method's range beside its caption. The reference figure is not
        // locked here.
        QCOMPARE(lines.contains(QStringLiteral("Evaporation by Other Methods")), !zoneScreen);
        QCOMPARE(methods.size(), zoneScreen ? 0 : 5);
        for (const Method& method : methods) {
            const QString figures = Row(method.figures);
            const auto line = std::find_if(lines.begin(), lines.end(), [&](const QString& l) {
                return l.size() > figures.size() && l.endsWith(QLatin1Char(' ') + figures) &&
                       method.caption.startsWith(l.left(l.size() - figures.size() - 1));
            });
            QVERIFY2(line != lines.end(), qPrintable(method.caption + QLatin1Char(' ') + figures));
            QCOMPARE(PageOf(pages, *line),
                     PageOf(pages, QStringLiteral("Evaporation by Other Methods")));
            if (!method.outOfRange.isEmpty()) {
                const QString start = method.caption + QLatin1Char(' ');
                const auto reason = std::find_if(lines.begin(), lines.end(), [&](const QString& l) {
                    return l.startsWith(start) && l.size() > start.size() &&
                           method.outOfRange.simplified().startsWith(l.mid(start.size()));
                });
                QVERIFY2(reason != lines.end(), qPrintable(method.outOfRange));
            }
            shown << method.figures;
        }
        // The methods' column headings stand apart, not run together.
        QCOMPARE(pages.join(QLatin1Char('\n'))
                     .contains(QRegularExpression(
                         QStringLiteral("No\\. HX 100 {2,}No\\. HX 160 {2,}No\\. HX 200"))),
                 !zoneScreen);
        QCOMPARE(lines.contains(QStringLiteral("Outside its published range")),
                 std::any_of(methods.begin(), methods.end(),
                             [](const Method& m) { return !m.outOfRange.isEmpty(); }));
        const auto& results = zoneScreen ? std::span<const ResultSpec>(kZoneResults)
                                         : std::span<const ResultSpec>(kPoolResults);
        QStringList details;
        for (const ResultSpec& r : results) {
            // The pool's pass count shows on the zone screen.
            const QString text = &r == &kPoolIterations
                                     ? zone()->Field(QStringLiteral("txtiter"))->text()
                                     : field(r.name);
            QVERIFY2(!text.isEmpty(), r.name.data());
            if (r.detail) {
                details << text;
            } else if (r.pattern == Pattern::Fixed1) {
                // The count as shown, to two decimals rounded up, and the
                // units to install: "1.0" can need 2.
                const QRegularExpression count(
                    QLatin1Char('^') + QRegularExpression::escape(Row({Q(r.caption), text})) +
                    QStringLiteral(" ([0-9]+\\.[0-9]{2}) ([0-9]+)$"));
                if (text == QLatin1String("0")) {
                    expectRow({Q(r.caption), text, text});
                } else {
                    const auto line =
                        std::find_if(lines.begin(), lines.end(),
                                     [&](const QString& l) { return count.match(l).hasMatch(); });
                    QVERIFY2(line != lines.end(),
                             qPrintable(Q(r.caption) + QLatin1Char(' ') + text));
                    const auto m = count.match(*line);
                    QVERIFY2(std::fabs(m.captured(1).toDouble() - text.toDouble()) <= 0.06,
                             qPrintable(*line));
                    QCOMPARE(m.captured(2).toDouble(), std::ceil(m.captured(1).toDouble()));
                }
                shown << text;
            } else {
                expectRow({Q(r.caption), text, Q(r.unit)});
                shown << text;
            }
        }
        if (revealed) {
            QVERIFY(lines.contains(QStringLiteral("Air Properties")));
            for (const ResultSpec& r : results) {
                if (r.detail && r.column != "Moisture Removal Rate" && !r.column.empty() &&
                    r.name.back() == '1') {
                    const std::string other =
                        std::string(r.name.substr(0, r.name.size() - 1)) + "2";
                    const QString second = field(other) == QStringLiteral("(no field)")
                                               ? field("txtV2")
                                               : field(other);
                    expectRow({Q(r.caption), field(r.name), second, Q(r.unit)});
                }
            }
            for (const QString& text : details)
                QVERIFY2(all.split(QLatin1Char(' ')).contains(text), qPrintable(text));
        } else {
            QVERIFY(!lines.contains(QStringLiteral("Air Properties")));
            const QStringList words = all.split(QLatin1Char(' '));
            for (const QString& text : details) {
                if (!shown.contains(text))
                    QVERIFY2(!words.contains(text), qPrintable(text + QStringLiteral(" on paper")));
            }
        }
        for (const QString& warning : m_warnings)
            QVERIFY2(all.contains(warning.simplified()), qPrintable(warning));
        // A zone that the outside air dries needs no unit, and the report says why.
        const bool drier = zoneScreen && field("txtTotGain").startsWith(QLatin1Char('-'));
        QCOMPARE(content.noUnitsReason.empty(), !drier);
        QVERIFY(all.contains(Q(content.noUnitsReason)));
        QCOMPARE(all.contains(QStringLiteral("Design weather: Belfast 23°C / 53% RH")), picked);
        QVERIFY(all.contains(QStringLiteral("Varnel DH 2.0")));

        const QString info = Run(QStringLiteral("pdfinfo"), {pdf});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Title: +Calculation Report - ") +
                                                  QRegularExpression::escape(on->windowTitle()) +
                                                  QLatin1Char('\n'))),
                 qPrintable(info));
        QVERIFY(info.contains(QRegularExpression(QStringLiteral("Creator: +Varnel DH 2.0\n"))));
        const QString page = ReportPageSize().id() == QPageSize::Letter ? QStringLiteral("letter")
                                                                        : QStringLiteral("A4");
        QVERIFY2(info.contains(QStringLiteral("(") + page + QStringLiteral(")")), qPrintable(info));
        const QString meta = Run(QStringLiteral("pdfinfo"), {QStringLiteral("-meta"), pdf});
        QVERIFY2(meta.contains(QStringLiteral("<dc:creator><rdf:Seq><rdf:li>Varnel</rdf:li>")),
                 qPrintable(meta));
        // Text as text: the chart's labels too, not a picture of them; and the
        // chart on the page of its heading.
        const int chartPage = PageOf(pages, QStringLiteral("Psychrometric Chart"));
        QVERIFY(chartPage >= 0);
        QCOMPARE(PageOf(pages, QStringLiteral("Dry bulb temperature (°C)")), chartPage);
        QVERIFY(Run(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf})
                    .count(QLatin1Char('\n')) <= 2);

        const int rendered = NonBlankPages(pdf, kOutput + QStringLiteral("/report-") + tag +
                                                    QStringLiteral("-page1.png"));
        QCOMPARE(rendered, int(pages.size()) - 1); // text ends with a page break

        // Hide Details locks the open report too: what it would save next.
        if (revealed) {
            QTest::mouseClick(on->findChild<QPushButton*>(QStringLiteral("Command2")),
                              Qt::LeftButton);
            QVERIFY(report->Report());
            for (const CalcReport::Table& table : report->Report()->content.tables)
                QVERIFY2(table.heading != "Air Properties", "details after Hide Details");
        }
    }

    // A folder that cannot be written: one message, and nothing left there.
    // The title of the job the entries came from heads the report.
    void jobTitleOnPaper() {
        QTemporaryDir dir;
        const QString job = dir.filePath(QStringLiteral("hall.vdhjob"));
        QFile file(job);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(
            WriteJob(PoolJob(InitialPoolTexts(), "Leisure centre, main hall"))));
        file.close();
        m_program->OpenJobFile(job, m_program->MainScreen());
        QMainWindow* pool = m_program->screens().Pool();
        QVERIFY(pool->isVisible());
        calculate(pool, {});
        frmReport* report = openReport(pool);
        QVERIFY(report);
        const QString pdf = dir.filePath(QStringLiteral("hall.pdf"));
        QCOMPARE(save(report, pdf), QStringList());
        QVERIFY(Lines(PdfPages(pdf).join(QLatin1Char('\n')))
                    .contains(QStringLiteral("Leisure centre, main hall")));
    }

    void unwritableFolder() {
        QMainWindow* on = zone();
        on->show();
        calculate(on, {});
        frmReport* report = openReport(on);
        QVERIFY(report);
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        // The superuser writes anywhere on disk, but not into the kernel's folders.
        const QString folder =
            QFileInfo(dir.path()).isWritable() ? QStringLiteral("/sys") : dir.path();
        const QStringList before = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden);
        const QString path = folder + QStringLiteral("/Calculation Report.pdf");
        const QStringList messages = save(report, path);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QCOMPARE(messages.size(), 1);
        QVERIFY2(
            messages[0].startsWith(QStringLiteral("Varnel DH: The report could not be saved as ") +
                                   path + QLatin1Char(':')),
            qPrintable(messages[0]));
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden), before);
        QVERIFY(!QFileInfo::exists(path));
    }

    // Print... offers the print dialog for any printer, set up on the
    // reader's paper.
    void printOffersTheDialog() {
        QMainWindow* on = zone();
        on->show();
        calculate(on, {});
        frmReport* report = openReport(on);
        QVERIFY(report);
        QString seen;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&seen] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                seen = dialog->printer()->pageLayout().pageSize().name();
                dialog->reject();
            }
        });
        answer.start(10);
        QTest::mouseClick(report->findChild<QPushButton*>(QStringLiteral("cmdPrint")),
                          Qt::LeftButton);
        QCOMPARE(seen, ReportPageSize().name());
    }

    // A table longer than a page breaks where it stands, its header row
    // again at the top of the next page, no row lost or doubled.
    void longTableRepeatsItsHeaderRow() {
        ReportData data;
        data.content.title = "Calculation Report";
        data.content.calculation = "Detailed Calculation";
        CalcReport::Table table{"Long Table", {"First column", "Second column"}, {}};
        for (int i = 1; i <= 90; ++i)
            table.rows.push_back({"Row " + std::to_string(i), std::to_string(i * 7)});
        data.content.tables = {table};
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("long.pdf"));
        QVERIFY(SaveReportPdf(data, pdf));
        const QStringList pages = PdfPages(pdf);
        const int first = PageOf(pages, QStringLiteral("Long Table"));
        QCOMPARE(first, 0);
        const int last = PageOf(pages, QStringLiteral("Row 90 630"));
        QVERIFY2(last > first, "the table fits on one page");
        for (int page = first; page <= last; ++page)
            QVERIFY2(Lines(pages[page]).contains(QStringLiteral("First column Second column")),
                     qPrintable(QString::number(page + 1)));
        const QStringList all = Lines(pages.join(QLatin1Char('\n')));
        for (int i = 1; i <= 90; ++i)
            QCOMPARE(all.count(QStringLiteral("Row %1 %2").arg(i).arg(i * 7)), 1);
    }

    void pageSizeFollowsTheCountry_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("size");
        QTest::newRow("United States") << "en_US" << int(QPageSize::Letter);
        QTest::newRow("Canada, French") << "fr_CA" << int(QPageSize::Letter);
        QTest::newRow("Mexico") << "es_MX" << int(QPageSize::Letter);
        QTest::newRow("United Kingdom") << "en_GB" << int(QPageSize::A4);
        QTest::newRow("Germany") << "de_DE" << int(QPageSize::A4);
    }
    void pageSizeFollowsTheCountry() {
        QFETCH(QString, locale);
        QFETCH(int, size);
        QCOMPARE(int(ReportPageSize(QLocale(locale)).id()), size);
    }

    void chartNamesEveryLine_data() {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<double>("humidest"); // the highest humidity ratio plotted, kg/kg
        // The window as it opens, at its least, wider, and the report's page.
        QTest::newRow("window") << QSize(740, 500) << 0.0;
        QTest::newRow("window at its least") << ChartView().minimumSizeHint() << 0.0;
        QTest::newRow("wide window") << QSize(1200, 500) << 0.0;
        QTest::newRow("report page") << QSize(1200, 792) << 0.0;
        QTest::newRow("humid air") << QSize(740, 500) << 0.04;
    }

    // Every relative humidity and every wet bulb from 5 to 30 °C is named,
    // each name clear of the others and of the key, all inside the chart.
    void chartNamesEveryLine() {
        QFETCH(QSize, size);
        QFETCH(double, humidest);
        CalcReport::ChartData data;
        if (humidest > 0) {
            CalcReport::ChartState humid;
            humid.t = 40;
            humid.air.W = humidest;
            data.states.push_back(humid);
        }
        ChartPainter chart;
        chart.SetData(data);
        QImage device(size, QImage::Format_RGB32);
        const QRectF area{QPointF(), QSizeF(size)};
        const ChartPainter::Layout layout = chart.Arrange(area, &device);
        QStringList names;
        for (const ChartLabel& label : layout.labels) {
            names << label.text;
            QVERIFY2(area.contains(label.box), qPrintable(label.text));
            QVERIFY2(!label.box.intersects(layout.legend), qPrintable(label.text));
            for (const ChartLabel& other : layout.labels) {
                QVERIFY2(&other == &label || !other.box.intersects(label.box),
                         qPrintable(label.text + QStringLiteral(" on ") + other.text));
            }
        }
        for (int rh = 10; rh <= 100; rh += 10)
            QVERIFY2(names.contains(QString::number(rh) + QLatin1Char('%')),
                     qPrintable(names.join(u' ')));
        for (int wetBulb = 5; wetBulb <= 30; wetBulb += 5)
            QVERIFY2(names.contains(QString::number(wetBulb)), qPrintable(names.join(u' ')));
    }

    void chartPlotsTheEngine_data() {
        QTest::addColumn<QString>("which");
        QTest::addColumn<QList<Entry>>("entries");
        QTest::addColumn<QList<Entry>>("next");
        QTest::newRow("zone") << "zone" << QList<Entry>{{"txtVentrate", "2"}}
                              << QList<Entry>{{"txttemp", "24"}, {"txtAmbrh", "55"}};
        QTest::newRow("pool") << "pool" << QList<Entry>{{"txtOccupancy", "10"}}
                              << QList<Entry>{{"txtrh", "50"}, {"txtpooltemp", "30"}};
    }

    // Each plotted state sits at its dry bulb and humidity ratio by the engine,
    // moves when another run completes, and tells what it is under the
    // pointer, its properties only while the details are revealed.
    void chartPlotsTheEngine() {
        QFETCH(QString, which);
        QFETCH(QList<Entry>, entries);
        QFETCH(QList<Entry>, next);
        QMainWindow* on = screen(which);
        on->show();
        calculate(on, entries);
        choose(on, "mnuChart");
        QWidget* window = on->findChild<QWidget*>(QStringLiteral("frmChart"));
        QVERIFY(window && window->isVisible());
        window->resize(820, 600);
        QVERIFY(QTest::qWaitForWindowExposed(window));
        auto* view = window->findChild<ChartView*>(QStringLiteral("chart"));
        QVERIFY(view);

        const bool zoneScreen = which == QLatin1String("zone");
        auto number = [on](const char* name) {
            QLineEdit* f = on->findChild<QLineEdit*>(QString::fromLatin1(name));
            return f->text().toDouble();
        };
        QPoint room;
        auto check = [&](const QString& png) {
            const double p = number("txtPresskPa");
            struct Expected {
                double t, W;
            };
            QList<Expected> states;
            if (zoneScreen) {
                states << Expected{number("txttemp"), Psychrometrics::ComputeAirState(
                                                          number("txttemp"), number("txtrh"), p)
                                                          .W}
                       << Expected{number("txtTamb"), Psychrometrics::ComputeAirState(
                                                          number("txtTamb"), number("txtAmbrh"), p)
                                                          .W};
            } else {
                states << Expected{number("txttemp"), Psychrometrics::ComputeAirState(
                                                          number("txttemp"), number("txtrh"), p)
                                                          .W}
                       << Expected{
                              number("txtpooltemp"),
                              Psychrometrics::ComputeSaturatedAirState(number("txtpooltemp"), p).W};
            }
            QImage image(view->size(), QImage::Format_RGB32);
            view->render(&image);
            const QRectF plot = view->Chart().PlotArea(QRectF(view->rect()));
            const double wMax = view->Chart().HighestW();
            for (qsizetype i = 0; i < states.size(); ++i) {
                const QPointF at = Centre(image, ChartPainter::StateColour(std::size_t(i)));
                QVERIFY2(!at.isNull(), "state not drawn");
                const double t = (at.x() - plot.left()) / plot.width() * 50;
                const double W = (plot.bottom() - at.y()) / plot.height() * wMax;
                QVERIFY2(std::fabs(t - states[i].t) < 1.2 * 50 / plot.width(),
                         qPrintable(QString::number(t)));
                QVERIFY2(std::fabs(W - states[i].W) < 1.2 * wMax / plot.height(),
                         qPrintable(QString::number(W, 'f', 5)));
            }
            for (int scale : {1, 2}) {
                QImage shot(window->size() * scale, QImage::Format_ARGB32);
                shot.setDevicePixelRatio(scale);
                shot.fill(Qt::white);
                window->render(&shot);
                QVERIFY(shot.save(
                    QStringLiteral("%1/chart-%2-%3@%4x.png").arg(kOutput, which, png).arg(scale)));
            }
            room = Centre(image, ChartPainter::StateColour(0)).toPoint();
        };
        auto tip = [view](QPoint at) {
            QHelpEvent hover(QEvent::ToolTip, at, view->mapToGlobal(at));
            QApplication::sendEvent(view, &hover);
            return QToolTip::isVisible() ? QToolTip::text() : QString();
        };

        check(QStringLiteral("first"));
        if (QTest::currentTestFailed())
            return;
        const QString roomTemp = on->findChild<QLineEdit*>(QStringLiteral("txttemp"))->text();
        QString shown = tip(room);
        QVERIFY2(
            shown.startsWith(QStringLiteral("Zone\nDry bulb ") + roomTemp + QStringLiteral(" °C")),
            qPrintable(shown));
        QVERIFY2(!shown.contains(QStringLiteral("Wet bulb")), qPrintable(shown));

        calculate(on, next);
        check(QStringLiteral("next"));
        if (QTest::currentTestFailed())
            return;
        reveal(on);
        shown = tip(room);
        const QString wetBulb = on->findChild<QLineEdit*>(QStringLiteral("txtWBzone"))->text();
        QVERIFY2(shown.contains(QStringLiteral("Wet bulb ") + wetBulb + QStringLiteral(" °C")),
                 qPrintable(shown));
    }
};

QTEST_MAIN(TestReport)
#include "tst_Report.moc"
