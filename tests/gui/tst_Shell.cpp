#include "GuiTestSupport.h"

#include "core/condensation/Condensation.h"
#include "core/pool/EvaporationMethods.h"
#include "gui/pool/frmMethod2.h"
#include "gui/shell/Application.h"
#include "gui/shell/Screens.h"
#include "gui/shell/frmMain.h"
#include "gui/shell/frmSplash.h"
#include "gui/zone/frmMethod1.h"

#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QtTest>
#include <private/qguiapplication_p.h>
#include <qpa/qwindowsysteminterface.h>

namespace {

// The items of a menu in order: objectName, caption and shortcut, "-" for a
// separator.
QStringList Items(QMenu* menu) {
    QStringList items;
    for (QAction* action : menu->actions()) {
        items << (action->isSeparator()
                      ? action->objectName() + QStringLiteral(" -")
                      : (action->objectName() + QLatin1Char(' ') + action->text() +
                         QLatin1Char(' ') + action->shortcut().toString())
                            .trimmed());
    }
    return items;
}

QStringList Menus(QMainWindow* screen) {
    QStringList menus;
    for (QAction* action : screen->menuBar()->actions()) {
        menus << action->menu()->objectName() + QLatin1Char(' ') + action->text();
    }
    return menus;
}

// The next widget Tab would reach after this one.
QWidget* NextTabStop(QWidget* from) {
    QWidget* next = from->nextInFocusChain();
    while (next != from && !(next->focusPolicy() & Qt::TabFocus)) {
        next = next->nextInFocusChain();
    }
    return next;
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Application> m_program;

    void finishSplash() {
        QVERIFY(m_program->Splash());
        QTest::mouseClick(m_program->Splash(), Qt::LeftButton);
        // The main screen shows once the splash is gone.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY(m_program->MainScreen());
    }

    // Opens a window the way the program does, from its real parent.
    QWidget* open(const QString& name) {
        frmMain* main = m_program->MainScreen();
        frmMethod1* zone = m_program->screens().Zone();
        if (name != QLatin1String("frmMain") && name != QLatin1String("frmMethod2"))
            main->findChild<QPushButton*>(QStringLiteral("Command4"))->click();
        if (name == QLatin1String("frmMethod2"))
            main->findChild<QPushButton*>(QStringLiteral("Command1"))->click();
        else if (name == QLatin1String("frmpassword"))
            zone->findChild<QAction*>(QStringLiteral("mnuPassword"))->trigger();
        else if (name == QLatin1String("frmAbout"))
            zone->findChild<QAction*>(QStringLiteral("mnuAbout"))->trigger();
        else if (name == QLatin1String("frmDesign"))
            zone->findChild<QPushButton*>(QStringLiteral("Command9"))->click();
        else if (name == QLatin1String("frmHelp"))
            zone->findChild<QPushButton*>(QStringLiteral("Command3"))->click();
        QWidget* window = TopLevelsNamed(name).value(0);
        return window && window->isVisible() ? window : nullptr;
    }

private slots:
    void init() {
        m_program = std::make_unique<Application>();
        m_program->Start();
        finishSplash();
    }
    void cleanup() { m_program.reset(); }

    // The defaults are written into the zone screen, made hidden, before the
    // main screen shows.
    void handOverWritesDefaults() {
        frmMethod1* zone = m_program->screens().Zone();
        QVERIFY(!zone->isVisible());
        QVERIFY(m_program->MainScreen()->isVisible());
        QCOMPARE(zone->Field(QStringLiteral("txtTamb"))->text(), QStringLiteral("46"));
        QCOMPARE(zone->Field(QStringLiteral("txtrh"))->text(), QStringLiteral("60"));
        QVERIFY(!m_program->Splash());
        QCOMPARE(TopLevelsNamed(QStringLiteral("frmSplash")).size(), 0);
    }

    // A program that goes while its splash still loads, or between the
    // hand-over and its main screen, takes the splash and its steps with it.
    void splashGoesWithItsProgram_data() {
        QTest::addColumn<bool>("handedOver");
        QTest::newRow("loading") << false;
        QTest::newRow("handed over") << true;
    }

    void splashGoesWithItsProgram() {
        QFETCH(bool, handedOver);
        auto program = std::make_unique<Application>();
        program->Start();
        QPointer<frmSplash> splash = program->Splash();
        if (handedOver) {
            QTest::mouseClick(splash, Qt::LeftButton);
        }
        program.reset();
        QVERIFY(splash.isNull());
        // Past the time its splash would have handed over, or shown the main
        // screen: no screen of the gone program is written to or shown.
        QTest::qWait(handedOver ? 100 : 2500);
        QCOMPARE(TopLevelsNamed(QStringLiteral("frmMain")).size(), 1);
        QCOMPARE(TopLevelsNamed(QStringLiteral("frmMethod1")).size(), 1);
    }

    void mainScreen() {
        frmMain* main = m_program->MainScreen();
        QCOMPARE(main->objectName(), QStringLiteral("frmMain"));
        QCOMPARE(main->windowTitle(),
                 QStringLiteral("Varnel Dehumidification Unit Selection Software"));
        QCOMPARE(main->focusWidget()->objectName(), QStringLiteral("Command1"));
        QCOMPARE(NextTabStop(main->focusWidget())->objectName(), QStringLiteral("Command4"));
        QVERIFY(!(main->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(main->windowFlags() & Qt::WindowMinimizeButtonHint));
    }

    // The working screens open centred; the mode selection keeps its size.
    void screensOpenCentred() {
        frmMain* main = m_program->MainScreen();
        QTest::mouseClick(main->findChild<QPushButton*>(QStringLiteral("Command4")),
                          Qt::LeftButton);
        QTest::mouseClick(main->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        const QRect available = main->screen()->availableGeometry();
        for (QWidget* window : std::initializer_list<QWidget*>{main, m_program->screens().Zone(),
                                                               m_program->screens().Pool()}) {
            QVERIFY(window->isVisible());
            const QPoint offset = window->geometry().center() - available.center();
            QVERIFY2(offset.manhattanLength() <= 2,
                     qPrintable(window->objectName() + QStringLiteral(" is off centre")));
        }
        QCOMPARE(main->minimumSize(), main->size());
        QCOMPARE(main->maximumSize(), main->size());
    }

    void menuBars_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("menus");
        QTest::addColumn<QStringList>("file");
        QTest::addColumn<QStringList>("additional");
        QTest::addColumn<QStringList>("help");
        // The menus and the later items have access letters and the job items
        // shortcuts; the first version's items have neither. The project items
        // come first.
        QTest::newRow("frmMain") << "frmMain" << QStringList{"mnuFile &File", "mnuHelpMain &Help"}
                                 << QStringList{"mnuNewProject &New Project...",
                                                "mnuOpenProject Open &Project...",
                                                "mnuSaveProject Sa&ve Project",
                                                "mnuSaveProjectAs Save Project &As...",
                                                "mnuSepProject -",
                                                "mnuExit Exit"}
                                 << QStringList{}
                                 << QStringList{"mnuHelp Varnel DH Help", "mnuSep1 -",
                                                "mnuAbout About"};
        QTest::newRow("frmMethod1")
            << "frmMethod1"
            << QStringList{"mnuFile &File", "mnuAdditional &Additional Info", "mnuHelp &Help"}
            << QStringList{"mnuNewProject &New Project...",
                           "mnuOpenProject Open &Project...",
                           "mnuSaveProject Sa&ve Project",
                           "mnuSaveProjectAs Save Project &As...",
                           "mnuSepProject -",
                           "mnuOpenJob &Open Job... Ctrl+O",
                           "mnuSaveJob &Save Job As... Ctrl+S",
                           "mnuSepJob -",
                           "mnuPrint Print Window",
                           "mnuSep1 -",
                           "mnuExit Exit"}
            << QStringList{"mnuPassword Psychrometrics",
                           "mnuCondensationCheck &Condensation Check...",
                           "mnuReport Calculation &Report...", "mnuChart Psychrometric C&hart...",
                           "mnuYear A &Year, Hour by Hour..."}
            << QStringList{"mnuHelpIndex Varnel DH Help", "mnuAbout About"};
        QTest::newRow("frmMethod2")
            << "frmMethod2"
            << QStringList{"mnuFile &File", "mnuAdditional &Additional Info", "mnuHelp &Help"}
            << QStringList{"mnuNewProject &New Project...",
                           "mnuOpenProject Open &Project...",
                           "mnuSaveProject Sa&ve Project",
                           "mnuSaveProjectAs Save Project &As...",
                           "mnuSepProject -",
                           "mnuOpenJob &Open Job... Ctrl+O",
                           "mnuSaveJob &Save Job As... Ctrl+S",
                           "mnuSepJob -",
                           "mnuPrint Print Window",
                           "mnuExit Exit"}
            << QStringList{"mnuPassword Psychrometrics",
                           "mnuEvaporationMethods &Evaporation Methods...",
                           "mnuCondensationCheck &Condensation Check...",
                           "mnuReport Calculation &Report...", "mnuChart Psychrometric C&hart..."}
            << QStringList{"mnuHelpContents Varnel DH Help", "mnuSep1 -", "mnuAbout About"};
    }

    void menuBars() {
        QFETCH(QString, screen);
        QFETCH(QStringList, menus);
        QFETCH(QStringList, file);
        QFETCH(QStringList, additional);
        QFETCH(QStringList, help);
        QMainWindow* window = screen == QLatin1String("frmMain") ? m_program->MainScreen()
                              : screen == QLatin1String("frmMethod1")
                                  ? static_cast<QMainWindow*>(m_program->screens().Zone())
                                  : m_program->screens().Pool();
        QCOMPARE(window->objectName(), screen);
        QCOMPARE(Menus(window), menus);
        QCOMPARE(Items(window->findChild<QMenu*>(QStringLiteral("mnuFile"))), file);
        if (!additional.isEmpty()) {
            QCOMPARE(Items(window->findChild<QMenu*>(QStringLiteral("mnuAdditional"))), additional);
        }
        const QString helpMenu = screen == QLatin1String("frmMain") ? QStringLiteral("mnuHelpMain")
                                                                    : QStringLiteral("mnuHelp");
        QCOMPARE(Items(window->findChild<QMenu*>(helpMenu)), help);
        // A screen reader hears every caption without its access letter.
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(window->menuBar());
        QVERIFY(bar);
        QCOMPARE(bar->childCount(), menus.size());
        for (int i = 0; i < bar->childCount(); ++i) {
            QCOMPARE(bar->child(i)->text(QAccessible::Name),
                     menus[i].section(QLatin1Char(' '), 1).remove(QLatin1Char('&')));
            QAccessibleInterface* menu = bar->child(i)->child(0);
            QVERIFY(menu);
            const QList<QAction*> items = window->menuBar()->actions()[i]->menu()->actions();
            QCOMPARE(menu->childCount(), items.size());
            for (int j = 0; j < menu->childCount(); ++j) {
                if (!items[j]->isSeparator())
                    QCOMPARE(menu->child(j)->text(QAccessible::Name),
                             items[j]->text().remove(QLatin1Char('&')));
            }
        }
    }

    void accessKeysOpenTheMenus_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("menu");
        QTest::newRow("main, Alt+F") << "frmMain" << int(Qt::Key_F) << "mnuFile";
        QTest::newRow("main, Alt+H") << "frmMain" << int(Qt::Key_H) << "mnuHelpMain";
        QTest::newRow("zone, Alt+F") << "frmMethod1" << int(Qt::Key_F) << "mnuFile";
        QTest::newRow("zone, Alt+A") << "frmMethod1" << int(Qt::Key_A) << "mnuAdditional";
        QTest::newRow("pool, Alt+H") << "frmMethod2" << int(Qt::Key_H) << "mnuHelp";
    }

    // Alt and a menu's letter opens that menu instead of typing the letter into
    // the field that has the focus.
    void accessKeysOpenTheMenus() {
        QFETCH(QString, screen);
        QFETCH(int, key);
        QFETCH(QString, menu);
        QWidget* window = open(screen);
        QVERIFY(window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QLineEdit* field = window->findChild<QLineEdit*>(QStringLiteral("txttemp"));
        if (field)
            field->setFocus(Qt::TabFocusReason);
        const QString before = field ? field->text() : QString();
        auto* popup = window->findChild<QMenu*>(menu);
        QVERIFY(popup);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::AltModifier);
        QTRY_VERIFY(popup->isVisible());
        popup->close();
        if (field)
            QCOMPARE(field->text(), before);
    }

    void jobShortcutsAskForTheFile_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QKeySequence>("keys");
        QTest::addColumn<bool>("forSaving");
        QTest::newRow("zone, Ctrl+O")
            << "frmMethod1" << QKeySequence(QStringLiteral("Ctrl+O")) << false;
        QTest::newRow("pool, Ctrl+S")
            << "frmMethod2" << QKeySequence(QStringLiteral("Ctrl+S")) << true;
    }

