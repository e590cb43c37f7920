#include "GuiTestSupport.h"
#include "PdfTestSupport.h"

#include "core/common/NumberText.h"
#include "core/jobs/Project.h"
#include "gui/pool/frmMethod2.h"
#include "gui/project/frmProject.h"
#include "gui/report/frmProjectReport.h"
#include "gui/shell/Application.h"
#include "gui/shell/Screens.h"
#include "gui/shell/frmMain.h"
#include "gui/shell/frmSplash.h"
#include "gui/zone/frmMethod1.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QString Q(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

// A project of mixed rooms: one refused, one outside the units' range, one
// completed with two identical rooms, and a pool.
Project MixedProject() {
    Project project;
    project.title = "Leisure centre";
    auto room = [](std::string name, JobKind kind,
                   std::vector<std::pair<std::string, std::string>> entries, int quantity = 1) {
        Room r;
        r.name = std::move(name);
        r.quantity = quantity;
        r.job.kind = kind;
        r.job.entries = std::move(entries);
        return r;
    };
    project.rooms.push_back(
        room("Changing", JobKind::Zone, {{"txtOccupancy", "10"}, {"txtVentrate", "2"}}, 2));
    project.rooms.push_back(room("Refused", JobKind::Zone, {{"txtVol", "abc"}}));
    project.rooms.push_back(room("Too cold", JobKind::Zone, {{"txttemp", "5"}}));
    project.rooms.push_back(room("Pool hall", JobKind::Pool, {{"txtOccupancy", "10"}}));
    return project;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the Save / Discard / Cancel question with `answer` and every other box
// with OK, keeping what each showed.
class QuestionAnswerer : public QObject {
public:
    explicit QuestionAnswerer(QMessageBox::StandardButton answer) : m_answer(answer) {
        connect(&m_timer, &QTimer::timeout, this, &QuestionAnswerer::answer);
        m_timer.start(10);
    }
    int questions = 0;
    QStringList messages;

private:
    void answer() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        if (box->objectName() == QLatin1String("msgSaveChanges")) {
            ++questions;
            QCOMPARE(box->windowTitle(), QStringLiteral("Varnel DH"));
            QVERIFY(box->button(QMessageBox::Save) && box->button(QMessageBox::Discard) &&
                    box->button(QMessageBox::Cancel));
            box->button(m_answer)->click();
            return;
        }
        messages << box->windowTitle() + QStringLiteral(": ") + box->text();
        box->button(QMessageBox::Ok)->click();
    }
    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
};

} // namespace

