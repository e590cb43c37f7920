#include "GuiTestSupport.h"

#include "gui/help/HelpWindow.h"
#include "gui/help/Misc.h"

#include <QAbstractItemView>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QtTest>

namespace {

HelpWindow* TheHelpWindow() {
    const QList<QWidget*> windows = TopLevelsNamed(QStringLiteral("frmHelp"));
    return windows.size() == 1 ? qobject_cast<HelpWindow*>(windows.first()) : nullptr;
}

QTextBrowser* BrowserOf(QWidget* window) {
    return window ? window->findChild<QTextBrowser*>(QStringLiteral("helpBrowser")) : nullptr;
}

QString PageOf(QTextBrowser* browser) {
    return browser->source().fileName();
}

// What help could leave in a folder: its entries, hidden ones included, and the
// bytes of the help files there.
QStringList FolderState(const QString& path) {
    const QDir folder(path);
    QStringList state =
        folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : folder.entryList({QStringLiteral("varneldh.q*")}, QDir::Files)) {
        QFile file(folder.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            state << name + QLatin1Char(' ') +
                         QString::fromLatin1(
                             QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                 .toHex());
    }
    return state;
}

QModelIndex ContentsEntry(QAbstractItemView* contents, const QString& title) {
    const QModelIndexList found =
        contents->model()->match(contents->model()->index(0, 0), Qt::DisplayRole, title, 1,
                                 Qt::MatchExactly | Qt::MatchRecursive);
    return found.value(0);
}

} // namespace

class TestHelp : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    // Runs first: the launcher's one window is made here, while the help is missing.
    void launcherSaysWhatIsMissingThenRecovers();
    void opensNumberedTopics_data();
    void opensNumberedTopics();
    void opensContents();
    void unknownTopicIsReportedOnThePage();
    void keepsOneWindowThatOnlyHides();
    void backAndForward();
    void contentsOpenOnOneClick();
    void indexTabTakesTyping();
    void indexOpensPage();
    void searchFindsPage();
    void searchUnavailableWithoutCacheFolder();
    // Runs after every use of help above.
    void programFolderLeftAsItWas();
    void reportsUnusableHelpFiles_data();
    void reportsUnusableHelpFiles();

private:
    QString m_collection;
    QTemporaryDir m_cache;
    QStringList m_programFolder;
};

void TestHelp::initTestCase() {
    qunsetenv("VARNELDH_HELP_COLLECTION");
    const QString programFolder = QCoreApplication::applicationDirPath();
    m_collection = QDir(programFolder).filePath("varneldh.qhc");
    QVERIFY2(QFile::exists(m_collection), "the help collection is built beside the tests");
    // Earlier versions kept the search index beside the program.
    QDir(QDir(programFolder).filePath(QStringLiteral(".varneldh"))).removeRecursively();
    m_programFolder = FolderState(programFolder);
    QVERIFY(m_cache.isValid());
    qputenv("XDG_CACHE_HOME", QFile::encodeName(m_cache.path()));
}

void TestHelp::cleanup() {
    qunsetenv("VARNELDH_HELP_COLLECTION");
}

void TestHelp::launcherSaysWhatIsMissingThenRecovers() {
    QVERIFY2(!TheHelpWindow(), "must run before any other test opens help");
    QTemporaryDir empty;
    const QString missing = QDir(empty.path()).filePath(QStringLiteral("varneldh.qhc"));
    qputenv("VARNELDH_HELP_COLLECTION", QFile::encodeName(missing));

    ModalBoxAnswerer answerer;
    Misc::ShowHelpTopic(1);
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QVERIFY(!window->isHelpAvailable());
    const QString page = BrowserOf(window)->toPlainText();
    QVERIFY2(page.contains(QDir::toNativeSeparators(missing)), qPrintable(page));
    QVERIFY2(page.contains(QStringLiteral("could not be found")), qPrintable(page));
    QVERIFY(!window->findChild<QTabWidget*>(QStringLiteral("helpTabs"))->isEnabled());
    QTest::qWait(30);
    QVERIFY(answerer.seen().isEmpty());

    // Once the files are there, the same window shows the help.
    qunsetenv("VARNELDH_HELP_COLLECTION");
    Misc::ShowHelpTopic(1);
    QCOMPARE(TheHelpWindow(), window);
    QVERIFY(window->isHelpAvailable());
    QCOMPARE(PageOf(BrowserOf(window)), QStringLiteral("topic1-infiltration.html"));
    QVERIFY(window->findChild<QTabWidget*>(QStringLiteral("helpTabs"))->isEnabled());
}

