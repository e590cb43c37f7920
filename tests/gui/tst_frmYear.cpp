#include "GuiTestSupport.h"
#include "core/weather/Epw.h"
#include "gui/common/Resources.h"
#include "gui/report/frmReport.h"
#include "gui/shell/ReportLinks.h"
#include "gui/weather/DurationCurve.h"
#include "gui/weather/frmYear.h"
#include "gui/zone/frmMethod1.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString WeatherData(const char* name) {
    return QStringLiteral(VARNELDH_WEATHER_DATA_DIR "/") + QLatin1String(name);
}

// Every text field of the screen, entries and results, by name.
QMap<QString, QString> FieldTexts(const QWidget* screen) {
    QMap<QString, QString> texts;
    for (const QLineEdit* field : screen->findChildren<QLineEdit*>())
        texts.insert(field->objectName(), field->text());
    return texts;
}

frmYear* YearWindow(QWidget* zone) {
    return zone->findChild<frmYear*>(QString(), Qt::FindDirectChildrenOnly);
}

QStringList Column(const QTableWidget* grid, int column) {
    QStringList texts;
    for (int r = 0; r < grid->rowCount(); ++r)
        texts << (grid->item(r, column) ? grid->item(r, column)->text() : QString());
    return texts;
}

} // namespace

class TestFrmYear : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmMethod1> m_zone;

    void useChicago() {
        m_zone->WeatherState()->weather = LoadWeatherFile(m_zone.get(), WeatherData("chicago.epw"));
        QVERIFY(m_zone->WeatherState()->weather);
    }

