#include "gui/help/HelpWindow.h"

#include "gui/common/Accessibility.h"
#include "gui/common/MessageBox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHelpContentItem>
#include <QHelpContentWidget>
#include <QHelpEngine>
#include <QHelpIndexWidget>
#include <QHelpLink>
#include <QHelpSearchEngine>
#include <QHelpSearchQueryWidget>
#include <QHelpSearchResultWidget>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QStandardPaths>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString Quoted(const QString& path) {
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
}

// Full-text search keeps its index beside the collection it works on and records
// in that collection what it has indexed. So it works on a collection of its own
// in the user's cache folder, which registers the pages where they are installed;
// the program's folder and the installed collection are never written. Empty when
// the cache folder cannot take it.
QString SearchCollection(const QString& collectionFile, const QString& cacheFolder) {
    if (cacheFolder.isEmpty() || !QDir().mkpath(cacheFolder))
        return {};
    const QString local = QDir(cacheFolder).filePath(QFileInfo(collectionFile).fileName());
    if (QFileInfo(local) == QFileInfo(collectionFile))
        return {};

    QHelpEngineCore installed(collectionFile);
    installed.setReadOnly(true);
    if (!installed.setupData())
        return {};
    // Made afresh each time, so it follows the installed pages.
    if (QFileInfo::exists(local) && !QFile::remove(local))
        return {};
    QHelpEngineCore made(local);
    made.setReadOnly(false);
    if (!made.setupData())
        return {};
    for (const QString& name : installed.registeredDocumentations()) {
        if (!made.registerDocumentation(installed.documentationFileName(name)))
            return {};
    }
    return local;
}

} // namespace

HelpBrowser::HelpBrowser(QWidget* parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("helpBrowser"));
    setAccessibleName(QStringLiteral("Help page"));
    setOpenExternalLinks(false);
}

QVariant HelpBrowser::loadResource(int type, const QUrl& name) {
    // Names arrive resolved against the page, so a page's style sheet is found too.
    if (m_engine && name.scheme() == QLatin1String("qthelp"))
        return m_engine->fileData(name);
    return QTextBrowser::loadResource(type, name);
}

void HelpBrowser::doSetSource(const QUrl& name, QTextDocument::ResourceType type) {
    // The pages live in the collection; anything on the web belongs to the
    // desktop's own browser and stays out of the history.
    const QString scheme = name.scheme();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
        scheme == QLatin1String("mailto")) {
        QDesktopServices::openUrl(name);
        return;
    }
    QTextBrowser::doSetSource(name, type);
}

HelpWindow::HelpWindow(const QString& collectionFile, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    InstallAccessibility();
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(AppTitle() + QStringLiteral(" Help"));
    // Closing only hides the window, and never ends the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(920, 620);

    m_back = new QPushButton(QStringLiteral("Back"));
    m_back->setObjectName(QStringLiteral("cmdBack"));
    m_back->setEnabled(false);
    m_forward = new QPushButton(QStringLiteral("Forward"));
    m_forward->setObjectName(QStringLiteral("cmdForward"));
    m_forward->setEnabled(false);
    m_home = new QPushButton(QStringLiteral("Contents"));
    m_home->setObjectName(QStringLiteral("cmdContents"));
    m_home->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_back);
    buttons->addWidget(m_forward);
    buttons->addWidget(m_home);
    buttons->addStretch();

    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("helpTabs"));
    m_tabs->setEnabled(false);
    m_browser = new HelpBrowser;

    auto* splitter = new QSplitter(Qt::Horizontal);
    splitter->addWidget(m_tabs);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 3);
    splitter->setSizes({290, 630});

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(splitter, 1);

    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QPushButton::clicked, this, &HelpWindow::showContents);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::followContents);

    openCollection(collectionFile);
}

HelpWindow::~HelpWindow() = default;

bool HelpWindow::openCollection(const QString& collectionFile) {
    if (m_engine)
        return true;

    const QFileInfo collection(collectionFile);
    if (!collection.exists()) {
        showProblem(QStringLiteral("Help is not available: the help file %1 could not be found.")
                        .arg(Quoted(collection.absoluteFilePath())));
        return false;
    }
    if (!collection.isFile() || !collection.isReadable()) {
        showProblem(QStringLiteral("Help is not available: the help file %1 could not be read.")
                        .arg(Quoted(collection.absoluteFilePath())));
        return false;
    }

    const QString cacheFolder = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
    const QString searchable = SearchCollection(collection.absoluteFilePath(), cacheFolder);
    auto* engine =
        new QHelpEngine(searchable.isEmpty() ? collection.absoluteFilePath() : searchable, this);
    engine->setReadOnly(true);
    QString problem;
    if (!engine->setupData()) {
        problem =
            QStringLiteral("Help is not available: the help file %1 could not be opened (%2).")
                .arg(Quoted(collection.absoluteFilePath()), engine->error());
    } else if (engine->registeredDocumentations().isEmpty()) {
        problem = QStringLiteral("Help is not available: the help file %1 holds no help pages.")
                      .arg(Quoted(collection.absoluteFilePath()));
    } else {
        // The pages themselves are in the .qch files the collection names.
        for (const QString& name : engine->registeredDocumentations()) {
            const QFileInfo pages(engine->documentationFileName(name));
            if (!pages.isFile() || !pages.isReadable()) {
                problem =
                    QStringLiteral("Help is not available: the help file %1 could not be found.")
                        .arg(Quoted(pages.absoluteFilePath()));
                break;
            }
        }
    }
    if (!problem.isEmpty()) {
        delete engine;
        showProblem(problem);
        return false;
    }

    m_engine = engine;
    m_browser->setHelpEngine(m_engine);
    m_browser->clear();
    buildNavigation(!searchable.isEmpty(), cacheFolder);
    return true;
}