class TestProject : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Application> m_program;
    QTemporaryDir m_dir;
    QString m_chosen; // what the file dialog would have given

    void start(const QString& file = {}) {
        m_program = std::make_unique<Application>();
        m_program->SetProjectFileChooser(
            [this](QWidget*, bool, const QString&) { return m_chosen; });
        m_program->Start(file);
        QTest::mouseClick(m_program->Splash(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY(m_program->MainScreen());
    }

    void trigger(QWidget* window, const char* item) {
        auto* action = window->findChild<QAction*>(QString::fromLatin1(item));
        QVERIFY2(action, item);
        action->trigger();
    }

    // The project window opened from the main screen as the user does: new, or
    // a file chosen in the dialog.
    frmProject* openProject(const QString& path = {}) {
        m_chosen = path;
        trigger(m_program->MainScreen(), path.isEmpty() ? "mnuNewProject" : "mnuOpenProject");
        return m_program->ProjectWindow();
    }

    QString savedProject(const Project& project, const QString& name) {
        const QString path = m_dir.filePath(name);
        const std::string text = WriteProject(project);
        return WriteFile(path, QByteArray::fromStdString(text)) ? path : QString();
    }

    static QTableWidget* table(frmProject* window) {
        return window->findChild<QTableWidget*>(QStringLiteral("tblRooms"));
    }

    static void press(frmProject* window, const char* button) {
        auto* b = window->findChild<QPushButton*>(QString::fromLatin1(button));
        QVERIFY2(b && b->isEnabled(), button);
        QTest::mouseClick(b, Qt::LeftButton);
    }

    static QString cell(frmProject* window, int row, int column) {
        QTableWidgetItem* item = table(window)->item(row, column);
        return item ? item->text() : QStringLiteral("(none)");
    }

    static QString field(QWidget* window, const char* name) {
        return window->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
    }

    // What the window shows, row by row and in the totals, is what the engine
    // makes of the rooms the window holds, worked out here afresh.
    static void showsTheEngines(frmProject* window) {
        const Project& project = window->CurrentProject();
        const std::vector<RoomResult> results = CalculateRooms(project);
        const ProjectTotals totals = TotalsOf(results);
        QCOMPARE(table(window)->rowCount(), int(project.rooms.size()));
        for (int i = 0; i < int(results.size()); ++i) {
            const RoomResult& r = results[std::size_t(i)];
            const Room& room = project.rooms[std::size_t(i)];
            QCOMPARE(cell(window, i, 0), Q(room.name));
            QCOMPARE(cell(window, i, 1), QString::number(room.quantity));
            QCOMPARE(cell(window, i, 3),
                     r.totalGain ? Q(NumberText::FormatFixed(*r.totalGain, 2)) : QString());
            QCOMPARE(cell(window, i, 5), r.completed ? QString::number(r.unitsPerRoom) : QString());
            QCOMPARE(cell(window, i, 6), r.completed ? QString::number(r.unitsInAll) : QString());
            QCOMPARE(cell(window, i, 7), Q(r.message.empty() ? r.outcome : r.message));
        }
        QCOMPARE(field(window, "txtTotal100"), QString::number(totals.unitsBySize[0]));
        QCOMPARE(field(window, "txtTotal160"), QString::number(totals.unitsBySize[1]));
        QCOMPARE(field(window, "txtTotal200"), QString::number(totals.unitsBySize[2]));
        QCOMPARE(field(window, "txtTotalUnits"), QString::number(totals.units));
        QCOMPARE(window->findChild<QLabel*>(QStringLiteral("lblLeftOut"))->text(),
                 Q(LeftOutText(project, totals)));
    }

    static QStringList names(frmProject* window) {
        QStringList list;
        for (const Room& room : window->CurrentProject().rooms)
            list << Q(room.name);
        return list;
    }

    // Types into a cell's editor and presses Enter, as the user edits in place.
    static void editCell(frmProject* window, int row, int column, const QString& text) {
        QTableWidget* grid = table(window);
        grid->setCurrentCell(row, column);
        grid->editItem(grid->item(row, column));
        auto* editor = grid->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        // The edit is committed from the event loop.
        QTRY_VERIFY(!grid->indexWidget(grid->currentIndex()));
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init() { start(); }
    void cleanup() { m_program.reset(); }

    // Each command on the rooms, one after the other: the rows, the totals and the
    // rooms left out always agree with the engine.
    void roomCommandsKeepTheEnginesFigures() {
        const QString path = savedProject(MixedProject(), QStringLiteral("mixed.vdhproj"));
        frmProject* window = openProject(path);
        QVERIFY(window && window->isVisible());
        QVERIFY(!window->HasUnsavedChanges());
        showsTheEngines(window);
        QVERIFY(window->findChild<QLabel*>(QStringLiteral("lblLeftOut"))
                    ->text()
                    .contains(QStringLiteral("Refused")));

        QTableWidget* grid = table(window);
        press(window, "cmdAddZone");
        QCOMPARE(grid->currentRow(), 4);
        press(window, "cmdAddPool");
        QCOMPARE(names(window).mid(4), (QStringList{"Zone room 5", "Pool room 6"}));
        showsTheEngines(window);

        grid->setCurrentCell(0, 0);
        press(window, "cmdDuplicate");
        QCOMPARE(names(window).mid(0, 3), (QStringList{"Changing", "Changing", "Refused"}));
        QCOMPARE(window->CurrentProject().rooms[1].quantity, 2);
        showsTheEngines(window);

        grid->setCurrentCell(2, 0); // Refused
        press(window, "cmdMoveDown");
        QCOMPARE(names(window).mid(2, 2), (QStringList{"Too cold", "Refused"}));
        QCOMPARE(grid->currentRow(), 3);
        showsTheEngines(window); // the rooms left out are named by their new places
        press(window, "cmdMoveUp");
        press(window, "cmdMoveUp");
        QCOMPARE(names(window).mid(0, 4),
                 (QStringList{"Changing", "Refused", "Changing", "Too cold"}));
        showsTheEngines(window);

        press(window, "cmdRemove");
        QCOMPARE(names(window).size(), 6);
        QVERIFY(!names(window).contains(QStringLiteral("Refused")));
        showsTheEngines(window);
        QVERIFY(!window->findChild<QLabel*>(QStringLiteral("lblLeftOut"))
                     ->text()
                     .contains(QStringLiteral("Refused")));

        // London's ambient into every zone room; the pools keep theirs.
        window->findChild<QComboBox*>(QStringLiteral("cmbWeather"))
            ->setCurrentText(QStringLiteral("London"));
        press(window, "cmdApplyWeather");
        for (const Room& room : window->CurrentProject().rooms) {
            if (room.job.kind == JobKind::Zone) {
                QCOMPARE(JobToZoneTexts(room.job).ambientTemp, std::string("29"));
                QCOMPARE(JobToZoneTexts(room.job).ambientRh, std::string("50"));
            }
        }
        showsTheEngines(window);
        QVERIFY(window->HasUnsavedChanges());
    }

    // Name, quantity and size edited in place; a bad edit is refused with one
    // message and the room stays as it was.
    void editInPlace_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("quantity");
        QTest::addColumn<QString>("message");
        const QString quantityRefused = QStringLiteral(
            "Varnel DH: The quantity of a room must be a whole number from 1 to 10000.");
        QTest::newRow("name") << 0 << "Gallery 1"
                              << "Gallery 1" << 2 << QString();
        QTest::newRow("blank name") << 0 << "  "
                                    << "Changing" << 2 << "Varnel DH: A room needs a name.";
        QTest::newRow("quantity") << 1 << " 12 "
                                  << "Changing" << 12 << QString();
        QTest::newRow("largest quantity") << 1 << "10000"
                                          << "Changing" << 10000 << QString();
        QTest::newRow("quantity 0") << 1 << "0"
                                    << "Changing" << 2 << quantityRefused;
        QTest::newRow("quantity too large") << 1 << "10001"
                                            << "Changing" << 2 << quantityRefused;
        QTest::newRow("quantity not whole") << 1 << "1.5"
                                            << "Changing" << 2 << quantityRefused;
        QTest::newRow("quantity not a number") << 1 << "two"
                                               << "Changing" << 2 << quantityRefused;
    }

    void editInPlace() {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, name);
        QFETCH(int, quantity);
        QFETCH(QString, message);
        frmProject* window =
            openProject(savedProject(MixedProject(), QStringLiteral("edit.vdhproj")));
        ModalBoxAnswerer answerer;
        editCell(window, 0, column, typed);
        if (!message.isEmpty()) {
            QTRY_COMPARE(answerer.seen().size(), 1);
            QCOMPARE(answerer.seen()[0].title + QStringLiteral(": ") + answerer.seen()[0].text,
                     message);
        }
        QTest::qWait(50);
        QCOMPARE(answerer.seen().size(), message.isEmpty() ? 0 : 1);
        const Room& room = window->CurrentProject().rooms[0];
        QCOMPARE(Q(room.name), name);
        QCOMPARE(room.quantity, quantity);
        QCOMPARE(window->HasUnsavedChanges(), message.isEmpty());
        showsTheEngines(window);
    }

    // The size list in place: each choice is the room's, and its units follow it.
    void sizeChosenInPlace() {
        frmProject* window =
            openProject(savedProject(MixedProject(), QStringLiteral("size.vdhproj")));
        QTableWidget* grid = table(window);
        for (int choice : {0, 1, 2, 3}) {
            grid->setCurrentCell(0, 4);
            grid->editItem(grid->item(0, 4));
            auto* list = grid->viewport()->findChild<QComboBox*>(QStringLiteral("cmbSize"));
            QVERIFY(list);
            list->setCurrentIndex(choice);
            const QString caption = list->itemText(choice);
            QTest::keyClick(list, Qt::Key_Return);
            QTRY_VERIFY(!grid->indexWidget(grid->currentIndex()));
            QCOMPARE(int(window->CurrentProject().rooms[0].size), choice);
            QVERIFY(cell(window, 0, 4).startsWith(caption));
            showsTheEngines(window);
        }
    }

    // Open Room shows the room's entries on its screen, captioned with its name;
    // what is changed there is the room's, and Calculate leaves its row current.
    void openRoomThenCalculate_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("caption");
        QTest::newRow("zone") << 0 << "txtVol"
                              << "5000"
                              << "Detailed Calculation: Changing";
        QTest::newRow("zone refused") << 0 << "txtVol"
                                      << "abc"
                                      << "Detailed Calculation: Changing";
        QTest::newRow("pool") << 3 << "txtpoolarea"
                              << "120"
                              << "Swimming Pool Evaporation Rate Only: Pool hall";
    }

    void openRoomThenCalculate() {
        QFETCH(int, row);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, caption);
        frmProject* window =
            openProject(savedProject(MixedProject(), QStringLiteral("room.vdhproj")));
        const Job before = window->CurrentProject().rooms[std::size_t(row)].job;
        table(window)->setCurrentCell(row, 0);
        press(window, "cmdOpenRoom");
        const bool zone = before.kind == JobKind::Zone;
        QMainWindow* screen = zone ? static_cast<QMainWindow*>(m_program->screens().Zone())
                                   : m_program->screens().Pool();
        QVERIFY(screen->isVisible());
        QCOMPARE(screen->windowTitle(), caption);
        QVERIFY(!window->HasUnsavedChanges()); // opening is no change
        QLineEdit* edit = zone ? m_program->screens().Zone()->Field(field)
                               : m_program->screens().Pool()->Field(field);
        QCOMPARE(zone ? ZoneJob(m_program->screens().Zone()->EntryTexts()).entries
                      : PoolJob(m_program->screens().Pool()->EntryTexts()).entries,
                 zone ? ZoneJob(JobToZoneTexts(before)).entries
                      : PoolJob(JobToPoolTexts(before)).entries);
        ModalBoxAnswerer answerer;
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("cmdCalculate")),
                          Qt::LeftButton);
        const Job& after = window->CurrentProject().rooms[std::size_t(row)].job;
        QCOMPARE(after.entries, (zone ? ZoneJob(m_program->screens().Zone()->EntryTexts())
                                      : PoolJob(m_program->screens().Pool()->EntryTexts()))
                                    .entries);
        QVERIFY(after.entries != before.entries);
        QVERIFY(window->HasUnsavedChanges());
        showsTheEngines(window);
        // The room's gain is the one the screen's own run shows.
        QLineEdit* total = screen->findChild<QLineEdit*>(zone ? QStringLiteral("txtTotGain")
                                                              : QStringLiteral("txtTotalGain"));
        QVERIFY(total);
        QCOMPARE(cell(window, row, 3), total->text());

        // Renamed in the window, the caption follows; removed, the screen is its own again.
        editCell(window, row, 0, QStringLiteral("Renamed"));
        QVERIFY(screen->windowTitle().endsWith(QStringLiteral(": Renamed")));
        table(window)->setCurrentCell(row, 0);
        press(window, "cmdRemove");
        QCOMPARE(screen->windowTitle(), caption.section(QLatin1Char(':'), 0, 0));
        const auto rooms = window->CurrentProject().rooms;
        edit->setText(QStringLiteral("77"));
        QCOMPARE(window->CurrentProject().rooms.size(), rooms.size());
        for (std::size_t i = 0; i < rooms.size(); ++i)
            QCOMPARE(window->CurrentProject().rooms[i].job.entries, rooms[i].job.entries);
    }

    // The screens calculate at the standard pressure only: a room at another is
    // refused with one message and the screen keeps what it had.
    void roomAtAnotherPressureStaysClosed() {
        Project project = MixedProject();
        project.rooms[0].job.entries.emplace_back("txtPresskPa", "90");
        frmProject* window = openProject(savedProject(project, QStringLiteral("90kPa.vdhproj")));
        const QString caption = m_program->screens().Zone()->windowTitle();
        const ZoneTexts texts = m_program->screens().Zone()->EntryTexts();
        ModalBoxAnswerer answerer;
        press(window, "cmdOpenRoom");
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(answerer.seen()[0].text,
                 QStringLiteral("The room \"Changing\" sets the barometric pressure to \"90\"; the "
                                "screens calculate at 101.325 kPa only."));
        QCOMPARE(m_program->screens().Zone()->windowTitle(), caption);
        QCOMPARE(ZoneJob(m_program->screens().Zone()->EntryTexts()).entries,
                 ZoneJob(texts).entries);
    }

    // Closing the window, opening or starting another project and quitting each
    // ask once. Cancel keeps everything; a save that fails keeps the window.
    void unsavedChangesAskedOnce_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("savable");
        for (const char* action : {"close", "open", "new", "quit"}) {
            QTest::addRow("%s, save", action) << action << int(QMessageBox::Save) << true;
            QTest::addRow("%s, save fails", action) << action << int(QMessageBox::Save) << false;
            QTest::addRow("%s, discard", action) << action << int(QMessageBox::Discard) << true;
            QTest::addRow("%s, cancel", action) << action << int(QMessageBox::Cancel) << true;
        }
    }

    void unsavedChangesAskedOnce() {
        QFETCH(QString, action);
        QFETCH(int, answer);
        QFETCH(bool, savable);
        // Its own folder, so that a save can be made to fail (even for root) by
        // taking the folder away.
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("asked")));
        const QString path = savedProject(MixedProject(), QStringLiteral("asked/asked.vdhproj"));
        const QString other = savedProject(Project{}, QStringLiteral("other.vdhproj"));
        frmProject* window = openProject(path);
        press(window, "cmdAddZone");
        const Project changed = window->CurrentProject();
        const QByteArray onDisk = ReadFile(path);
        if (!savable)
            QVERIFY(QDir(m_dir.filePath(QStringLiteral("asked"))).removeRecursively());

        QuestionAnswerer answerer{QMessageBox::StandardButton(answer)};
        bool ended = false;
        if (action == QLatin1String("close")) {
            window->findChild<QPushButton*>(QStringLiteral("cmdClose"))->click();
        } else if (action == QLatin1String("open")) {
            m_chosen = other;
            trigger(m_program->screens().Zone(), "mnuOpenProject");
        } else if (action == QLatin1String("new")) {
            trigger(window, "mnuNewProject");
        } else {
            ended = EndsProgram([this] { trigger(m_program->MainScreen(), "mnuExit"); });
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(answerer.questions, 1);

        const bool saved = answer == QMessageBox::Save && savable;
        const bool goes = saved || answer == QMessageBox::Discard;
        QCOMPARE(ReadFile(path), saved     ? QByteArray::fromStdString(WriteProject(changed))
                                 : savable ? onDisk
                                           : QByteArray());
        QCOMPARE(answerer.messages.size(), answer == QMessageBox::Save && !savable ? 1 : 0);
        if (action == QLatin1String("quit")) {
            QCOMPARE(ended, goes);
            return;
        }
        if (!goes) {
            QCOMPARE(m_program->ProjectWindow(), window);
            QVERIFY(window->isVisible());
            QCOMPARE(names(window).size(), int(changed.rooms.size()));
            QCOMPARE(window->FilePath(), path);
            QVERIFY(window->HasUnsavedChanges());
            return;
        }
        if (action == QLatin1String("close")) {
            QVERIFY(!m_program->ProjectWindow());
        } else {
            QVERIFY(m_program->ProjectWindow());
            QCOMPARE(m_program->ProjectWindow()->FilePath(),
                     action == QLatin1String("open") ? other : QString());
            QVERIFY(m_program->ProjectWindow()->CurrentProject().rooms.empty());
            QVERIFY(!m_program->ProjectWindow()->HasUnsavedChanges());
        }
    }

    // A project file that cannot be read: one message naming it, no question,
    // and the project on screen stays as it is.
    void refusedFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QByteArray good = QByteArray::fromStdString(WriteProject(MixedProject()));
        QTest::newRow("cut short") << good.left(good.size() / 2)
                                   << "The file \"bad.vdhproj\" is damaged: it is cut short.";
        QTest::newRow("a job file")
            << QByteArray(
                   R"({"format": "varneldh-job", "formatVersion": 1, "calculation": "zone"})")
            << "The file \"bad.vdhproj\" is not a Varnel DH project file.";
        QTest::newRow("newer") << QByteArray(good).replace("\"formatVersion\": 1",
                                                           "\"formatVersion\": 2")
                               << "The file \"bad.vdhproj\" was written by a newer version of "
                                  "Varnel DH (project format 2; this version reads format 1).";
        QTest::newRow("damaged room")
            << QByteArray(good).replace("\"quantity\": 2", "\"quantity\": 0") << "";
    }

    void refusedFileChangesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        frmProject* window =
            openProject(savedProject(MixedProject(), QStringLiteral("shown.vdhproj")));
        press(window, "cmdAddPool");
        const QByteArray shown = QByteArray::fromStdString(WriteProject(window->CurrentProject()));
        const QString bad = m_dir.filePath(QStringLiteral("bad.vdhproj"));
        QVERIFY(WriteFile(bad, bytes));
        QuestionAnswerer answerer{QMessageBox::Discard};
        m_chosen = bad;
        trigger(window, "mnuOpenProject");
        QCOMPARE(answerer.questions, 0);
        QCOMPARE(answerer.messages.size(), 1);
        QVERIFY2(
            answerer.messages[0].startsWith(QStringLiteral("Varnel DH: The file \"bad.vdhproj\" ")),
            qPrintable(answerer.messages[0]));
        if (!message.isEmpty())
            QCOMPARE(answerer.messages[0], QStringLiteral("Varnel DH: ") + message);
        QCOMPARE(m_program->ProjectWindow(), window);
        QCOMPARE(QByteArray::fromStdString(WriteProject(window->CurrentProject())), shown);
        QVERIFY(window->HasUnsavedChanges());
        showsTheEngines(window);
    }

    // The project's weather file point is read beside the project file when it
    // is applied; a point the file lacks is one message and changes no room.
    void designWeatherFromAWeatherFile_data() {
        QTest::addColumn<QString>("point");
        QTest::addColumn<QString>("ambientTemp");
        QTest::addColumn<QString>("ambientRh");
        QTest::addColumn<QString>("message");
        QTest::newRow("stored point") << "1% cooling"
                                      << "31.6"
                                      << "48.5" << QString();
        QTest::newRow("year's point") << "0.4% dehumidification (from this file's year)"
                                      << "28.7"
                                      << "72.6" << QString();
        QTest::newRow("no such point")
            << "5% cooling" << QString() << QString()
            << "Varnel DH: The weather file \"sites/chicago.epw\" has no design point \"5% "
               "cooling\".";
    }

    void designWeatherFromAWeatherFile() {
        QFETCH(QString, point);
        QFETCH(QString, ambientTemp);
        QFETCH(QString, ambientRh);
        QFETCH(QString, message);
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("sites")));
        const QString epw = m_dir.filePath(QStringLiteral("sites/chicago.epw"));
        QFile::remove(epw);
        QVERIFY(QFile::copy(QStringLiteral(VARNELDH_WEATHER_DATA_DIR "/chicago.epw"), epw));
        Project project = MixedProject();
        project.weather = {
            DesignWeather::Source::WeatherFile, {}, "sites/chicago.epw", point.toStdString()};
        frmProject* window = openProject(savedProject(project, QStringLiteral("site.vdhproj")));
        QVERIFY(window);
        const QByteArray before = QByteArray::fromStdString(WriteProject(window->CurrentProject()));
        QuestionAnswerer answerer{QMessageBox::Cancel};
        press(window, "cmdApplyWeather");
        QTRY_COMPARE(answerer.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(answerer.messages[0], message);
            QCOMPARE(QByteArray::fromStdString(WriteProject(window->CurrentProject())), before);
            QVERIFY(!window->HasUnsavedChanges());
            return;
        }
        for (const Room& room : window->CurrentProject().rooms) {
            if (room.job.kind == JobKind::Zone) {
                QCOMPARE(Q(JobToZoneTexts(room.job).ambientTemp), ambientTemp);
                QCOMPARE(Q(JobToZoneTexts(room.job).ambientRh), ambientRh);
            }
        }
        showsTheEngines(window);
        QVERIFY(window->HasUnsavedChanges());

        // Saved into another folder, the project still finds its weather file.
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("copies")));
        m_chosen = m_dir.filePath(QStringLiteral("copies/site.vdhproj"));
        trigger(window, "mnuSaveProjectAs");
        QTRY_COMPARE(window->FilePath(), m_chosen);
        QCOMPARE(window->CurrentProject().weather.weatherFile, std::string("../sites/chicago.epw"));
        press(window, "cmdApplyWeather");
        QCOMPARE(answerer.messages, QStringList());
    }

    // Weather File... takes a point of a file the user picks, named from the
    // project's folder; Apply then writes that point into the zone rooms.
    void weatherFilePickedInTheWindow() {
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("picked")));
        const QString epw = m_dir.filePath(QStringLiteral("picked/chicago.epw"));
        QFile::remove(epw);
        QVERIFY(QFile::copy(QStringLiteral(VARNELDH_WEATHER_DATA_DIR "/chicago.epw"), epw));
        frmProject* window =
            openProject(savedProject(MixedProject(), QStringLiteral("picked.vdhproj")));
        QVERIFY(window);
        FileDialogAnswerer file(epw);
        QStringList offered;
        QTimer pointPicker;
        connect(&pointPicker, &QTimer::timeout, this, [&offered] {
            auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            offered = dialog->comboBoxItems();
            dialog->setTextValue(offered.filter(QStringLiteral("1% cooling:")).value(0));
            dialog->accept();
        });
        pointPicker.start(10);
        press(window, "cmdWeatherFile");
        QCOMPARE(file.answered, 1);
        QCOMPARE(offered.size(), 12);
        QVERIFY2(offered.contains(QStringLiteral("1% cooling: 31.6°C / 48.5% RH")),
                 qPrintable(offered.join(QLatin1Char('\n'))));
        const DesignWeather expected{
            DesignWeather::Source::WeatherFile, {}, "picked/chicago.epw", "1% cooling"};
        QVERIFY(window->CurrentProject().weather == expected);
        QVERIFY(window->HasUnsavedChanges());
        press(window, "cmdApplyWeather");
        for (const Room& room : window->CurrentProject().rooms) {
            if (room.job.kind == JobKind::Zone) {
                QCOMPARE(JobToZoneTexts(room.job).ambientTemp, std::string("31.6"));
                QCOMPARE(JobToZoneTexts(room.job).ambientRh, std::string("48.5"));
            }
        }
        showsTheEngines(window);
    }

    // Calculation Report... opens the report of the rooms as they stand, over
    // the project window.
    void reportOfTheProjectWindow() {
        frmProject* window =
            openProject(savedProject(MixedProject(), QStringLiteral("report.vdhproj")));
        QVERIFY(window);
        press(window, "cmdReport");
        auto* report = window->findChild<frmProjectReport*>();
        QVERIFY(report);
        QTRY_VERIFY(report->isVisible());
        QCOMPARE(report->parentWidget(), window);
    }

    // The program given a project file opens it in the project window.
    void projectOnTheCommandLine() {
        const QString path = savedProject(MixedProject(), QStringLiteral("start.vdhproj"));
        start(path);
        QTRY_VERIFY(m_program->ProjectWindow());
        QCOMPARE(m_program->ProjectWindow()->FilePath(), path);
        QCOMPARE(m_program->ProjectWindow()->windowTitle(),
                 QStringLiteral("Project: start.vdhproj[*]"));
        showsTheEngines(m_program->ProjectWindow());
    }
};

QTEST_MAIN(TestProject)
#include "tst_frmProject.moc"
