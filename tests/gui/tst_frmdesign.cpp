#include "GuiTestSupport.h"
#include "gui/common/Resources.h"
#include "gui/weather/frmDesign.h"
#include "gui/zone/frmMethod1.h"

#include <QAccessible>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollArea>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

namespace {

const char* const kLocationNames[] = {"Label2", "Label3", "Label4", "Label5",  "Label6",
                                      "Label7", "Label8", "Label9", "Label10", "Label11"};

// A picker whose callbacks log each call together with whether the picker was
// still on screen, which pins down the order write, close, clear.
// It is opened from the building-zone screen, as in the program, so that it
// lives under that screen's look.
struct Harness {
    Harness() {
        window = new frmDesign(
            [this](const QString& tamb, const QString& ambrh, const QString& place) {
                calls << QStringLiteral("write %1 %2 %3").arg(tamb, ambrh, state());
                location = place;
            },
            [this] { calls << QStringLiteral("clear %1").arg(state()); }, &opener, memory);
    }
    ~Harness() { delete window.data(); }

    frmMethod1 opener;
    std::shared_ptr<WeatherMemory> memory = std::make_shared<WeatherMemory>();

    QString state() const {
        return window && window->isVisible() ? QStringLiteral("open") : QStringLiteral("closed");
    }

    QPointer<frmDesign> window;
    QStringList calls;
    QString location;
};

bool DestroyedAfterDeferredDeletes(const QPointer<frmDesign>& window) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return window.isNull();
}

QWidget* Child(QWidget* window, const QString& name) {
    return window->findChild<QWidget*>(name);
}

// The names of the bold location labels, in table order.
QStringList BoldLocations(QWidget* window) {
    QStringList bold;
    for (const char* name : kLocationNames) {
        if (Child(window, QString::fromLatin1(name))->font().bold())
            bold << QString::fromLatin1(name);
    }
    return bold;
}

void ShowTab(QWidget* window, int index) {
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
    QCOMPARE(tabs->currentIndex(), index);
}

void Hover(QWidget* window, const char* name) {
    QTest::mouseMove(Child(window, QString::fromLatin1(name)));
}

QString WeatherData(const char* name) {
    return QStringLiteral(VARNELDH_WEATHER_DATA_DIR "/") + QLatin1String(name);
}

// The Weather File tab's rows, in order, by caption.
QStringList PointRows(QWidget* window) {
    QStringList rows;
    for (int i = 1;; ++i) {
        auto* row = window->findChild<QLabel*>(QStringLiteral("lblPoint%1").arg(i));
        if (!row)
            return rows;
        rows << row->text();
    }
}

QString StationText(QWidget* window) {
    return window->findChild<QLabel*>(QStringLiteral("lblStation"))->text();
}

} // namespace

class TestFrmDesign : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Harness> m_picker;

    QWidget* window() const { return m_picker->window; }
    QWidget* child(const QString& name) const { return Child(m_picker->window, name); }

