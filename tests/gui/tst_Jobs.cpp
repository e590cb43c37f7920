#include "GuiTestSupport.h"

#include "core/jobs/JobFile.h"
#include "gui/pool/frmMethod2.h"
#include "gui/shell/Application.h"
#include "gui/shell/Screens.h"
#include "gui/shell/frmMain.h"
#include "gui/shell/frmSplash.h"
#include "gui/zone/frmMethod1.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/resource.h>

namespace {

using Entries = QList<QPair<QString, QString>>;

// Every text field of a screen by its name; the text part of a list by the list's.
QMap<QString, QString> FieldTexts(QWidget* screen) {
    QMap<QString, QString> texts;
    for (QLineEdit* edit : screen->findChildren<QLineEdit*>()) {
        const auto* list = qobject_cast<QComboBox*>(edit->parentWidget());
        const QString name = list ? list->objectName() : edit->objectName();
        if (!name.isEmpty())
            texts.insert(name, edit->text());
    }
    return texts;
}

// What a user sees of a screen: its texts, whether it is shown, its caption.
QString Snapshot(QWidget* screen) {
    QString shot = screen->windowTitle() + (screen->isVisible() ? " shown\n" : " hidden\n");
    const auto texts = FieldTexts(screen);
    for (auto it = texts.begin(); it != texts.end(); ++it)
        shot += it.key() + QLatin1Char('=') + it.value() + QLatin1Char('\n');
    return shot;
}

QStringList MessageTexts(const ModalBoxAnswerer& answerer) {
    QStringList texts;
    for (const auto& seen : answerer.seen())
        texts << seen.title + QStringLiteral(": ") + seen.text;
    return texts;
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

const QByteArray kZoneJob = R"({"format": "varneldh-job", "formatVersion": 1,
  "calculation": "zone", "entries": {"txtVol": "250", "comboActivity": "Sleeping"}})";

} // namespace