void TestHelp::opensNumberedTopics_data() {
    QTest::addColumn<int>("topic");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("heading");
    QTest::newRow("1 infiltration") << 1 << "topic1-infiltration.html"
                                    << "Natural infiltration rate"
                                    << "1. Natural infiltration rate (air changes per hour)";
    QTest::newRow("2 ventilation") << 2 << "topic2-ventilation.html"
                                   << "Mechanical ventilation rate"
                                   << "2. Mechanical ventilation rate (air changes per hour)";
    QTest::newRow("3 fresh air") << 3 << "topic3-freshair.html"
                                 << "Percentage of fresh air"
                                 << "3. % fresh air of the mechanical ventilation";
    QTest::newRow("4 process") << 4 << "topic4-process.html"
                               << "Building process gains"
                               << "4. Building process gains (litres/hour)";
}

void TestHelp::opensNumberedTopics() {
    QFETCH(int, topic);
    QFETCH(QString, page);
    QFETCH(QString, title);
    QFETCH(QString, heading);

    Misc::ShowHelpTopic(topic);
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Varnel DH Help"));
    QVERIFY(window->isVisible());
    QTextBrowser* browser = BrowserOf(window);
    QCOMPARE(PageOf(browser), page);
    QCOMPARE(browser->documentTitle(), title);
    const QTextCursor shown = browser->document()->find(heading);
    QVERIFY2(!shown.isNull(), qPrintable(browser->toPlainText().left(300)));
    // The heading's colour comes from style.css, read from the collection too.
    QCOMPARE(shown.charFormat().foreground().color(), QColor(0x0b, 0x5f, 0xa5));
}

void TestHelp::opensContents() {
    Misc::ShowHelpTopic(2);
    Misc::ShowHelpContents();
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    QTextBrowser* browser = BrowserOf(window);
    QCOMPARE(PageOf(browser), QStringLiteral("index.html"));
    QCOMPARE(browser->documentTitle(), QStringLiteral("Varnel DH 2.0 Help – Contents"));
    QVERIFY(browser->toPlainText().contains(QStringLiteral("Help on the inputs")));
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("helpTabs"));
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(tabs->currentIndex()), QStringLiteral("Contents"));
}

void TestHelp::unknownTopicIsReportedOnThePage() {
    ModalBoxAnswerer answerer;
    Misc::ShowHelpTopic(9);
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(BrowserOf(window)->toPlainText(),
             QStringLiteral("Help topic 9 is not in the help file."));
    QTest::qWait(30);
    QVERIFY(answerer.seen().isEmpty());
    Misc::ShowHelpTopic(4);
    QCOMPARE(PageOf(BrowserOf(window)), QStringLiteral("topic4-process.html"));
}

void TestHelp::keepsOneWindowThatOnlyHides() {
    Misc::ShowHelpTopic(1);
    QPointer<HelpWindow> window = TheHelpWindow();
    QVERIFY(window);
    QVERIFY(!window->testAttribute(Qt::WA_QuitOnClose));

    QVERIFY(window->close());
    QCoreApplication::processEvents();
    QVERIFY(window);
    QVERIFY(!window->isVisible());

    Misc::ShowHelpTopic(3);
    QCOMPARE(TopLevelsNamed(QStringLiteral("frmHelp")).size(), 1);
    QCOMPARE(TheHelpWindow(), window.data());
    QVERIFY(window->isVisible());
    QCOMPARE(PageOf(BrowserOf(window)), QStringLiteral("topic3-freshair.html"));

    window->showMinimized();
    Misc::ShowHelpContents();
    QVERIFY(!window->isMinimized());
    QCOMPARE(PageOf(BrowserOf(window)), QStringLiteral("index.html"));
}

void TestHelp::backAndForward() {
    Misc::ShowHelpTopic(1);
    Misc::ShowHelpTopic(2);
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    auto* back = window->findChild<QPushButton*>(QStringLiteral("cmdBack"));
    auto* forward = window->findChild<QPushButton*>(QStringLiteral("cmdForward"));
    QVERIFY(back && forward);
    QTextBrowser* browser = BrowserOf(window);

    QVERIFY(back->isEnabled());
    QTest::mouseClick(back, Qt::LeftButton);
    QCOMPARE(PageOf(browser), QStringLiteral("topic1-infiltration.html"));
    QVERIFY(forward->isEnabled());
    QTest::mouseClick(forward, Qt::LeftButton);
    QCOMPARE(PageOf(browser), QStringLiteral("topic2-ventilation.html"));
    QVERIFY(!forward->isEnabled());
}

