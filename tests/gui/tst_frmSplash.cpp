#include "GuiTestSupport.h"

#include "gui/common/Resources.h"
#include "gui/shell/AppInfo.h"
#include "gui/shell/StartupDefaults.h"
#include "gui/shell/frmSplash.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QScreen>
#include <QtTest/qtestspontaneevent.h>
#include <QtTest>

// What the hand-over did, in order, and what the splash looked like each time.
struct HandOver {
    QStringList steps;
    int progressAtDefaults = -1;
    bool splashAliveAtDefaults = false;
    bool splashGoneAtMain = false;
};

namespace {

// The objectName of the zone entry at that place in the record.
QString EntryFieldName(std::string ZoneTexts::*entry) {
    const std::string_view name = EntryName<ZoneTexts, ZoneInputs>(kZoneFields, entry);
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

} // namespace

class TestSplash : public QObject {
    Q_OBJECT

private:
    HandOver m_log;
    QPointer<frmSplash> m_splash;

    QProgressBar* bar() const {
        return m_splash->findChild<QProgressBar*>(QStringLiteral("ProgressBar1"));
    }
    QLabel* label(const char* name) const {
        return m_splash->findChild<QLabel*>(QLatin1String(name));
    }

    // A splash whose hand-over writes the start-up defaults and notes each step.
    frmSplash* create() {
        m_splash = new frmSplash(
            [this] {
                Misc::SetStartupDefaults(
                    [this](std::string ZoneTexts::*entry, const QString& text) {
                        m_log.steps << QStringLiteral("%1=%2").arg(EntryFieldName(entry), text);
                    });
                m_log.splashAliveAtDefaults = !m_splash.isNull();
                m_log.progressAtDefaults = m_splash ? bar()->value() : -1;
            },
            [this] {
                m_log.steps << QStringLiteral("main");
                m_log.splashGoneAtMain = m_splash.isNull();
            });
        return m_splash;
    }

    frmSplash* createShown() {
        create()->show();
        return m_splash;
    }

    // Lets the closed splash be destroyed, which shows the main screen.
    static void settle() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }

    const QStringList kHandOver = {QStringLiteral("txtTamb=46"), QStringLiteral("txtAmbrh=30"),
                                   QStringLiteral("txttemp=28"), QStringLiteral("txtrh=60"),
                                   QStringLiteral("main")};

    void verifyHandedOver() {
        QCOMPARE(m_log.steps, kHandOver);
        QVERIFY(m_log.splashAliveAtDefaults);
        QVERIFY(m_log.splashGoneAtMain);
        QVERIFY(m_splash.isNull());
        QVERIFY(TopLevelsNamed(QStringLiteral("frmSplash")).isEmpty());
    }

private slots:
    void initTestCase() { InitUiResources(); }
    void init() { m_log = HandOver(); }
    void cleanup() {
        delete m_splash;
        settle();
    }