private slots:
    void initTestCase() { InitUiResources(); }
    void init() {
        m_picker = std::make_unique<Harness>();
        m_picker->window->show();
        m_picker->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_picker->window));
    }

    void cleanup() { m_picker.reset(); }

    void pick_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tamb");
        QTest::addColumn<QString>("ambrh");
        const auto row = [](const char* town, const char* name, int tab, const char* caption,
                            const char* tamb, const char* ambrh) {
            QTest::newRow(town) << QString::fromLatin1(name) << tab << QString::fromUtf8(caption)
                                << QString::fromLatin1(tamb) << QString::fromLatin1(ambrh);
        };
        row("Belfast", "Label2", 0, "Belfast     23\u00b0C / 53% RH", "23", "53");
        row("Birmingham", "Label3", 0, "Birmingham 26\u00b0C / 50% RH", "26", "50");
        row("Cardiff", "Label4", 0, "Cardiff    25\u00b0C / 50% RH", "25", "50");
        row("Edinburgh", "Label5", 0, "Edinburgh   23\u00b0C / 50% RH", "23", "50");
        row("Glasgow", "Label6", 0, "Glasgow    24\u00b0C / 55% RH", "24", "55");
        row("London", "Label7", 0, "London  29\u00b0C / 50% RH", "29", "50");
        row("Manchester", "Label8", 0, "Manchester 26\u00b0C / 45% RH", "26", "45");
        row("Plymouth", "Label9", 0, "Plymouth 27\u00b0C / 45% RH", "27", "45");
        row("Dubai", "Label10", 1, "Dubai 46\u00b0C / 30% RH", "46", "30");
        row("Kuwait", "Label11", 1, "Kuwait 46\u00b0C / 30% RH", "46", "30");
    }

    // A click writes the row's two texts, closes the picker, then clears the
    // results; the picker is gone afterwards.
    void pick() {
        QFETCH(QString, name);
        QFETCH(int, tab);
        QFETCH(QString, caption);
        QFETCH(QString, tamb);
        QFETCH(QString, ambrh);

        auto* label = qobject_cast<QLabel*>(child(name));
        QVERIFY(label);
        QCOMPARE(label->text(), caption);
        QCOMPARE(QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name), caption);
        auto* tabs = window()->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        QCOMPARE(tabs->indexOf(label->parentWidget()), tab);

        ShowTab(window(), tab);
        QVERIFY(label->isVisible());
        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(m_picker->calls, QStringList({QStringLiteral("write %1 %2 open").arg(tamb, ambrh),
                                               QStringLiteral("clear closed")}));
        // The report names the location by its caption, blanks tidied.
        QCOMPARE(m_picker->location, caption.simplified());
        QVERIFY(DestroyedAfterDeferredDeletes(m_picker->window));
    }

    // The bold caption fits its box, the box lies inside its tab page, and
    // nothing else on the window is cut off either.
    void captionFits_data() { pick_data(); }
    void captionFits() {
        QFETCH(QString, name);
        QFETCH(int, tab);
        ShowTab(window(), tab);
        auto* label = qobject_cast<QLabel*>(child(name));
        QFont bold = label->font();
        bold.setBold(true);
        const QFontMetrics metrics(bold);
        QVERIFY(metrics.horizontalAdvance(label->text()) <= label->contentsRect().width());
        QVERIFY(metrics.height() <= label->contentsRect().height());
        QVERIFY(label->parentWidget()->rect().contains(label->geometry()));
        // Every caption in the picker's own face, not the application's.
        for (QLabel* caption : window()->findChildren<QLabel*>()) {
            QCOMPARE(caption->font().family(), window()->font().family());
            QCOMPARE(caption->font().pointSizeF(), 8.25);
        }

        auto* instruction = qobject_cast<QLabel*>(child(QStringLiteral("Label1")));
        const QRect needed = instruction->fontMetrics().boundingRect(
            instruction->contentsRect(), Qt::TextWordWrap | Qt::AlignCenter, instruction->text());
        QVERIFY(needed.height() <= instruction->contentsRect().height());
        QWidget* cancel = child(QStringLiteral("Command1"));
        QVERIFY(cancel->sizeHint().width() <= cancel->width());
        QVERIFY(cancel->sizeHint().height() <= cancel->height());
    }

    void hoverBoldsOneLabelOfItsTab() {
        QCOMPARE(BoldLocations(window()), QStringList());
        Hover(window(), "Label2");
        QCOMPARE(BoldLocations(window()), QStringList({"Label2"}));
        Hover(window(), "Label4");
        QCOMPARE(BoldLocations(window()), QStringList({"Label4"}));

        // The other tab's highlight is left as it was.
        ShowTab(window(), 1);
        Hover(window(), "Label10");
        QCOMPARE(BoldLocations(window()), QStringList({"Label4", "Label10"}));
        Hover(window(), "Label11");
        QCOMPARE(BoldLocations(window()), QStringList({"Label4", "Label11"}));
    }

    void moveOutsideLabels_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<QString>("over");
        QTest::addColumn<QStringList>("boldAfter");
        QTest::newRow("United Kingdom page") << 0 << "tabUnitedKingdom" << QStringList();
        QTest::newRow("Middle East page") << 1 << "tabMiddleEast" << QStringList();
        QTest::newRow("tab strip") << 0 << "tab strip" << QStringList();
        QTest::newRow("instruction, off the tab control")
            << 1 << "Label1" << QStringList({"Label4", "Label10"});
    }

    // A move over the tab control but off the labels takes every highlight off.
    void moveOutsideLabels() {
        QFETCH(int, tab);
        QFETCH(QString, over);
        QFETCH(QStringList, boldAfter);
        Hover(window(), "Label4");
        ShowTab(window(), 1);
        Hover(window(), "Label10");
        ShowTab(window(), tab);
        QCOMPARE(BoldLocations(window()), QStringList({"Label4", "Label10"}));

        if (over == QLatin1String("tab strip")) {
            auto* tabs = window()->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
            QTest::mouseMove(tabs->tabBar(), tabs->tabBar()->tabRect(1).center());
        } else {
            QWidget* target = child(over);
            QTest::mouseMove(target, QPoint(target->width() - 8, target->height() - 8));
        }
        QCOMPARE(BoldLocations(window()), boldAfter);
    }

    void closeWithoutPick_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "Cancel";
        QTest::newRow("close box") << "close box";
        QTest::newRow("Escape on a label") << "Escape";
    }

    void closeWithoutPick() {
        QFETCH(QString, how);
        if (how == QLatin1String("Cancel")) {
            QTest::mouseClick(child(QStringLiteral("Command1")), Qt::LeftButton);
        } else if (how == QLatin1String("close box")) {
            window()->windowHandle()->close();
        } else {
            QWidget* label = child(QStringLiteral("Label5"));
            label->setFocus();
            QTest::keyClick(label, Qt::Key_Escape);
        }
        QCOMPARE(m_picker->calls, QStringList());
        QVERIFY(DestroyedAfterDeferredDeletes(m_picker->window));
    }

    // Sliding off the label before letting go is not a click.
    void releaseOffLabelPicksNothing() {
        QWidget* label = child(QStringLiteral("Label2"));
        QTest::mousePress(label, Qt::LeftButton);
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(label->width() + 5, 2));
        QCOMPARE(m_picker->calls, QStringList());
        QVERIFY(window()->isVisible());
    }

    void keyboardPick_data() {
        QTest::addColumn<int>("tab");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("focused");
        QTest::addColumn<QString>("written");
        QTest::newRow("Space on Belfast") << 0 << int(Qt::Key_Space) << "Label2"
                                          << "write 23 53 open";
        QTest::newRow("Return on Dubai") << 1 << int(Qt::Key_Return) << "Label10"
                                         << "write 46 30 open";
        QTest::newRow("keypad Enter on Belfast") << 0 << int(Qt::Key_Enter) << "Label2"
                                                 << "write 23 53 open";
    }

    // Tab from the tab strip reaches the first location of the shown tab, marks
    // it visibly, and Space or Enter picks it.
    void keyboardPick() {
        QFETCH(int, tab);
        QFETCH(int, key);
        QFETCH(QString, focused);
        QFETCH(QString, written);
        ShowTab(window(), tab);
        auto* tabs = window()->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        tabs->tabBar()->setFocus();
        QWidget* label = child(focused);
        const QImage unfocused = label->grab().toImage();

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), label);
        QVERIFY(label->grab().toImage() != unfocused);

        QTest::keyClick(label, Qt::Key(key));
        QCOMPARE(m_picker->calls, QStringList({written, QStringLiteral("clear closed")}));
        QVERIFY(DestroyedAfterDeferredDeletes(m_picker->window));
    }

    // One picker at a time, centred; after it closes the next starts afresh.
    void showDesignStartsAfresh() {
        int calls = 0;
        const auto write = [&calls](const QString&, const QString&, const QString&) { ++calls; };
        const auto clear = [&calls] { ++calls; };
        QPointer<frmDesign> first = ShowDesign(write, clear, &m_picker->opener);
        QVERIFY(QTest::qWaitForWindowExposed(first));
        const QPoint offCentre =
            first->geometry().center() - first->screen()->availableGeometry().center();
        // Within rounding and the offscreen platform's two-pixel frame.
        QVERIFY(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2);

        ShowTab(first, 1);
        Hover(first, "Label10");
        QCOMPARE(ShowDesign(write, clear, &m_picker->opener), first.data());
        QCOMPARE(BoldLocations(first), QStringList({"Label10"}));

        first->close();
        QVERIFY(DestroyedAfterDeferredDeletes(first));
        QPointer<frmDesign> second = ShowDesign(write, clear, &m_picker->opener);
        QVERIFY(QTest::qWaitForWindowExposed(second));
        QCOMPARE(second->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->currentIndex(), 0);
        QCOMPARE(BoldLocations(second), QStringList());
        QCOMPARE(calls, 0);
        delete second.data();
    }

    // The third tab follows the two locations' tabs, and the picker still opens
    // on the first. A point's row writes its two texts, closes, then clears,
    // as a location does, and the report names the station and the point.
    void weatherFilePick_data() {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QString>("tamb");
        QTest::addColumn<QString>("ambrh");
        QTest::addColumn<QString>("point");
        QTest::newRow("stored dehumidification") << "lblPoint1"
                                                 << "28.9"
                                                 << "74.0"
                                                 << "0.4% dehumidification";
        QTest::newRow("stored cooling") << "lblPoint4"
                                        << "33.3"
                                        << "45.1"
                                        << "0.4% cooling";
        QTest::newRow("from the year") << "lblPoint7"
                                       << "28.7"
                                       << "72.6"
                                       << "0.4% dehumidification";
    }
    void weatherFilePick() {
        QFETCH(QString, row);
        QFETCH(QString, tamb);
        QFETCH(QString, ambrh);
        QFETCH(QString, point);
        auto* tabs = window()->findChild<QTabWidget*>(QStringLiteral("SSTab1"));
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->tabText(2), QStringLiteral("Weather File"));
        ShowTab(window(), 2);
        QVERIFY(PointRows(window()).isEmpty());

        auto* picker = static_cast<frmDesign*>(window());
        QVERIFY(picker->OpenWeatherFile(WeatherData("chicago.epw")));
        const QString station = QStringLiteral("Chicago Ohare Intl Ap, IL, USA (WMO 725300, "
                                               "41.98\u00b0 N 87.92\u00b0 W, 201 m, TMY3)");
        QCOMPARE(StationText(window()), station);
        QCOMPARE(PointRows(window()).size(), 12);

        // Bold under the pointer, one row at a time; off the rows, none.
        auto* label = qobject_cast<QLabel*>(child(row));
        QVERIFY(label && label->isVisible());
        window()
            ->findChild<QScrollArea*>(QStringLiteral("scrWeatherPoints"))
            ->ensureWidgetVisible(label);
        // Straight to the row: the test pointer does not follow a scrolled view.
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, {}, {});
        QApplication::sendEvent(label, &move);
        for (QLabel* other : window()->findChildren<LocationLabel*>())
            QCOMPARE(other->font().bold(), other == label);
        QWidget* page = child(QStringLiteral("tabWeatherFile"));
        QMouseEvent off(QEvent::MouseMove, QPointF(2, 2), page->mapToGlobal(QPointF(2, 2)),
                        Qt::NoButton, {}, {});
        QApplication::sendEvent(page, &off);
        QVERIFY(!label->font().bold());

        QTest::mouseClick(label, Qt::LeftButton);
        QCOMPARE(m_picker->calls, QStringList({QStringLiteral("write %1 %2 open").arg(tamb, ambrh),
                                               QStringLiteral("clear closed")}));
        QVERIFY(m_picker->location.startsWith(station + QStringLiteral(": ") + point));
        QVERIFY(DestroyedAfterDeferredDeletes(m_picker->window));
    }

    // The file last opened is shown again by the next picker of the same screen.
    void weatherFileRemembered() {
        QVERIFY(static_cast<frmDesign*>(window())->OpenWeatherFile(WeatherData("no-design.epw")));
        const QString station = StationText(window());
        const QStringList rows = PointRows(window());
        QVERIFY(!rows.isEmpty());
        window()->close();
        QVERIFY(DestroyedAfterDeferredDeletes(m_picker->window));

        frmDesign again([](const QString&, const QString&, const QString&) {}, [] {},
                        &m_picker->opener, m_picker->memory);
        QCOMPARE(again.findChild<QTabWidget*>(QStringLiteral("SSTab1"))->currentIndex(), 0);
        QCOMPARE(StationText(&again), station);
        QCOMPARE(PointRows(&again), rows);
    }

    // Open Weather File... asks for the file, then reads it.
    void openButtonAsksForFile() {
        ShowTab(window(), 2);
        QString filter;
        QTimer::singleShot(0, this, [&filter] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            filter = dialog->nameFilters().join(QLatin1Char(';'));
            dialog->selectFile(WeatherData("chicago.epw"));
            QMetaObject::invokeMethod(dialog, "accept");
        });
        QTest::mouseClick(child(QStringLiteral("cmdOpenWeather")), Qt::LeftButton);
        QVERIFY(filter.contains(QStringLiteral("*.epw")));
        QVERIFY(StationText(window()).startsWith(QStringLiteral("Chicago Ohare Intl Ap")));
        QCOMPARE(m_picker->memory->weather->path, WeatherData("chicago.epw"));
    }

    // A file that is not a weather file, or cannot be read: one message naming
    // it, and neither the tab, the remembered file nor the zone screen changes.
    void badWeatherFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // null: the file is not there
        QTest::newRow("empty") << "empty.epw" << QByteArray("");
        QTest::newRow("a csv") << "rooms.epw" << QByteArray("txttemp,txtrh\n28,60\n");
        QTest::newRow("binary") << "program.epw"
                                << QByteArray("\x7f"
                                              "ELF\0\0\1",
                                              7);
        QTest::newRow("header only")
            << "header.epw"
            << QByteArray("LOCATION,Chicago,IL,USA,TMY3,725300,41.98,-87.92,-6.0,201.0\n"
                          "DATA PERIODS,1,1,Data,Sunday, 1/ 1,12/31\n");
        QFile good(WeatherData("two-days.epw"));
        QVERIFY(good.open(QIODevice::ReadOnly));
        QList<QByteArray> lines = good.readAll().split('\n');
        std::swap(lines[9], lines[10]);
        QTest::newRow("records backwards") << "backwards.epw" << lines.join('\n');
        QTest::newRow("not there") << "gone.epw" << QByteArray();
    }
    void badWeatherFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (!bytes.isNull()) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        auto* picker = static_cast<frmDesign*>(window());
        QVERIFY(picker->OpenWeatherFile(WeatherData("chicago.epw")));
        ShowTab(window(), 2);
        const QString station = StationText(window());
        const QStringList rows = PointRows(window());
        const auto remembered = m_picker->memory->weather;
        const QString tamb = m_picker->opener.Field(QStringLiteral("txtTamb"))->text();

        ModalBoxAnswerer answerer;
        QVERIFY(!picker->OpenWeatherFile(path));
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen()[0].title, QStringLiteral("Varnel DH"));
        QVERIFY2(answerer.seen()[0].text.startsWith(
                     QStringLiteral("The weather file \"%1\" ").arg(name)),
                 qPrintable(answerer.seen()[0].text));
        QVERIFY(!answerer.seen()[0].text.contains(QLatin1Char('\n')));
        QCOMPARE(StationText(window()), station);
        QCOMPARE(PointRows(window()), rows);
        QCOMPARE(m_picker->memory->weather, remembered);
        QVERIFY(m_picker->calls.isEmpty());
        QCOMPARE(m_picker->opener.Field(QStringLiteral("txtTamb"))->text(), tamb);
        QVERIFY(window()->isVisible());
    }
};

QTEST_MAIN(TestFrmDesign)
#include "tst_frmdesign.moc"