void TestHelp::contentsOpenOnOneClick() {
    Misc::ShowHelpContents();
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    auto* contents = window->findChild<QAbstractItemView*>(QStringLiteral("helpContents"));
    QVERIFY(contents);
    QTextBrowser* browser = BrowserOf(window);
    QTRY_VERIFY(ContentsEntry(contents, QStringLiteral("Operating range of the units")).isValid());

    const struct {
        const char* title;
        const char* page;
    } entries[] = {{"Operating range of the units", "operating-range.html"},
                   {"2. Mechanical ventilation rate", "topic2-ventilation.html"},
                   {"Calculation report", "report.html"},
                   {"Psychrometric chart", "chart.html"},
                   {"Psychrometric details (password)", "details.html"},
                   {"Job files", "job-files.html"},
                   {"Weather files and a year hour by hour", "weather-files.html"},
                   {"Projects", "projects.html"}};
    for (const auto& entry : entries) {
        const QModelIndex item = ContentsEntry(contents, QString::fromUtf8(entry.title));
        QVERIFY2(item.isValid(), entry.title);
        contents->scrollTo(item);
        const int history = browser->backwardHistoryCount();
        QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                          contents->visualRect(item).center());
        QCOMPARE(PageOf(browser), QString::fromUtf8(entry.page));
        QCOMPARE(browser->backwardHistoryCount(), history + 1);
        // A double click opens the same page once, so Back leaves it.
        QTest::mouseDClick(contents->viewport(), Qt::LeftButton, {},
                           contents->visualRect(item).center());
        QCOMPARE(PageOf(browser), QString::fromUtf8(entry.page));
        QCOMPARE(browser->backwardHistoryCount(), history + 1);
    }
}

void TestHelp::indexTabTakesTyping() {
    Misc::ShowHelpContents();
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* tabs = window->findChild<QTabWidget*>(QStringLiteral("helpTabs"));
    auto* filter = window->findChild<QLineEdit*>(QStringLiteral("txtIndexFilter"));
    auto* index = window->findChild<QAbstractItemView*>(QStringLiteral("helpIndex"));
    QVERIFY(tabs && filter && index);
    filter->clear();
    QTRY_VERIFY(index->model()->rowCount() > 1);

    // Reading a page, then turning to the index.
    BrowserOf(window)->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), BrowserOf(window));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(1).center());
    QCOMPARE(tabs->currentIndex(), 1);
    QTRY_COMPARE(QApplication::focusWidget(), filter);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Cooking"));
    QCOMPARE(filter->text(), QStringLiteral("Cooking"));
    QTRY_COMPARE(index->model()->rowCount(), 1);
}

void TestHelp::indexOpensPage() {
    Misc::ShowHelpContents();
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    auto* filter = window->findChild<QLineEdit*>(QStringLiteral("txtIndexFilter"));
    auto* index = window->findChild<QAbstractItemView*>(QStringLiteral("helpIndex"));
    QVERIFY(filter && index);
    QTRY_VERIFY(index->model()->rowCount() > 0);

    const struct {
        const char* keyword;
        const char* page;
    } entries[] = {
        {"Cooking", "topic4-process.html"},    {"Calculation Report", "report.html"},
        {"Psychrometric Chart", "chart.html"}, {"Password", "details.html"},
        {"Job files", "job-files.html"},       {"Load-duration curve", "weather-files.html"},
        {"Open Room", "projects.html"}};
    for (const auto& entry : entries) {
        filter->setText(QString::fromUtf8(entry.keyword));
        QTRY_COMPARE(index->model()->rowCount(), 1);
        QTest::keyClick(filter, Qt::Key_Return);
        QCOMPARE(PageOf(BrowserOf(window)), QString::fromUtf8(entry.page));
    }
}

void TestHelp::searchFindsPage() {
    Misc::ShowHelpContents();
    HelpWindow* window = TheHelpWindow();
    QVERIFY(window);
    QWidget* query = window->findChild<QWidget*>(QStringLiteral("helpSearchQuery"));
    QWidget* results = window->findChild<QWidget*>(QStringLiteral("helpSearchResults"));
    QVERIFY(query && results);
    auto* input = query->findChild<QLineEdit*>();
    auto* shown = results->findChild<QTextBrowser*>();
    QVERIFY(input && shown);

    // The full-text index is built in the background after the help opens; ask
    // again until it answers.
    input->setText(QStringLiteral("unflued"));
    QTRY_VERIFY_WITH_TIMEOUT((QTest::keyClick(input, Qt::Key_Return), QTest::qWait(50),
                              shown->toHtml().contains(QStringLiteral("topic4-process.html"))),
                             10000);
    QVERIFY(!shown->toHtml().contains(QStringLiteral("topic1-infiltration.html")));
}