    // The shortcuts work from an entry field, where the focus mostly is.
    void jobShortcutsAskForTheFile() {
        QFETCH(QString, screen);
        QFETCH(QKeySequence, keys);
        QFETCH(bool, forSaving);
        QList<bool> asked;
        m_program->SetFileChooser([&asked](QWidget*, bool saving, const QString&) {
            asked << saving;
            return QString();
        });
        QWidget* window = open(screen);
        QVERIFY(window);
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QLineEdit* field = window->findChild<QLineEdit*>(QStringLiteral("txttemp"));
        field->setFocus(Qt::TabFocusReason);
        QTest::keySequence(window, keys);
        QCOMPARE(asked, QList<bool>{forSaving});
    }

    void buttonsOpenTheScreens() {
        frmMain* main = m_program->MainScreen();
        QTest::mouseClick(main->findChild<QPushButton*>(QStringLiteral("Command4")),
                          Qt::LeftButton);
        QVERIFY(m_program->screens().Zone()->isVisible());
        QVERIFY(main->isVisible());
        QTest::mouseClick(main->findChild<QPushButton*>(QStringLiteral("Command4")),
                          Qt::LeftButton);
        QCOMPARE(TopLevelsNamed(QStringLiteral("frmMethod1")).size(), 1);

        // After an estimate, the pool command brings the unit counts back.
        QTest::mouseClick(
            m_program->screens().Zone()->findChild<QPushButton*>(QStringLiteral("Command8")),
            Qt::LeftButton);
        frmMethod2* pool = m_program->screens().Pool();
        QVERIFY(!pool->findChild<QWidget*>(QStringLiteral("Frame2"))->isVisibleTo(pool));
        QTest::mouseClick(main->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QVERIFY(pool->isVisible());
        QVERIFY(pool->findChild<QWidget*>(QStringLiteral("Frame2"))->isVisibleTo(pool));
    }

    void exitEndsTheProgram_data() {
        QTest::addColumn<QString>("screen");
        QTest::newRow("frmMain") << "frmMain";
        QTest::newRow("frmMethod1") << "frmMethod1";
        QTest::newRow("frmMethod2") << "frmMethod2";
    }

    void exitEndsTheProgram() {
        QFETCH(QString, screen);
        m_program->screens().Pool();
        QWidget* window = TopLevelsNamed(screen).value(0);
        QVERIFY(window);
        QAction* exit = window->findChild<QAction*>(QStringLiteral("mnuExit"));
        QVERIFY(EndsProgram([exit] { exit->trigger(); }));
    }

    // The user's close control ends the program; a close from elsewhere is
    // refused; neither closes the window.
    void closeRequests() {
        QFETCH(QString, screen);
        m_program->screens().Zone()->show();
        m_program->screens().Pool()->show();
        QWidget* window = TopLevelsNamed(screen).value(0);
        QVERIFY(window);
        QVERIFY(!window->close());
        QVERIFY(window->isVisible());
        QVERIFY(EndsProgram([window] {
            QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                window->windowHandle());
        }));
        QVERIFY(window->isVisible());
    }

