#include "GuiTestSupport.h"

#include "gui/common/Resources.h"
#include "gui/shell/SysInfo.h"
#include "gui/shell/frmAbout.h"

#include <QDir>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Writes an executable stand-in for a system-information viewer that leaves a
// marker file behind when it runs.
void WriteViewer(const QDir& folder, const QString& name, const QString& marker,
                 const QByteArray& interpreter = "/bin/sh", bool executable = true) {
    QFile script(folder.filePath(name));
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!" + interpreter + "\necho started > '" + QFile::encodeName(marker) + "'\n");
    script.close();
    QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
    if (executable)
        permissions |= QFile::ExeOwner;
    QVERIFY(script.setPermissions(permissions));
}

frmAbout* OpenAbout() {
    ShowAbout(nullptr);
    const QList<QWidget*> boxes = TopLevelsNamed(QStringLiteral("frmAbout"));
    return boxes.size() == 1 ? qobject_cast<frmAbout*>(boxes.first()) : nullptr;
}

} // namespace

class TestSysInfo : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void choosesTheFirstViewerFound_data();
    void choosesTheFirstViewerFound();
    void startsTheViewer();
    void saysWhenUnavailable_data();
    void saysWhenUnavailable();

private:
    QByteArray m_path;
    QTemporaryDir m_folder;
};

void TestSysInfo::initTestCase() {
    InitUiResources();
    m_path = qgetenv("PATH");
}

void TestSysInfo::init() {
    QVERIFY(m_folder.isValid());
    // Only the stand-ins are found.
    qputenv("PATH", QFile::encodeName(m_folder.path()));
}

void TestSysInfo::cleanup() {
    qputenv("PATH", m_path);
    for (QWidget* box : TopLevelsNamed(QStringLiteral("frmAbout")))
        delete box;
    const QDir folder(m_folder.path());
    for (const QString& name : folder.entryList(QDir::Files))
        QFile::remove(folder.filePath(name));
}

void TestSysInfo::choosesTheFirstViewerFound_data() {
    QTest::addColumn<QStringList>("present");
    QTest::addColumn<QStringList>("notExecutable");
    QTest::addColumn<QString>("expected");
    QTest::newRow("all three") << QStringList{"kinfocenter", "hardinfo", "hardinfo2"}
                               << QStringList{} << QStringLiteral("hardinfo2");
    QTest::newRow("older hardinfo")
        << QStringList{"kinfocenter", "hardinfo"} << QStringList{} << QStringLiteral("hardinfo");
    QTest::newRow("kinfocenter only")
        << QStringList{"kinfocenter"} << QStringList{} << QStringLiteral("kinfocenter");
    QTest::newRow("not executable is skipped")
        << QStringList{"kinfocenter"} << QStringList{"hardinfo2"} << QStringLiteral("kinfocenter");
    QTest::newRow("none") << QStringList{"sysinfo"} << QStringList{} << QString();
}

void TestSysInfo::choosesTheFirstViewerFound() {
    QFETCH(QStringList, present);
    QFETCH(QStringList, notExecutable);
    QFETCH(QString, expected);
    const QDir folder(m_folder.path());
    for (const QString& name : present)
        WriteViewer(folder, name, folder.filePath(name + QStringLiteral(".ran")));
    for (const QString& name : notExecutable)
        WriteViewer(folder, name, folder.filePath(name + QStringLiteral(".ran")), "/bin/sh", false);

    const QString program = SysInfoProgram();
    QCOMPARE(program, expected.isEmpty() ? QString() : folder.filePath(expected));
}

void TestSysInfo::startsTheViewer() {
    const QDir folder(m_folder.path());
    const QString marker = folder.filePath(QStringLiteral("hardinfo.ran"));
    WriteViewer(folder, QStringLiteral("hardinfo"), marker);

    QPointer<frmAbout> box = OpenAbout();
    QVERIFY(box);
    ModalBoxAnswerer answerer;
    QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);

    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(marker), 5000);
    QVERIFY(answerer.seen().isEmpty());
    QVERIFY(box);
    QVERIFY(box->isVisible());
}

void TestSysInfo::saysWhenUnavailable_data() {
    QTest::addColumn<QString>("viewer");
    QTest::addColumn<QByteArray>("interpreter");
    QTest::addColumn<bool>("executable");
    QTest::newRow("none on the PATH") << QString() << QByteArray() << true;
    QTest::newRow("not executable") << QStringLiteral("hardinfo") << QByteArray("/bin/sh") << false;
    QTest::newRow("cannot start") << QStringLiteral("hardinfo2")
                                  << QByteArray("/nonexistent/interpreter") << true;
}

void TestSysInfo::saysWhenUnavailable() {
    QFETCH(QString, viewer);
    QFETCH(QByteArray, interpreter);
    QFETCH(bool, executable);
    const QDir folder(m_folder.path());
    const QString marker = folder.filePath(QStringLiteral("viewer.ran"));
    if (!viewer.isEmpty())
        WriteViewer(folder, viewer, marker, interpreter, executable);

    QPointer<frmAbout> box = OpenAbout();
    QVERIFY(box);
    ModalBoxAnswerer answerer;
    QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("cmdSysInfo")), Qt::LeftButton);

    QCOMPARE(answerer.seen().size(), 1);
    const ModalBoxAnswerer::Seen& message = answerer.seen().first();
    QCOMPARE(message.text, QStringLiteral("System Information Is Unavailable At This Time"));
    QCOMPARE(message.title, QStringLiteral("Varnel DH"));
    QCOMPARE(message.icon, QMessageBox::NoIcon);
    QCOMPARE(message.buttonCount, 1);
    QVERIFY(message.hasOk);
    // The box stays open and nothing ran.
    QVERIFY(box);
    QVERIFY(box->isVisible());
    QTest::qWait(50);
    QVERIFY(!QFile::exists(marker));
}

QTEST_MAIN(TestSysInfo)
#include "tst_SysInfo.moc"