void TestHelp::searchUnavailableWithoutCacheFolder() {
    // A cache folder below a plain file cannot be made, not even by root.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString blocker = QDir(folder.path()).filePath(QStringLiteral("file"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    const QByteArray cache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CACHE_HOME", QFile::encodeName(blocker));
    auto restore = qScopeGuard([&cache] { qputenv("XDG_CACHE_HOME", cache); });

    ModalBoxAnswerer answerer;
    HelpWindow window(m_collection);
    QVERIFY(window.isHelpAvailable());
    window.showTopic(2);
    QCOMPARE(PageOf(BrowserOf(&window)), QStringLiteral("topic2-ventilation.html"));
    auto* contents = window.findChild<QAbstractItemView*>(QStringLiteral("helpContents"));
    QVERIFY(contents);
    QTRY_VERIFY(ContentsEntry(contents, QStringLiteral("Swimming pool calculation")).isValid());
    const QModelIndex pool = ContentsEntry(contents, QStringLiteral("Swimming pool calculation"));
    QTest::mouseClick(contents->viewport(), Qt::LeftButton, {},
                      contents->visualRect(pool).center());
    QCOMPARE(PageOf(BrowserOf(&window)), QStringLiteral("pool-calculation.html"));

    auto* tabs = window.findChild<QTabWidget*>(QStringLiteral("helpTabs"));
    QCOMPARE(tabs->count(), 3);
    QCOMPARE(tabs->tabText(2), QStringLiteral("Search"));
    QVERIFY(!tabs->widget(2)->findChild<QWidget*>(QStringLiteral("helpSearchQuery")));
    auto* says = tabs->widget(2)->findChild<QLabel*>(QStringLiteral("lblSearchUnavailable"));
    QVERIFY(says);
    QVERIFY2(says->text().startsWith(QStringLiteral("Search is unavailable")),
             qPrintable(says->text()));
    QVERIFY(!says->text().contains(QLatin1Char('\n')));
    QVERIFY(!says->wordWrap());
    QCOMPARE(says->toolTip(), QDir::toNativeSeparators(
                                  QStandardPaths::writableLocation(QStandardPaths::CacheLocation)));
    QTest::qWait(30);
    QVERIFY(answerer.seen().isEmpty());
}

void TestHelp::programFolderLeftAsItWas() {
    // Help has been opened, searched and browsed: its index is in the cache folder.
    QCOMPARE(FolderState(QCoreApplication::applicationDirPath()).join(QLatin1Char('\n')),
             m_programFolder.join(QLatin1Char('\n')));
    QDirIterator index(m_cache.path(), {QStringLiteral("fts")}, QDir::AllEntries | QDir::Hidden,
                       QDirIterator::Subdirectories);
    QVERIFY2(index.hasNext(), "no search index in the cache folder");
}

void TestHelp::reportsUnusableHelpFiles_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("named");
    QTest::addColumn<QString>("says");
    QTest::newRow("no collection") << "missing"
                                   << "varneldh.qhc"
                                   << "could not be found";
    QTest::newRow("not a collection") << "garbage"
                                      << "varneldh.qhc"
                                      << "holds no help pages";
    QTest::newRow("pages missing") << "no pages"
                                   << "varneldh.qch"
                                   << "could not be found";
    QTest::newRow("folder instead of file") << "folder"
                                            << "varneldh.qhc"
                                            << "could not be read";
}

void TestHelp::reportsUnusableHelpFiles() {
    QFETCH(QString, kind);
    QFETCH(QString, named);
    QFETCH(QString, says);

    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QDir dir(folder.path());
    const QString collection = dir.filePath(QStringLiteral("varneldh.qhc"));
    if (kind == QLatin1String("garbage")) {
        QFile file(collection);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("this is not a help collection\n");
    } else if (kind == QLatin1String("no pages")) {
        QVERIFY(QFile::copy(m_collection, collection));
    } else if (kind == QLatin1String("folder")) {
        QVERIFY(dir.mkdir(QStringLiteral("varneldh.qhc")));
    }

    ModalBoxAnswerer answerer;
    HelpWindow window(collection);
    QVERIFY(!window.isHelpAvailable());
    window.showTopic(1);
    window.showContents();
    QVERIFY(window.isVisible());
    const QString page = BrowserOf(&window)->toPlainText();
    QVERIFY2(page.contains(QDir::toNativeSeparators(dir.filePath(named))), qPrintable(page));
    QVERIFY2(page.contains(says), qPrintable(page));
    QVERIFY(!window.findChild<QTabWidget*>(QStringLiteral("helpTabs"))->isEnabled());
    QTest::qWait(30);
    QVERIFY(answerer.seen().isEmpty());
}

QTEST_MAIN(TestHelp)
#include "tst_Help.moc"