    void closeRequests_data() { exitEndsTheProgram_data(); }

    void enterPressesTheFocusedButton_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("button");
        const std::pair<const char*, const char*> buttons[] = {
            {"frmMain", "Command4"},    {"frmMethod1", "cmdCalculate"}, {"frmMethod1", "Command9"},
            {"frmMethod2", "Command1"}, {"frmpassword", "cmdOK"},       {"frmpassword", "cmdClose"},
            {"frmDesign", "Command1"},
        };
        for (const auto& [screen, button] : buttons)
            QTest::addRow("%s %s", screen, button) << screen << button;
    }

    // Return and keypad Enter press the button that has the focus, as Space does,
    // and no button becomes a default button on the way.
    void enterPressesTheFocusedButton() {
        QFETCH(QString, screen);
        QFETCH(QString, button);
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
            ModalBoxAnswerer answerer;
            QWidget* window = open(screen);
            QVERIFY(window);
            auto* target = window->findChild<QAbstractButton*>(button);
            QVERIFY(target);
            window->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(window));
            target->setFocus(Qt::TabFocusReason);
            QSignalSpy pressed(target, &QAbstractButton::clicked);
            for (auto* other : window->findChildren<QPushButton*>())
                QVERIFY2(!other->isDefault() && !other->autoDefault(),
                         qPrintable(other->objectName()));
            QTest::keyClick(target, key,
                            key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
            QCOMPARE(pressed.count(), 1);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
    }

    void windowsAnnouncedByCaption_data() {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<int>("role");
        QTest::addColumn<QString>("caption");
        QTest::newRow("main") << "frmMain" << int(QAccessible::Window)
                              << "Varnel Dehumidification Unit Selection Software";
        QTest::newRow("password") << "frmpassword" << int(QAccessible::Dialog) << "Password";
        QTest::newRow("picker") << "frmDesign" << int(QAccessible::Dialog)
                                << "Design Ambient Weather Conditions";
        QTest::newRow("help") << "frmHelp" << int(QAccessible::Window) << "Varnel DH Help";
        QTest::newRow("about") << "frmAbout" << int(QAccessible::Dialog) << "About Varnel DH";
    }

    // A screen reader meets each window as a window or a dialog with its caption.
    void windowsAnnouncedByCaption() {
        QFETCH(QString, screen);
        QFETCH(int, role);
        QFETCH(QString, caption);
        QWidget* window = open(screen);
        QVERIFY(window);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window);
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QCOMPARE(iface->text(QAccessible::Name), caption);
        window->close();
    }

    // While the session manager has the program save, the window system's close
    // is not the user's; once the round is over without the session ending (a
    // checkpoint, a cancelled logout), the user's close ends the program again.
    void closeAroundSessionSave_data() {
        QTest::addColumn<bool>("duringRound");
        QTest::newRow("during the save round") << true;
        QTest::newRow("after the save round") << false;
    }

    void closeAroundSessionSave() {
        QFETCH(bool, duringRound);
        QWindow* window = m_program->MainScreen()->windowHandle();
        const auto userClose = [window] {
            QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                window);
        };
        QObject round;
        if (duringRound) {
            connect(qApp, &QGuiApplication::commitDataRequest, &round, userClose);
        }
        const bool ended = EndsProgram([userClose, duringRound] {
            QGuiApplicationPrivate::instance()->commitData();
            if (!duringRound) {
                userClose();
            }
        });
        QCOMPARE(ended, !duringRound);
        QVERIFY(window->isVisible());
    }

    // The right password: both panels, both screens maximised; a pool screen not
    // yet shown opens maximised with its panel.
    // Additional Info > Evaporation Methods on the pool screen opens one window
    // over it that follows the pool's completed runs and the chosen pool type.
    void evaporationMethodsFollowThePoolScreen() {
        QVERIFY(open(QStringLiteral("frmMethod2")));
        frmMethod2* pool = m_program->screens().Pool();
        pool->findChild<QAction*>(QStringLiteral("mnuEvaporationMethods"))->trigger();
        QWidget* window = TopLevelsNamed(QStringLiteral("frmEvapMethods")).value(0);
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->parentWidget(), pool);
        QCOMPARE(window->windowTitle(), QStringLiteral("Evaporation Methods"));
        auto text = [window](const char* name) {
            return window->findChild<QLineEdit*>(QLatin1String(name))->text();
        };
        QCOMPARE(text("txtlitresPerDayProgram"), QString());

        // The pool screen's own worked example: 29 °C, 60 %, water 28 °C, 50 m2.
        pool->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
        QCOMPARE(text("txtlitresPerDayProgram"), QStringLiteral("99.60"));
        QCOMPARE(text("txtlitresPerDayAshrae"), QStringLiteral("237.99"));
        QCOMPARE(text("txtcount100Program"), QStringLiteral("0.9"));
        QVERIFY(!text("txtkgPerHourShahUnoccupied").isEmpty());
        QVERIFY(
            window->findChild<QLineEdit*>(QStringLiteral("txtkgPerHourShahOccupied"))->isEnabled());
        // Air 1 K above the water is outside what VDI 2089-1 designs for: greyed, with why.
        QVERIFY(!window->findChild<QLineEdit*>(QStringLiteral("txtkgPerHourVdi2089"))->isEnabled());
        auto* reason = window->findChild<QLabel*>(QStringLiteral("lblReasonVdi2089"));
        QVERIFY(reason->isVisible());
        QVERIFY2(reason->text().contains(QStringLiteral("2 to 4 K")), qPrintable(reason->text()));

        auto* type = window->findChild<QComboBox*>(QStringLiteral("cmbPoolType"));
        const QString privatePool = text("txtkgPerHourVdi2089");
        type->setCurrentIndex(
            type->findText(QStringLiteral("Resting water surface (pool not in use)")));
        // 7 m/h instead of the private pool's 21: a third of the figure.
        QVERIFY(qAbs(text("txtkgPerHourVdi2089").toDouble() - privatePool.toDouble() / 3) <= 0.01);

        pool->Field(QStringLiteral("txttemp"))->setText(QStringLiteral("30"));
        pool->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
        QVERIFY(window->findChild<QLineEdit*>(QStringLiteral("txtkgPerHourVdi2089"))->isEnabled());
        QVERIFY(!reason->isVisible());

        // Chosen again: the same window, brought forward.
        pool->findChild<QAction*>(QStringLiteral("mnuEvaporationMethods"))->trigger();
        QCOMPARE(TopLevelsNamed(QStringLiteral("frmEvapMethods")).size(), 1);
        QPointer<QWidget> closed(window);
        window->findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());
        QVERIFY(pool->isVisible());
    }

    // Additional Info > Condensation Check on each calculation screen checks the
    // room air of that screen's last completed run.
    void condensationCheckOnBothScreens() {
        ModalBoxAnswerer answerer;
        QVERIFY(open(QStringLiteral("frmMethod1")));
        frmMethod1* zone = m_program->screens().Zone();
        zone->findChild<QAction*>(QStringLiteral("mnuCondensationCheck"))->trigger();
        QWidget* zoneCheck = TopLevelsNamed(QStringLiteral("frmCondensation")).value(0);
        QVERIFY(zoneCheck && zoneCheck->isVisible());
        QCOMPARE(zoneCheck->parentWidget(), zone);
        QCOMPARE(zoneCheck->windowTitle(), QStringLiteral("Condensation Check"));
        auto* check = zoneCheck->findChild<QPushButton*>(QStringLiteral("cmdCheck"));
        auto field = [](QWidget* window, const char* name) {
            return window->findChild<QLineEdit*>(QLatin1String(name));
        };

        // Nothing to check before a run has completed.
        check->click();
        QTRY_COMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen().at(0).title, QStringLiteral("Varnel DH"));
        QCOMPARE(field(zoneCheck, "txtVerdictGlazing")->text(), QString());

        // The zone's start-up air, 28 °C and 60 %: dew point 19.53 °C. Glazing at
        // -5 °C outside: 28 - 0.13 * 1.6 * 33 = 21.14 °C.
        zone->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
        check->click();
        QCOMPARE(field(zoneCheck, "txtTsiGlazing")->text(), QStringLiteral("21.1"));
        QCOMPARE(field(zoneCheck, "txtDewPointGlazing")->text(), QStringLiteral("19.5"));
        QCOMPARE(field(zoneCheck, "txtVerdictGlazing")->text(), QStringLiteral("margin 1.6 K"));
        QCOMPARE(field(zoneCheck, "txtVerdictRoof")->text(), QStringLiteral("margin 7.6 K"));

        // A refused entry: its own message, the field emptied and focused.
        field(zoneCheck, "txtUglazing")->setText(QStringLiteral("0"));
        check->click();
        QTRY_COMPARE(answerer.seen().size(), 2);
        QCOMPARE(
            answerer.seen().at(1).text,
            QStringLiteral("Please enter a value for the glazing U-value greater than 0 W/m2K."));
        QCOMPARE(field(zoneCheck, "txtUglazing")->text(), QString());
        QCOMPARE(zoneCheck->focusWidget(), field(zoneCheck, "txtUglazing"));
        // The figures of the entries before do not stand beside the emptied one.
        QCOMPARE(field(zoneCheck, "txtTsiGlazing")->text(), QString());
        QCOMPARE(field(zoneCheck, "txtVerdictRoof")->text(), QString());
        // Letters are not taken for an empty entry.
        field(zoneCheck, "txtUglazing")->setText(QStringLiteral("abc"));
        check->click();
        QTRY_COMPARE(answerer.seen().size(), 3);
        QCOMPARE(answerer.seen().at(2).text,
                 QStringLiteral("The glazing U-value is not a number - please enter a value in "
                                "W/m2K."));
        // Double glazing: 28 - 0.13 * 2.8 * 33 = 15.99 °C, below the dew point.
        field(zoneCheck, "txtUglazing")->setText(QStringLiteral("2.8"));
        check->click();
        QCOMPARE(field(zoneCheck, "txtTsiGlazing")->text(), QStringLiteral("16.0"));
        QCOMPARE(field(zoneCheck, "txtDewPointWall")->text(), QStringLiteral("19.5"));

        // Single glazing over the pool's worked example, 29 °C and 60 %: wet.
        QVERIFY(open(QStringLiteral("frmMethod2")));
        frmMethod2* pool = m_program->screens().Pool();
        pool->findChild<QAction*>(QStringLiteral("mnuCondensationCheck"))->trigger();
        QWidget* poolCheck = nullptr;
        for (QWidget* window : TopLevelsNamed(QStringLiteral("frmCondensation"))) {
            if (window->parentWidget() == pool)
                poolCheck = window;
        }
        QVERIFY(poolCheck && poolCheck->isVisible());
        QCOMPARE(TopLevelsNamed(QStringLiteral("frmCondensation")).size(), 2);
        pool->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
        field(poolCheck, "txtUglazing")->setText(QStringLiteral("5.7"));
        poolCheck->findChild<QPushButton*>(QStringLiteral("cmdCheck"))->click();
        QCOMPARE(field(poolCheck, "txtVerdictGlazing")->text(),
                 QStringLiteral("condensation expected"));
        QCOMPARE(field(poolCheck, "txtDewPointWall")->text(), QStringLiteral("20.5"));
        // A later run of the pool is checked again at once with the same entries.
        pool->Field(QStringLiteral("txtrh"))->setText(QStringLiteral("40"));
        pool->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
        QCOMPARE(field(poolCheck, "txtDewPointWall")->text(), QStringLiteral("14.1"));
        // The zone's window still shows the zone's air.
        QCOMPARE(field(zoneCheck, "txtDewPointWall")->text(), QStringLiteral("19.5"));
        QCOMPARE(answerer.seen().size(), 3);

        // Closed and opened again, each keeps its screen's entries.
        QPointer<QWidget> closed(zoneCheck);
        zoneCheck->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(closed.isNull());
        zone->findChild<QAction*>(QStringLiteral("mnuCondensationCheck"))->trigger();
        zoneCheck = nullptr;
        for (QWidget* window : TopLevelsNamed(QStringLiteral("frmCondensation"))) {
            if (window->parentWidget() == zone)
                zoneCheck = window;
        }
        QVERIFY(zoneCheck);
        QCOMPARE(field(zoneCheck, "txtUglazing")->text(), QStringLiteral("2.8"));
        QCOMPARE(field(poolCheck, "txtUglazing")->text(), QStringLiteral("5.7"));
        QCOMPARE(field(zoneCheck, "txtTout")->text(), QStringLiteral("-5"));
    }

    void keysOfTheCheckWindows_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("firstStop");
        QTest::addColumn<QStringList>("tabStops");
        QTest::newRow("condensation check")
            << "frmCondensation"
            << "txtTout" << QStringList{"txtTout",  "txtUglazing", "txtUwall",
                                        "txtUroof", "cmdCheck",    "cmdClose"};
        QTest::newRow("evaporation methods")
            << "frmEvapMethods"
            << "cmbPoolType" << QStringList{"cmbPoolType", "cmdClose"};
    }

    // Tab walks the entries and buttons, not the figures; Enter in an entry
    // checks, Escape closes.
    void keysOfTheCheckWindows() {
        QFETCH(QString, name);
        QFETCH(QString, firstStop);
        QFETCH(QStringList, tabStops);
        ModalBoxAnswerer answerer;
        const bool condensation = name == QLatin1String("frmCondensation");
        QVERIFY(open(condensation ? QStringLiteral("frmMethod1") : QStringLiteral("frmMethod2")));
        QMainWindow* screen = condensation ? static_cast<QMainWindow*>(m_program->screens().Zone())
                                           : m_program->screens().Pool();
        screen->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
        screen
            ->findChild<QAction*>(condensation ? QStringLiteral("mnuCondensationCheck")
                                               : QStringLiteral("mnuEvaporationMethods"))
            ->trigger();
        QPointer<QWidget> window = TopLevelsNamed(name).value(0);
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        QWidget* first = window->findChild<QWidget*>(firstStop);
        first->setFocus(Qt::TabFocusReason);
        QStringList walked{first->objectName()};
        for (QWidget* stop = NextTabStop(first); stop != first; stop = NextTabStop(stop)) {
            if (stop->isVisibleTo(window) && stop->isEnabled())
                walked << stop->objectName();
            QVERIFY2(walked.size() < 50, qPrintable(walked.join(u' ')));
        }
        QCOMPARE(walked, tabStops);

        if (condensation) {
            auto* entry = window->findChild<QLineEdit*>(QStringLiteral("txtUwall"));
            auto* figure = window->findChild<QLineEdit*>(QStringLiteral("txtTsiWall"));
            QCOMPARE(figure->text(), QString());
            entry->setFocus(Qt::TabFocusReason);
            QTest::keyClick(entry, Qt::Key_Return);
            QCOMPARE(figure->text(), QStringLiteral("26.5"));
            QCOMPARE(entry->text(), QStringLiteral("0.35"));
        }
        QTest::keyClick(window->focusWidget(), Qt::Key_Escape);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(window.isNull());
        QVERIFY(screen->isVisible());
        QVERIFY(answerer.seen().isEmpty());
    }

    void closedUnderItsOwnMessage_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("condensation check, mild design day")
            << "frmCondensation"
            << "WARNING - This is a mild outdoor design temperature for a condensation check. Are "
               "you sure this value is correct? Answers will be calculated using this value.";
        QTest::newRow("password, a wrong one") << "frmpassword"
                                               << "Incorrect Password";
    }

    // Its Close pressed while its own message is open, as a screen reader can:
    // the window closes once the message is answered, and nothing that the
    // message's caller still uses goes before.
    void closedUnderItsOwnMessage() {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QVERIFY(open(QStringLiteral("frmMethod1")));
        frmMethod1* zone = m_program->screens().Zone();
        QPointer<QWidget> window;
        QPushButton* run = nullptr;
        QPushButton* close = nullptr;
        if (name == QLatin1String("frmCondensation")) {
            zone->findChild<QPushButton*>(QStringLiteral("cmdCalculate"))->click();
            zone->findChild<QAction*>(QStringLiteral("mnuCondensationCheck"))->trigger();
            window = TopLevelsNamed(name).value(0);
            QVERIFY(window);
            window->findChild<QLineEdit*>(QStringLiteral("txtTout"))->setText(QStringLiteral("20"));
            run = window->findChild<QPushButton*>(QStringLiteral("cmdCheck"));
            close = window->findChild<QPushButton*>(QStringLiteral("cmdClose"));
        } else {
            window = open(name);
            QVERIFY(window);
            window->findChild<QLineEdit*>(QStringLiteral("txtPassword"))
                ->setText(QStringLiteral("wrong"));
            run = window->findChild<QPushButton*>(QStringLiteral("cmdOK"));
            close = window->findChild<QPushButton*>(QStringLiteral("cmdClose"));
        }
        QVERIFY(run && close);
        // Close at the first look at the box, OK at a later one: the box's own
        // event loop runs in between, as it does while a user reads it.
        QStringList seen;
        int looks = 0;
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            if (++looks == 1) {
                seen << box->text();
                close->click();
            } else if (looks == 3) {
                box->button(QMessageBox::Ok)->click();
            }
        });
        answer.start(10);
        run->click();
        QCOMPARE(seen, QStringList{message});
        QVERIFY(window);
        QTRY_VERIFY(window.isNull());
        QVERIFY(zone->isVisible());
        QCOMPARE(TopLevelsNamed(name).size(), 0);
    }

    void revealDetails() {
        frmMethod1* zone = m_program->screens().Zone();
        zone->show();
        m_program->screens().RevealDetails();
        QVERIFY(zone->findChild<QGroupBox*>(QStringLiteral("Frame1"))->isVisibleTo(zone));
        QVERIFY(zone->findChild<QGroupBox*>(QStringLiteral("Frame2"))->isVisibleTo(zone));
        QVERIFY(zone->windowState() & Qt::WindowMaximized);
        frmMethod2* pool = m_program->screens().Pool();
        QVERIFY(!pool->isVisible());
        QTest::mouseClick(
            m_program->MainScreen()->findChild<QPushButton*>(QStringLiteral("Command1")),
            Qt::LeftButton);
        QVERIFY(pool->isVisible());
        QVERIFY(pool->windowState() & Qt::WindowMaximized);
        QVERIFY(pool->findChild<QGroupBox*>(QStringLiteral("Frame1"))->isVisibleTo(pool));
    }
};

QTEST_MAIN(TestShell)
#include "tst_Shell.moc"
