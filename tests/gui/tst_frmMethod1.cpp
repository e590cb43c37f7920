#include "GuiTestSupport.h"

#include "core/zone/ZoneCalc.h"
#include "gui/common/Resources.h"
#include "gui/zone/frmMethod1.h"

#include <QAccessible>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QtTest>

namespace {

const QString kEnvelope = QStringLiteral(
    "Operating conditions out of range for dehumidification units. Please enter alternative "
    "desired zone temperature and RH or contact Varnel for further advice");

} // namespace

class TestFrmMethod1 : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<frmMethod1> m_screen;

    QLineEdit* field(const char* name) { return m_screen->Field(QString::fromLatin1(name)); }
    void set(const char* name, const QString& text) { field(name)->setText(text); }
    void calculate() {
        QTest::mouseClick(m_screen->findChild<QPushButton*>(QStringLiteral("cmdCalculate")),
                          Qt::LeftButton);
    }

private slots:
    void initTestCase() { InitUiResources(); }

    void init() {
        m_screen = std::make_unique<frmMethod1>();
        m_screen->show();
        m_screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_screen.get()));
    }

    void cleanup() { m_screen.reset(); }

    // The form's initial texts are the engine's.
    void initialTextsMatchEngine() {
        for (const ZoneEntry& entry : kZoneFields) {
            const QString name = QString::fromUtf8(entry.name.data(), qsizetype(entry.name.size()));
            QLineEdit* f = m_screen->Field(name);
            QVERIFY2(f, qPrintable(name));
            QCOMPARE(f->text(), QString::fromUtf8(entry.initialText.data(),
                                                  qsizetype(entry.initialText.size())));
        }
        QCOMPARE(m_screen->windowTitle(), QStringLiteral("Detailed Calculation"));
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdCalculate"));
        QVERIFY(!field("txtPresskPa")->isEnabled());
        QVERIFY(!m_screen->findChild<QGroupBox*>(QStringLiteral("Frame1"))->isVisible());
    }

    void workedExampleFieldForField() {
        ModalBoxAnswerer answerer;
        m_screen->findChild<QComboBox*>(QStringLiteral("txtOccupancy"))
            ->setCurrentText(QStringLiteral("10"));
        set("txtVentrate", QStringLiteral("2"));
        set("txtProcess", QStringLiteral("0.5"));
        set("txtSwimPoolGain", QStringLiteral("12.50"));
        calculate();
        QVERIFY(answerer.seen().isEmpty());
        const std::pair<const char*, const char*> expected[] = {
            {"txtpws1", "3782.21"},      {"txtpw1", "2269.32"},
            {"txtW1", "0.0143"},         {"txtv1", "0.87"},
            {"txtd1", "1.15"},           {"txth1", "64.67"},
            {"txtDP", "19.53"},          {"txtiter", "424"},
            {"txtWBzone", "22.12"},      {"txtpws2", "10097.60"},
            {"txtpw2", "3029.28"},       {"txtW2", "0.0192"},
            {"txtV2", "0.93"},           {"txtd2", "1.07"},
            {"txth2", "96.01"},          {"txtVentGain", "40.84"},
            {"txtPeopleGain", "17.52"},  {"txtInfilGain", "102.11"},
            {"txtProcessGain", "12.00"}, {"txtSwimPoolGain1", "12.5"},
            {"txtTotGain", "184.97"},    {"txt100s", "1.8"},
            {"txt160s", "1.1"},          {"txt200s", "0.9"},
            {"txtRate100", "104.0554"},  {"txtRate160", "166.48864"},
            {"txtRate200", "208.1108"}};
        for (const auto& [name, text] : expected) {
            QCOMPARE(field(name)->text(), QString::fromUtf8(text));
        }
    }

    // Each warning waits for OK, then the refusal empties and focuses its field.
    void warningThenRefusal() {
        ModalBoxAnswerer answerer;
        set("txtVentrate", QStringLiteral("15"));
        set("txtInfil", QString());
        set("txtTotGain", QStringLiteral("untouched"));
        calculate();
        QCOMPARE(answerer.seen().size(), 2);
        QVERIFY(answerer.seen()[0].text.startsWith(
            QStringLiteral("ENTERED MECHANICAL VENTILATION RATE UNEXPECTEDLY HIGH")));
        QVERIFY(answerer.seen()[1].text.startsWith(
            QStringLiteral("Please enter a value for the natural infiltration rate.")));
        for (const auto& seen : answerer.seen()) {
            QCOMPARE(seen.title, QStringLiteral("Varnel DH"));
            QCOMPARE(seen.buttonCount, 1);
            QCOMPARE(seen.icon, QMessageBox::NoIcon);
        }
        QCOMPARE(field("txtInfil")->text(), QString());
        QCOMPARE(m_screen->focusWidget(), field("txtInfil"));
        QCOMPARE(field("txtTotGain")->text(), QStringLiteral("untouched"));
    }

    // A refused number in an editable list empties the list's text.
    void refusalInList() {
        ModalBoxAnswerer answerer;
        m_screen->findChild<QComboBox*>(QStringLiteral("txtOccupancy"))
            ->setCurrentText(QStringLiteral("1e400"));
        calculate();
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen()[0].text,
                 QStringLiteral("The value entered is too large - please enter a valid value."));
        QCOMPARE(field("txtOccupancy")->text(), QString());
        QCOMPARE(m_screen->focusWidget(), field("txtOccupancy")->parentWidget());
    }

    // The zone column shows the new run at once; the results are emptied only after
    // OK; the ambient column and the rates keep the earlier run's texts.
    void envelopeRejection() {
        ModalBoxAnswerer answerer;
        calculate();
        QCOMPARE(field("txtTotGain")->text(), QStringLiteral("102.11"));
        set("txttemp", QStringLiteral("12"));
        QString totalWhileMessageUp;
        QString wetBulbWhileMessageUp;
        QTimer peek;
        connect(&peek, &QTimer::timeout, this, [&] {
            if (QApplication::activeModalWidget() && totalWhileMessageUp.isNull()) {
                totalWhileMessageUp = field("txtTotGain")->text();
                wetBulbWhileMessageUp = field("txtWBzone")->text();
            }
        });
        peek.start(1);
        calculate();
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen()[0].text, kEnvelope);
        QCOMPARE(totalWhileMessageUp, QStringLiteral("102.11"));
        QCOMPARE(wetBulbWhileMessageUp, QStringLiteral("8.31"));
        for (const ResultSpec* result : kZoneClearedResults) {
            QCOMPARE(m_screen
                         ->Field(QString::fromLatin1(result->name.data(),
                                                     qsizetype(result->name.size())))
                         ->text(),
                     QString());
        }
        QCOMPARE(field("txtpws2")->text(), QStringLiteral("10097.60"));
        QCOMPARE(field("txtRate100")->text(), QStringLiteral("104.0554"));
        QCOMPARE(field("txttemp")->text(), QStringLiteral("12"));
        QCOMPARE(m_screen->focusWidget(), field("txttemp"));
    }

    void enterKeyDoesNothing_data() {
        QTest::addColumn<QString>("name");
        for (const char* name :
             {"txtTamb", "txtAmbrh", "txtVentrate", "txtFreshair", "txtInfil", "txtVol", "txttemp",
              "txtrh", "txtProcess", "txtSwimPoolGain", "txtOccupancy", "comboActivity"}) {
            QTest::newRow(name) << QString::fromLatin1(name);
        }
    }

    // Enter inserts nothing, moves nothing and presses no button.
    void enterKeyDoesNothing() {
        QFETCH(QString, name);
        ModalBoxAnswerer answerer;
        QLineEdit* f = m_screen->Field(name);
        f->setFocus();
        f->setText(QStringLiteral("12"));
        f->setCursorPosition(1);
        QTest::keyClick(f, Qt::Key_Return);
        QTest::keyClick(f, Qt::Key_Enter);
        QCOMPARE(f->text(), QStringLiteral("12"));
        QCOMPARE(f->cursorPosition(), 1);
        QCOMPARE(QApplication::focusWidget(), f->parentWidget()->inherits("QComboBox")
                                                  ? f->parentWidget()
                                                  : static_cast<QWidget*>(f));
        QCOMPARE(field("txtTotGain")->text(), QString());
        if (auto* list = qobject_cast<QComboBox*>(f->parentWidget())) {
            QVERIFY(list->findText(QStringLiteral("12")) < 0);
        }
        QVERIFY(answerer.seen().isEmpty());
    }

    void typedListTextStaysAsTyped_data() {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("peopleGain");
        QTest::newRow("prefix of Labouring") << "comboActivity"
                                             << "Lab"
                                             << "0.00";
        QTest::newRow("prefix of Social") << "comboActivity"
                                          << "soc"
                                          << "0.00";
        QTest::newRow("other case") << "comboActivity"
                                    << "office work"
                                    << "0.00";
        QTest::newRow("listed") << "comboActivity"
                                << "Social"
                                << "19.92";
        QTest::newRow("prefix of 10") << "txtOccupancy"
                                      << "1"
                                      << "1.75";
    }

    // What is typed into a list is what the calculation reads: never completed,
    // recased or added to the list, also once the field has lost the focus.
    void typedListTextStaysAsTyped() {
        QFETCH(QString, list);
        QFETCH(QString, typed);
        QFETCH(QString, peopleGain);
        ModalBoxAnswerer answerer;
        m_screen->findChild<QComboBox*>(QStringLiteral("txtOccupancy"))
            ->setCurrentText(QStringLiteral("10"));
        auto* box = m_screen->findChild<QComboBox*>(list);
        const int items = box->count();
        box->lineEdit()->clear();
        box->setFocus();
        QTest::keyClicks(box->lineEdit(), typed);
        QCOMPARE(box->lineEdit()->text(), typed);
        field("txtVol")->setFocus();
        QCOMPARE(box->lineEdit()->text(), typed);
        QCOMPARE(box->count(), items);
        calculate();
        QVERIFY(answerer.seen().isEmpty());
        QCOMPARE(field("txtPeopleGain")->text(), peopleGain);
    }

    void closeOnlyHides() {
        set("txtVol", QStringLiteral("abc"));
        QTest::mouseClick(m_screen->findChild<QPushButton*>(QStringLiteral("Command1")),
                          Qt::LeftButton);
        QVERIFY(!m_screen->isVisible());
        m_screen->show();
        QCOMPARE(field("txtVol")->text(), QStringLiteral("abc"));
    }

    void clearZoneResultsEmptiesOnlyResults() {
        calculate();
        m_screen->ClearZoneResults();
        QCOMPARE(field("txtTotGain")->text(), QString());
        QCOMPARE(field("txt100s")->text(), QString());
        QCOMPARE(field("txtRate100")->text(), QStringLiteral("104.0554"));
        QCOMPARE(field("txtpws1")->text(), QStringLiteral("3782.21"));
        QCOMPARE(field("txtTamb")->text(), QStringLiteral("46"));
    }

    void hideDetailsRestoresNormalSize() {
        auto* panel = m_screen->findChild<QGroupBox*>(QStringLiteral("Frame1"));
        auto* rates = m_screen->findChild<QGroupBox*>(QStringLiteral("Frame2"));
        panel->show();
        rates->show();
        m_screen->showMaximized();
        QSignalSpy spy(m_screen.get(), &frmMethod1::hideDetailsRequested);
        QTest::mouseClick(m_screen->findChild<QPushButton*>(QStringLiteral("Command2")),
                          Qt::LeftButton);
        QVERIFY(!panel->isVisibleTo(m_screen.get()));
        QVERIFY(!rates->isVisibleTo(m_screen.get()));
        QVERIFY(!(m_screen->windowState() & Qt::WindowMaximized));
        QCOMPARE(spy.count(), 1);
    }

    // A screen reader hears each field and button by its caption.
    // The engine's field table and the form name the same captions.
    void formAgreesWithFieldTable() {
        QWidget* screen = m_screen.get();
        int checked = 0;
        QCOMPARE(CaptionMismatches(screen, kZoneFields, checked), QStringList());
        QCOMPARE_GE(checked, 6);
        QCOMPARE(CaptionMismatches(screen, kZoneResults, checked), QStringList());
        QCOMPARE_GE(checked, 20);
    }

    void fieldsAnnouncedByCaption_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        for (const ZoneEntry& entry : kZoneFields) {
            QTest::newRow(entry.name.data())
                << QString::fromUtf8(entry.name.data(), qsizetype(entry.name.size()))
                << QString::fromUtf8(entry.caption.data(), qsizetype(entry.caption.size()));
        }
        QTest::newRow("txtPeopleGain") << "txtPeopleGain"
                                       << "Occupant Gains (litres/day)";
        QTest::newRow("txtTotGain") << "txtTotGain"
                                    << "Total Moisture Gain (litres/day)";
        // Apart from the entry of the same caption.
        QTest::newRow("txtSwimPoolGain1") << "txtSwimPoolGain1"
                                          << "Moisture gain: Swimming Pool Gains (litres/day)";
        QTest::newRow("txt160s") << "txt160s"
                                 << "No. HX 160";
        QTest::newRow("txtpws2") << "txtpws2"
                                 << "Ambient pws (Pa)";
        QTest::newRow("txtiter") << "txtiter"
                                 << "WB Iterations";
    }

    void fieldsAnnouncedByCaption() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        // The text part of an editable list is what takes the typing.
        QWidget* w = m_screen->Field(name);
        QVERIFY(w);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);
        QCOMPARE(iface->text(QAccessible::Name), caption);
        // The list itself too, not by the text it holds.
        if (auto* list = qobject_cast<QComboBox*>(w->parentWidget())) {
            iface = QAccessible::queryAccessibleInterface(list);
            QCOMPARE(iface->role(), QAccessible::ComboBox);
            QCOMPARE(iface->text(QAccessible::Name), caption);
            QCOMPARE(iface->text(QAccessible::Value), w->property("text").toString());
        }
    }

    void guideButtonsOpenTheirTopics_data() {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("page");
        QTest::newRow("infiltration") << "Command3"
                                      << "topic1-infiltration.html";
        QTest::newRow("ventilation") << "Command5"
                                     << "topic2-ventilation.html";
        QTest::newRow("fresh air") << "Command6"
                                   << "topic3-freshair.html";
        QTest::newRow("process") << "Command4"
                                 << "topic4-process.html";
    }

    void guideButtonsOpenTheirTopics() {
        QFETCH(QString, button);
        QFETCH(QString, page);
        QTest::mouseClick(m_screen->findChild<QPushButton*>(button), Qt::LeftButton);
        const QList<QWidget*> windows = TopLevelsNamed(QStringLiteral("frmHelp"));
        QCOMPARE(windows.size(), 1);
        auto* browser = windows.front()->findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
        QVERIFY(browser);
        QCOMPARE(browser->source().fileName(), page);
    }

    // A pick writes the two ambient texts and clears the results, nothing more.
    void designConditionsPick() {
        ModalBoxAnswerer answerer;
        calculate();
        set("txtTamb", QStringLiteral("10"));
        set("txtAmbrh", QStringLiteral("11"));
        QTest::mouseClick(m_screen->findChild<QPushButton*>(QStringLiteral("Command9")),
                          Qt::LeftButton);
        const QList<QWidget*> pickers = TopLevelsNamed(QStringLiteral("frmDesign"));
        QCOMPARE(pickers.size(), 1);
        QPointer<QWidget> picker = pickers.front();
        auto* kuwait = picker->findChild<QLabel*>(QStringLiteral("Label11"));
        picker->findChild<QTabWidget*>(QStringLiteral("SSTab1"))->setCurrentIndex(1);
        // Picked the way a screen reader does it: the location is a button.
        QAccessibleInterface* location = QAccessible::queryAccessibleInterface(kuwait);
        QCOMPARE(location->role(), QAccessible::Button);
        QCOMPARE(location->text(QAccessible::Name), QStringLiteral("Kuwait 46°C / 30% RH"));
        QVERIFY(location->actionInterface());
        location->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(picker.isNull());
        QCOMPARE(field("txtTamb")->text(), QStringLiteral("46"));
        QCOMPARE(field("txtAmbrh")->text(), QStringLiteral("30"));
        QCOMPARE(field("txtTotGain")->text(), QString());
        QCOMPARE(field("txtRate100")->text(), QStringLiteral("104.0554"));
        QCOMPARE(field("txtpws2")->text(), QStringLiteral("10097.60"));
    }

    // Every caption fits its box and its text runs into no neighbouring control.
    void captionsFitAndDoNotOverlap() {
        m_screen->findChild<QGroupBox*>(QStringLiteral("Frame1"))->show();
        m_screen->findChild<QGroupBox*>(QStringLiteral("Frame2"))->show();
        const QString problem = CaptionProblem(m_screen.get());
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }

    // Tab reaches every entry and every button of the normal arrangement.
    void tabReachesEveryEntryAndButton() {
        QSet<QString> reached;
        QWidget* start = QApplication::focusWidget();
        QVERIFY(start);
        for (int i = 0; i < 60; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached.insert(QApplication::focusWidget()->objectName());
        }
        for (const char* name :
             {"txtTamb",     "Command9",        "txtAmbrh",     "txtVentrate",   "Command5",
              "txtFreshair", "Command6",        "txtInfil",     "Command3",      "txtVol",
              "txttemp",     "txtrh",           "txtOccupancy", "comboActivity", "txtProcess",
              "Command4",    "txtSwimPoolGain", "Command8",     "cmdCalculate",  "Command1"}) {
            QVERIFY2(reached.contains(QString::fromLatin1(name)), name);
        }
        QVERIFY(!reached.contains(QStringLiteral("txtPresskPa")));
    }

    void statusBarShowsTimeAndDate() {
        auto* bar = m_screen->findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
        QVERIFY(bar);
        const QLocale locale = QLocale::system();
        auto* date = bar->findChild<QLabel*>(QStringLiteral("StatusDate"));
        QCOMPARE(date->text(), locale.toString(QDate::currentDate(), QLocale::ShortFormat));
        QVERIFY(!bar->findChild<QLabel*>(QStringLiteral("StatusTime"))->text().isEmpty());
        QCOMPARE(bar->findChild<QLabel*>(QStringLiteral("StatusPanel1"))->text(), QString());
    }

    // With VARNELDH_SCREENSHOT_DIR set: the screen calculated, panel shown, maximised.
    void screenshot() {
        const QString dir = qEnvironmentVariable("VARNELDH_SCREENSHOT_DIR");
        if (dir.isEmpty()) {
            QSKIP("VARNELDH_SCREENSHOT_DIR not set");
        }
        ModalBoxAnswerer answerer;
        calculate();
        QVERIFY(m_screen->grab().save(dir + QStringLiteral("/frmMethod1.png")));
        m_screen->findChild<QGroupBox*>(QStringLiteral("Frame1"))->show();
        m_screen->findChild<QGroupBox*>(QStringLiteral("Frame2"))->show();
        m_screen->resize(700, 560);
        QVERIFY(m_screen->grab().save(dir + QStringLiteral("/frmMethod1-details.png")));
    }
};

QTEST_MAIN(TestFrmMethod1)
#include "tst_frmMethod1.moc"