void HelpWindow::buildNavigation(bool searchable, const QString& cacheFolder) {
    QHelpContentWidget* contents = m_engine->contentWidget();
    contents->setObjectName(QStringLiteral("helpContents"));
    // One click opens an entry, as in the search results; Enter still does.
    connect(contents, &QHelpContentWidget::linkActivated, m_browser,
            [this](const QUrl& url) { m_browser->setSource(url); });
    connect(contents, &QAbstractItemView::clicked, m_browser, [this](const QModelIndex& index) {
        if (const QHelpContentItem* item = m_engine->contentModel()->contentItemAt(index))
            m_browser->setSource(item->url());
    });
    connect(m_engine->contentModel(), &QHelpContentModel::contentsCreated, contents,
            [this, contents] {
                contents->expandToDepth(1);
                followContents(m_browser->source());
            });

    auto* indexPage = new QWidget;
    auto* indexFilter = new QLineEdit;
    indexFilter->setObjectName(QStringLiteral("txtIndexFilter"));
    indexFilter->setPlaceholderText(QStringLiteral("Type the word to look for"));
    QHelpIndexWidget* index = m_engine->indexWidget();
    index->setObjectName(QStringLiteral("helpIndex"));
    auto* indexLayout = new QVBoxLayout(indexPage);
    indexLayout->addWidget(indexFilter);
    indexLayout->addWidget(index, 1);
    connect(indexFilter, &QLineEdit::textChanged, index,
            [index](const QString& text) { index->filterIndices(text); });
    connect(indexFilter, &QLineEdit::returnPressed, index, &QHelpIndexWidget::activateCurrentItem);
    connect(
        index, &QHelpIndexWidget::documentActivated, m_browser,
        [this](const QHelpLink& document, const QString&) { m_browser->setSource(document.url); });
    // A word listed on several pages opens the first of them.
    connect(index, &QHelpIndexWidget::documentsActivated, m_browser,
            [this](const QList<QHelpLink>& documents, const QString&) {
                if (!documents.isEmpty())
                    m_browser->setSource(documents.first().url);
            });

    auto* searchPage = new QWidget;
    auto* searchLayout = new QVBoxLayout(searchPage);
    if (searchable) {
        QHelpSearchEngine* search = m_engine->searchEngine();
        search->queryWidget()->setObjectName(QStringLiteral("helpSearchQuery"));
        search->resultWidget()->setObjectName(QStringLiteral("helpSearchResults"));
        searchLayout->addWidget(search->queryWidget());
        searchLayout->addWidget(search->resultWidget(), 1);
        connect(search->queryWidget(), &QHelpSearchQueryWidget::search, search,
                [search] { search->search(search->queryWidget()->searchInput()); });
        connect(search->resultWidget(), &QHelpSearchResultWidget::requestShowLink, m_browser,
                [this](const QUrl& url) { m_browser->setSource(url); });
        // Built afresh in the background, since the pages may have changed since the
        // last run; a search before it is ready finds nothing.
        search->reindexDocumentation();
    } else {
        // Without an index the rest of help still works. One short line, so the
        // tab stays narrow; the folder is named on hovering it.
        auto* unavailable = new QLabel(
            QStringLiteral("Search is unavailable: the cache folder cannot be written."));
        unavailable->setObjectName(QStringLiteral("lblSearchUnavailable"));
        unavailable->setTextFormat(Qt::PlainText);
        unavailable->setToolTip(QDir::toNativeSeparators(cacheFolder));
        searchLayout->addWidget(unavailable);
        searchLayout->addStretch();
    }

    m_tabs->addTab(contents, QStringLiteral("Contents"));
    m_tabs->addTab(indexPage, QStringLiteral("Index"));
    m_tabs->addTab(searchPage, QStringLiteral("Search"));
    // Typing on the Index tab filters at once, wherever the focus was before.
    connect(m_tabs, &QTabWidget::currentChanged, indexFilter, [this, indexPage, indexFilter] {
        if (m_tabs->currentWidget() == indexPage)
            indexFilter->setFocus(Qt::TabFocusReason);
    });
    m_tabs->setEnabled(true);
    m_home->setEnabled(true);
}

void HelpWindow::showContents() {
    if (m_engine)
        m_tabs->setCurrentIndex(0);
    showIdentifier(QStringLiteral("varneldh.contents"),
                   QStringLiteral("The contents page is missing from the help file."));
}

void HelpWindow::showTopic(int contextId) {
    showIdentifier(QStringLiteral("varneldh.topic.%1").arg(contextId),
                   QStringLiteral("Help topic %1 is not in the help file.").arg(contextId));
}

void HelpWindow::showIdentifier(const QString& identifier, const QString& notFound) {
    if (m_engine) {
        const QList<QHelpLink> documents = m_engine->documentsForIdentifier(identifier);
        if (documents.isEmpty())
            m_browser->setHtml(QStringLiteral("<p>%1</p>").arg(notFound.toHtmlEscaped()));
        else
            m_browser->setSource(documents.first().url);
    }
    // Without a collection the page keeps saying why.
    bringForward();
}

void HelpWindow::showProblem(const QString& sentence) {
    m_browser->setHtml(QStringLiteral("<p>%1</p>").arg(sentence.toHtmlEscaped()));
}

void HelpWindow::bringForward() {
    if (isMinimized())
        showNormal();
    show();
    raise();
    activateWindow();
}

void HelpWindow::followContents(const QUrl& url) {
    if (!m_engine || !url.isValid())
        return;
    QHelpContentWidget* contents = m_engine->contentWidget();
    const QModelIndex item = contents->indexOf(url);
    if (item.isValid())
        contents->setCurrentIndex(item);
}