class TestJobs : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Application> m_program;
    QTemporaryDir m_dir;
    QString m_chosen; // what the file dialog would have given

    void start(const QString& jobFile = {}) {
        m_program = std::make_unique<Application>();
        m_program->SetFileChooser([this](QWidget*, bool, const QString&) { return m_chosen; });
        m_program->Start(jobFile);
        QTest::mouseClick(m_program->Splash(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTRY_VERIFY(m_program->MainScreen());
    }

    QMainWindow* screen(const QString& kind) {
        return kind == QLatin1String("zone")
                   ? static_cast<QMainWindow*>(m_program->screens().Zone())
                   : m_program->screens().Pool();
    }

    // Opens a calculation screen from the mode selection, as the user does.
    QMainWindow* open(const QString& kind) {
        const char* button = kind == QLatin1String("zone") ? "Command4" : "Command1";
        QTest::mouseClick(
            m_program->MainScreen()->findChild<QPushButton*>(QString::fromLatin1(button)),
            Qt::LeftButton);
        return screen(kind);
    }

    static void type(QMainWindow* screen, const QString& field, const QString& text) {
        QLineEdit* edit = nullptr;
        if (auto* list = screen->findChild<QComboBox*>(field))
            edit = list->lineEdit();
        else
            edit = screen->findChild<QLineEdit*>(field);
        QVERIFY2(edit, qPrintable(field));
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        for (const QChar c : text) {
            // keyClicks takes Latin-1 only; other characters come as typed text.
            if (c.unicode() < 0x80)
                QTest::keyClick(edit, char(c.unicode()));
            else
                QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
        }
        QCOMPARE(edit->text(), text);
    }

    void choose(QMainWindow* screen, const char* item, const QString& path) {
        m_chosen = path;
        QAction* action = screen->findChild<QAction*>(QString::fromLatin1(item));
        QVERIFY(action);
        action->trigger();
    }

    static void calculate(QMainWindow* screen) {
        QTest::mouseClick(screen->findChild<QPushButton*>(QStringLiteral("cmdCalculate")),
                          Qt::LeftButton);
    }

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); }
    void init() { start(); }
    void cleanup() { m_program.reset(); }

    // Saved from what was typed, opened again (from either screen) and calculated:
    // the same texts and messages as the typed run.
    void savedJobCalculatesAsTyped_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("openFrom");
        QTest::addColumn<Entries>("typed");
        QTest::newRow("zone worked example") << "zone"
                                             << "zone"
                                             << Entries{{"txtOccupancy", "10"},
                                                        {"txtVentrate", "2"},
                                                        {"txtProcess", "0.5"},
                                                        {"txtSwimPoolGain", "12.50"}};
        QTest::newRow("zone blanks, warning, own activity, from the pool screen")
            << "zone"
            << "pool"
            << Entries{{"txtVentrate", " 12 "},
                       {"txtVol", "  800"},
                       {"txtTamb", "35 °C"},
                       {"comboActivity", "Dancing \"fast\" \\ 舞"}};
        QTest::newRow("zone refused empty entry")
            << "zone"
            << "zone" << Entries{{"txtAmbrh", ""}, {"txtInfil", "0.5"}};
        QTest::newRow("pool") << "pool"
                              << "pool"
                              << Entries{{"txttemp", "30"},
                                         {"txtpoolarea", " 75.5 "},
                                         {"txtOccupancy", "12"},
                                         {"cmbOccupancy2", "Zürich"}};
        QTest::newRow("pool from the zone screen")
            << "pool"
            << "zone" << Entries{{"txtpooltemp", "27"}, {"txtrh", "55"}};
    }

    void savedJobCalculatesAsTyped() {
        QFETCH(QString, kind);
        QFETCH(QString, openFrom);
        QFETCH(Entries, typed);
        const QString path =
            m_dir.filePath(QStringLiteral("%1.vdhjob").arg(QTest::currentDataTag()));
        QMainWindow* window = open(kind);

        ModalBoxAnswerer answerer;
        for (const auto& [field, text] : typed)
            type(window, field, text);
        choose(window, "mnuSaveJob", path);
        QVERIFY(answerer.seen().isEmpty());
        calculate(window);
        const QMap<QString, QString> typedRun = FieldTexts(window);
        const QStringList typedMessages = MessageTexts(answerer);

        // Something else on the screen, then the job opened from the other screen.
        for (const auto& [field, text] : typed)
            type(window, field, QStringLiteral("9"));
        window->hide();
        QMainWindow* from = open(openFrom);
        choose(from, "mnuOpenJob", path);
        QVERIFY(window->isVisible());
        QCOMPARE(MessageTexts(answerer), typedMessages);
        for (const auto& [field, text] : typed)
            QCOMPARE(FieldTexts(window).value(field), text);
        // The results of the earlier run are gone, and with them the run that the
        // report and the other windows follow.
        auto emptied = [&window](std::string_view name) {
            return FieldTexts(window).value(QString::fromUtf8(name.data(), qsizetype(name.size())));
        };
        if (kind == QLatin1String("zone")) {
            for (const ResultSpec* result : kZoneClearedResults)
                QCOMPARE(emptied(result->name), QString());
            QVERIFY(!m_program->screens().Zone()->LastRun());
        } else {
            QVERIFY(window->findChild<QWidget*>(QStringLiteral("Frame2"))->isVisible());
            for (const ResultSpec& result : kPoolResults)
                QCOMPARE(emptied(result.name), QString());
            QVERIFY(!m_program->screens().Pool()->LastRun());
            QVERIFY(!window->findChild<QPushButton*>(QStringLiteral("Command3"))->isEnabled());
        }
        calculate(window);
        QCOMPARE(FieldTexts(window), typedRun);
        QCOMPARE(MessageTexts(answerer), typedMessages + typedMessages);
    }

    // A file that cannot be a job: exactly one message naming it and what is
    // wrong, and no screen changes at all.
    void refusedFileChangesNothing_data() {
        QTest::addColumn<QByteArray>("bytes"); // null: nothing at that path
        QTest::addColumn<QString>("message");
        QTest::newRow("truncated")
            << kZoneJob.left(60) << "The file \"job.vdhjob\" is damaged: it is cut short.";
        QTest::newRow("not JSON") << QByteArray("txtVol=250")
                                  << "The file \"job.vdhjob\" is not a Varnel DH job file.";
        QTest::newRow("foreign") << QByteArray(R"({"format": "other", "formatVersion": 1})")
                                 << "The file \"job.vdhjob\" is not a Varnel DH job file.";
        QTest::newRow("newer")
            << QByteArray(kZoneJob).replace("\"formatVersion\": 1", "\"formatVersion\": 3")
            << "The file \"job.vdhjob\" was written by a newer version of Varnel DH (job format "
               "3; this version reads format 1).";
        QTest::newRow("wrong type")
            << QByteArray(kZoneJob).replace("\"250\"", "250")
            << "The file \"job.vdhjob\" is damaged: the entry \"txtVol\" is not a text.";
        QTest::newRow("invalid UTF-8")
            << QByteArray(kZoneJob).replace("Sleeping", "Sl\xff\xfeping")
            << "The file \"job.vdhjob\" is damaged: it holds bytes that are not UTF-8 text "
               "(line 2, column 75).";
        QTest::newRow("other pressure")
            << QByteArray(kZoneJob).replace("\"txtVol\"", "\"txtPresskPa\": \"90\", \"txtVol\"")
            << "The file \"job.vdhjob\" sets the barometric pressure to \"90\"; the screens "
               "calculate at 101.325 kPa only.";
        QTest::newRow("100 MB") << QByteArray("huge")
                                << "The file \"job.vdhjob\" is too large for a job file (more "
                                   "than 1048576 bytes).";
        QTest::newRow("missing") << QByteArray()
                                 << "The file \"job.vdhjob\" cannot be opened (No such file or "
                                    "directory).";
    }

    void refusedFileChangesNothing() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QDir(m_dir.path()).mkpath(QTest::currentDataTag());
        const QString path =
            m_dir.filePath(QTest::currentDataTag() + QStringLiteral("/job.vdhjob"));
        if (bytes == "huge") {
            // Sparse: a 100 MB file without writing 100 MB.
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(kZoneJob) > 0);
            QVERIFY(file.resize(qint64(100) << 20));
        } else if (!bytes.isNull()) {
            QVERIFY(WriteFile(path, bytes));
        }

        QMainWindow* zone = open(QStringLiteral("zone"));
        type(zone, QStringLiteral("txtVol"), QStringLiteral("600"));
        calculate(zone);
        type(zone, QStringLiteral("comboActivity"), QStringLiteral("Labouring"));
        QMainWindow* pool = open(QStringLiteral("pool"));
        pool->hide();
        const QString zoneBefore = Snapshot(zone);
        const QString poolBefore = Snapshot(pool);

        ModalBoxAnswerer answerer;
        choose(zone, "mnuOpenJob", path);
        QCOMPARE(MessageTexts(answerer), QStringList{QStringLiteral("Varnel DH: ") + message});
        QCOMPARE(Snapshot(zone), zoneBefore);
        QCOMPARE(Snapshot(pool), poolBefore);
    }

    // A save that fails shows one message and leaves what was there as it was:
    // no partial file, no stray temporary file.
    void failedSaveKeepsTheEarlierFile_data() {
        QTest::addColumn<QString>("target"); // under the row's folder
        QTest::addColumn<bool>("sizeLimit");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("reason"); // the system's words for it, in its own language
        QTest::newRow("under a regular file")
            << "earlier.vdhjob/job.vdhjob" << false
            << "The job could not be saved as \"job.vdhjob\": " << ENOTDIR;
        QTest::newRow("disk full midway")
            << "earlier.vdhjob" << true
            << "The job could not be saved as \"earlier.vdhjob\": " << EFBIG;
    }

    void failedSaveKeepsTheEarlierFile() {
        QFETCH(QString, target);
        QFETCH(bool, sizeLimit);
        QFETCH(QString, message);
        QFETCH(int, reason);
        message += QString::fromLocal8Bit(std::strerror(reason)) + QLatin1Char('.');
        const QString folder = m_dir.filePath(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        const QString earlier = folder + QStringLiteral("/earlier.vdhjob");
        QVERIFY(WriteFile(earlier, kZoneJob));
        QMainWindow* zone = open(QStringLiteral("zone"));

        ModalBoxAnswerer answerer;
        rlimit before{};
        QVERIFY(getrlimit(RLIMIT_FSIZE, &before) == 0);
        if (sizeLimit) {
            // A full disk, as far as this process can tell: writes past 64 bytes fail.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit = before;
            limit.rlim_cur = 64;
            QVERIFY(setrlimit(RLIMIT_FSIZE, &limit) == 0);
        }
        choose(zone, "mnuSaveJob", folder + QLatin1Char('/') + target);
        QVERIFY(setrlimit(RLIMIT_FSIZE, &before) == 0);

        QCOMPARE(MessageTexts(answerer), QStringList{QStringLiteral("Varnel DH: ") + message});
        QCOMPARE(ReadFile(earlier), kZoneJob);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 QStringList{QStringLiteral("earlier.vdhjob")});
    }

    // `varneldh FILE.vdhjob`: the job opens on its screen once the splash has
    // handed over; a refused one says why over the mode selection.
    void jobNamedAtStart() {
        const QString good = m_dir.filePath(QStringLiteral("start.vdhjob"));
        QVERIFY(WriteFile(good, kZoneJob));
        m_program.reset();
        start(good);
        frmMethod1* zone = m_program->screens().Zone();
        QVERIFY(zone->isVisible());
        QCOMPARE(zone->Field(QStringLiteral("txtVol"))->text(), QStringLiteral("250"));
        QCOMPARE(zone->Field(QStringLiteral("comboActivity"))->text(), QStringLiteral("Sleeping"));

        const QString bad = m_dir.filePath(QStringLiteral("start-bad.vdhjob"));
        QVERIFY(WriteFile(bad, "{}"));
        m_program.reset();
        ModalBoxAnswerer answerer;
        start(bad);
        QTRY_COMPARE(MessageTexts(answerer),
                     QStringList{QStringLiteral(
                         "Varnel DH: The file \"start-bad.vdhjob\" is not a Varnel DH job file.")});
        QVERIFY(m_program->MainScreen()->isVisible());
        QVERIFY(!m_program->screens().Zone()->isVisible());
    }
};

QTEST_MAIN(TestJobs)
#include "tst_Jobs.moc"