    void window() {
        frmSplash* splash = createShown();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QVERIFY(splash->windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(splash->windowType(), Qt::SplashScreen);
        QCOMPARE(splash->size(), QSize(261, 261));
        QCOMPARE(splash->geometry().center(), splash->screen()->availableGeometry().center());
        QCOMPARE(splash->palette().color(QPalette::Window), QColor(Qt::white));

        const QList<QPair<const char*, const char*>> texts = {
            {"Label3", "Dehumidification Unit Selection Program"},
            {"Label1", "DH "},
            {"lblVersion", "Version 2.0"},
            {"Label2", "Platform: Windows 95/98/ME/NT/2000/XP"},
            {"Label5", "Loading..."},
        };
        for (const auto& [name, text] : texts) {
            QVERIFY2(label(name), name);
            QCOMPARE(label(name)->text(), QString::fromLatin1(text));
        }
        // Fixed text in the form, kept in step with the project's version by hand.
        QCOMPARE(label("lblVersion")->text(), QStringLiteral("Version %1.%2")
                                                  .arg(VARNELDH_VERSION_MAJOR)
                                                  .arg(VARNELDH_VERSION_MINOR));
        QVERIFY(!label("Image1")->pixmap().isNull());
        QCOMPARE(bar()->minimum(), 0);
        QCOMPARE(bar()->maximum(), 100);
        QCOMPARE(bar()->value(), 0);
        QVERIFY(label("Label5")->isVisible());
        for (const char* name : {"Timer1", "Timer2"})
            QVERIFY2(splash->findChild<QTimer*>(QLatin1String(name))->isActive(), name);
    }

    // Every caption is whole, inside the frame.
    void noCaptionIsCutOff() {
        frmSplash* splash = createShown();
        QWidget* frame = splash->findChild<QWidget*>(QStringLiteral("Frame1"));
        QVERIFY(splash->rect().contains(frame->geometry()));
        for (QLabel* caption : splash->findChildren<QLabel*>()) {
            const QByteArray name = caption->objectName().toLatin1();
            QVERIFY2(frame->rect().contains(caption->geometry()), name);
            if (caption->text().isEmpty())
                continue;
            const QFontMetrics metrics(caption->font());
            const QRect needed = metrics.boundingRect(
                caption->rect(), caption->wordWrap() ? Qt::TextWordWrap : 0, caption->text());
            QVERIFY2(needed.height() <= caption->height(), name);
            QVERIFY2(needed.width() <= caption->width(), name);
        }
    }

    // Left alone, the splash hands over on the 101st tick of 20 ms.
    void handsOverAfterTwoSeconds() {
        QElapsedTimer clock;
        clock.start();
        createShown();
        QTRY_VERIFY_WITH_TIMEOUT(m_log.steps.contains(QStringLiteral("main")), 10000);
        QVERIFY2(clock.elapsed() >= 101 * 20 - 40, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(m_log.progressAtDefaults, 100);
        verifyHandedOver();
    }

    // Tick by tick: a step on each of the first 100, the hand-over on the next.
    void progressTicks() {
        frmSplash* splash = create();
        for (int tick = 1; tick <= 100; ++tick) {
            splash->Timer2_Timer();
            QCOMPARE(bar()->value(), tick);
            QVERIFY(m_log.steps.isEmpty());
        }
        splash->Timer2_Timer();
        QCOMPARE(m_log.steps.size(), 4);
        QCOMPARE(m_log.progressAtDefaults, 100);
        // The bar is full and stays so; further ticks do nothing.
        splash->Timer2_Timer();
        QCOMPARE(m_log.steps.size(), 4);
        QVERIFY(!splash->isVisible());
        settle();
        verifyHandedOver();
    }

    void blinks() {
        frmSplash* splash = createShown();
        QLabel* loading = label("Label5");
        for (bool shown : {false, true, false, true}) {
            splash->Timer1_Timer();
            QCOMPARE(loading->isVisible(), shown);
        }
        // And on its own, every half second.
        QElapsedTimer clock;
        clock.start();
        QTRY_VERIFY_WITH_TIMEOUT(!loading->isVisible(), 1500);
        const qint64 hidden = clock.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(loading->isVisible(), 1500);
        QVERIFY2(clock.elapsed() - hidden >= 400, qPrintable(QString::number(clock.elapsed())));
    }

    void clickSkips_data() {
        QTest::addColumn<QString>("target"); // the child clicked; empty for the window itself
        QTest::addColumn<bool>("hideLoading");
        QTest::addColumn<int>("button");
        QTest::newRow("window") << QString() << false << int(Qt::LeftButton);
        QTest::newRow("window, right button") << QString() << false << int(Qt::RightButton);
        for (const char* name : {"Frame1", "Image1", "Label1", "Label2", "Label3", "Label5",
                                 "lblVersion", "ProgressBar1"}) {
            QTest::newRow(name) << QString::fromLatin1(name) << false << int(Qt::LeftButton);
        }
        QTest::newRow("hidden Label5") << QStringLiteral("Label5") << true << int(Qt::LeftButton);
    }

    // A click goes where the platform sends it, at the middle of the target.
    void clickSkips() {
        QFETCH(QString, target);
        QFETCH(bool, hideLoading);
        QFETCH(int, button);
        frmSplash* splash = createShown();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QPoint at(3, 3);
        QWidget* expected = splash;
        if (!target.isEmpty()) {
            QWidget* child = splash->findChild<QWidget*>(target);
            QVERIFY(child);
            at = child->mapTo(splash, child->rect().center());
            expected = child;
        }
        if (hideLoading) {
            splash->Timer1_Timer();
            QVERIFY(!label("Label5")->isVisible());
            expected = splash->findChild<QWidget*>(QStringLiteral("Frame1"));
        }
        QWidget* under = splash->childAt(at);
        QCOMPARE(under ? under : splash, expected);

        QTest::mouseClick(splash->windowHandle(), Qt::MouseButton(button), {}, at);
        QVERIFY(m_log.progressAtDefaults < 100);
        QTRY_VERIFY(m_log.steps.contains(QStringLiteral("main")));
        verifyHandedOver();
    }

    // A click before the first tick still writes all four defaults first.
    void clickBeforeFirstTick() {
        frmSplash* splash = createShown();
        QTest::mouseClick(splash->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(m_log.progressAtDefaults, 0);
        settle();
        verifyHandedOver();
    }

    // The hand-over happens once, whatever comes after it.
    void handsOverOnce() {
        frmSplash* splash = createShown();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        QPointer<frmSplash> alive(splash);
        QTest::mouseDClick(splash->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        // Ticks that were already due when the click came must not hand over again.
        if (alive) {
            alive->Timer2_Timer();
            alive->Timer1_Timer();
        }
        QTest::qWait(100);
        settle();
        verifyHandedOver();
    }

    void nothingElseSkips_data() {
        QTest::addColumn<int>("key"); // 0: the mouse moves across instead
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
        QTest::newRow("Escape") << int(Qt::Key_Escape);
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("mouse move") << 0;
    }

    void nothingElseSkips() {
        QFETCH(int, key);
        frmSplash* splash = createShown();
        splash->activateWindow();
        QVERIFY(QTest::qWaitForWindowExposed(splash));
        if (key != 0) {
            const QKeyCombination combination = QKeyCombination::fromCombined(key);
            QTest::keyClick(splash->windowHandle(), combination.key(),
                            combination.keyboardModifiers());
        } else {
            for (int x = 10; x < 250; x += 20)
                QTest::mouseMove(splash->windowHandle(), QPoint(x, x));
        }
        QTest::qWait(60);
        QVERIFY(m_log.steps.isEmpty());
        QVERIFY(splash->isVisible());
        QVERIFY(bar()->value() < 100);
        // Nor does the window system's request to close it.
        QCloseEvent request;
        QSpontaneKeyEvent::setSpontaneous(&request);
        QApplication::instance()->notify(splash, &request); // sendEvent would unmark it
        QVERIFY(!request.isAccepted());
        QVERIFY(splash->isVisible());
        QVERIFY(m_log.steps.isEmpty());
    }

    // The program ending while the splash shows takes it down without a hand-over.
    void programEndingClosesIt() {
        frmSplash* splash = createShown();
        QVERIFY(splash->close());
        settle();
        QVERIFY(m_splash.isNull());
        QVERIFY(m_log.steps.isEmpty());
    }

    void startupDefaults() {
        QList<QPair<QString, QString>> written;
        Misc::SetStartupDefaults([&written](std::string ZoneTexts::*entry, const QString& text) {
            written.append({EntryFieldName(entry), text});
        });
        const QList<QPair<QString, QString>> expected = {
            {"txtTamb", QStringLiteral("46")},
            {"txtAmbrh", QStringLiteral("30")},
            {"txttemp", QStringLiteral("28")},
            {"txtrh", QStringLiteral("60")},
        };
        QCOMPARE(written, expected);
    }

    // With one step for both, the step runs and the splash then goes.
    void singleStep() {
        int runs = 0;
        QPointer<frmSplash> splash = new frmSplash([&runs] { ++runs; });
        splash->show();
        QTest::mouseClick(splash->windowHandle(), Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(runs, 1);
        settle();
        QVERIFY(splash.isNull());
        QCOMPARE(runs, 1);
    }
};

QTEST_MAIN(TestSplash)
#include "tst_frmSplash.moc"