private slots:
    void initTestCase() { InitUiResources(); }
    void init() {
        m_zone = std::make_unique<frmMethod1>();
        m_zone->show();
    }
    void cleanup() { m_zone.reset(); }

    // The window shows the engine's tables and curve of the screen's entries,
    // and leaves the screen as it was.
    void showsTheYear() {
        useChicago();
        m_zone->Field(QStringLiteral("txtOccupancy"))->setText(QStringLiteral("60"));
        const auto before = FieldTexts(m_zone.get());
        OpenYear(m_zone.get());
        frmYear* window = YearWindow(m_zone.get());
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->objectName(), QStringLiteral("frmYear"));
        QCOMPARE(FieldTexts(m_zone.get()), before);

        const std::shared_ptr<const ZoneYear> year = window->Year();
        QVERIFY(year);
        QCOMPARE(m_zone->WeatherState()->year, year);
        QCOMPARE(year->texts.occupancy, std::string("60"));
        auto* summary = window->findChild<QTableWidget*>(QStringLiteral("tblSummary"));
        QCOMPARE(summary->verticalHeaderItem(0)->text(), QStringLiteral("Station"));
        QCOMPARE(summary->item(0, 0)->text(), QString::fromStdString(Weather::StationLine(
                                                  m_zone->WeatherState()->weather->file.station)));
        auto* shortfall = window->findChild<QTableWidget*>(QStringLiteral("tblShortfall"));
        QCOMPARE(shortfall->rowCount(), int(year->tables[1].rows.size()));
        QCOMPARE(shortfall->columnCount(), 4);
        auto* months = window->findChild<QTableWidget*>(QStringLiteral("tblMonths"));
        QCOMPARE(Column(months, 0).size(), 12);
        QCOMPARE(Column(months, 0).front(), QStringLiteral("January"));
        auto* curve = window->findChild<DurationCurveView*>(QStringLiteral("curYear"));
        QVERIFY(curve->Data().points.size() > 10);
        QCOMPARE(curve->Data().lines.size(), year->lines.size());
        QVERIFY(!curve->Data().lines.empty());

        // Once more: the same window, brought forward with the new year.
        OpenYear(m_zone.get());
        QCOMPARE(m_zone->findChildren<frmYear*>().size(), 1);
        QVERIFY(window->Year() != year);
    }

    // Entries Calculate refuses, and a zone outside the units' range: its
    // message, once, no year and no window, the screen unchanged.
    void sameMessageAsCalculate_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("volume refused") << "txtVol"
                                        << "10";
        QTest::newRow("zone temperature not a number") << "txttemp"
                                                       << "warm";
        QTest::newRow("zone outside the range") << "txttemp"
                                                << "12";
    }
    void sameMessageAsCalculate() {
        QFETCH(QString, field);
        QFETCH(QString, text);
        useChicago();
        QString calculateSays;
        {
            frmMethod1 other;
            other.Field(field)->setText(text);
            ModalBoxAnswerer answerer;
            QTest::mouseClick(other.findChild<QPushButton*>(QStringLiteral("cmdCalculate")),
                              Qt::LeftButton);
            QVERIFY(!answerer.seen().isEmpty());
            calculateSays = answerer.seen().back().text;
        }
        m_zone->Field(field)->setText(text);
        const auto before = FieldTexts(m_zone.get());
        ModalBoxAnswerer answerer;
        OpenYear(m_zone.get());
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("Varnel DH"));
        QCOMPARE(answerer.seen()[0].text, calculateSays);
        QVERIFY(!YearWindow(m_zone.get()));
        QVERIFY(!m_zone->WeatherState()->year);
        QCOMPARE(FieldTexts(m_zone.get()), before);
    }

    // With no file opened yet, one is asked for; one refused gives its one
    // message, and nothing is remembered, shown or changed.
    void asksForAFile_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: the chicago year
        QTest::newRow("good") << QByteArray();
        QTest::newRow("not a weather file") << QByteArray("txttemp,txtrh\n28,60\n");
        QTest::newRow("empty") << QByteArray("");
    }
    void asksForAFile() {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        QString path = WeatherData("chicago.epw");
        if (!bytes.isNull()) {
            path = dir.filePath(QStringLiteral("site.epw"));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        QTimer::singleShot(0, this, [path] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            dialog->selectFile(path);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const auto before = FieldTexts(m_zone.get());
        ModalBoxAnswerer answerer;
        OpenYear(m_zone.get());
        QCOMPARE(FieldTexts(m_zone.get()), before);
        if (bytes.isNull()) {
            QVERIFY(answerer.seen().isEmpty());
            QVERIFY(YearWindow(m_zone.get()));
            QCOMPARE(m_zone->WeatherState()->weather->path, path);
            return;
        }
        QCOMPARE(answerer.seen().size(), 1);
        QVERIFY(
            answerer.seen()[0].text.startsWith(QStringLiteral("The weather file \"site.epw\" ")));
        QVERIFY(!YearWindow(m_zone.get()));
        QVERIFY(!m_zone->WeatherState()->weather);
        QVERIFY(!m_zone->WeatherState()->year);
    }

    // Every record of the file, or, where it cannot be written, one message
    // and nothing left behind.
    void exportHours() {
        useChicago();
        OpenYear(m_zone.get());
        frmYear* window = YearWindow(m_zone.get());
        QVERIFY(window);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hours.csv"));
        QVERIFY(window->ExportHours(path));
        QFile written(path);
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = written.readAll().trimmed().split('\n');
        QCOMPARE(lines.size(), 8761);
        QVERIFY(lines[0].startsWith("date,time,dry_bulb,dew_point,rh_used"));

        const QString nowhere = dir.filePath(QStringLiteral("missing/hours.csv"));
        ModalBoxAnswerer answerer;
        QVERIFY(!window->ExportHours(nowhere));
        QCOMPARE(answerer.seen().size(), 1);
        QVERIFY(answerer.seen()[0].text.contains(QStringLiteral("hours.csv")));
        QVERIFY(!QFile::exists(nowhere));
    }

    // The report carries the year while the run it reports has the same entries.
    void reportCarriesTheYear() {
        useChicago();
        auto calculate = [this] {
            QTest::mouseClick(m_zone->findChild<QPushButton*>(QStringLiteral("cmdCalculate")),
                              Qt::LeftButton);
        };
        ModalBoxAnswerer answerer;
        calculate();
        QVERIFY(m_zone->LastRun());
        OpenYear(m_zone.get());
        OpenReport(m_zone.get());
        auto* report = m_zone->findChild<frmReport*>();
        QVERIFY(report && report->Report());
        QCOMPARE(report->Report()->yearTables.size(), std::size_t(3));
        QCOMPARE(report->Report()->yearTables[0].rows[0][1],
                 m_zone->WeatherState()->year->tables[0].rows[0][1]);
        QVERIFY(!report->Report()->yearCurve.points.empty());
        // Laid out and drawn on paper, the year's tables and curve after the chart.
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        QVERIFY(report->SaveAsPdf(pdf));
        QVERIFY(QFileInfo(pdf).size() > 0);

        m_zone->Field(QStringLiteral("txtOccupancy"))->setText(QStringLiteral("12"));
        calculate();
        QVERIFY(m_zone->LastRun());
        QVERIFY(report->Report()->yearTables.empty());
        QVERIFY(report->Report()->yearCurve.points.empty());
    }
};

QTEST_MAIN(TestFrmYear)
#include "tst_frmYear.moc"
