#pragma once

#include <QTextBrowser>
#include <QWidget>

class QHelpEngine;
class QLabel;
class QPushButton;
class QTabWidget;

// Shows the pages of a help collection: "qthelp://" addresses are read from the
// collection, other web addresses go to the desktop's browser.
class HelpBrowser : public QTextBrowser {
    Q_OBJECT

public:
    explicit HelpBrowser(QWidget* parent = nullptr);

    void setHelpEngine(QHelpEngine* engine) { m_engine = engine; }
    QVariant loadResource(int type, const QUrl& name) override;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override;

private:
    QHelpEngine* m_engine = nullptr;
};

// The help viewer: its own top-level window with Contents, Index and Search
// beside the page, and Back and Forward. Closing it only hides it. When the help
// collection cannot be opened, the page says so instead, naming the file. The
// collection is only read; search keeps its index in the user's cache folder.
class HelpWindow : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Window")

public:
    explicit HelpWindow(const QString& collectionFile, QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Opens the collection if none is open yet (an earlier attempt may have
    // failed because the files were missing). True when it is open.
    bool openCollection(const QString& collectionFile);
    bool isHelpAvailable() const { return m_engine != nullptr; }

    // The opening page with the Contents tab in front.
    void showContents();
    // The page of a numbered help topic.
    void showTopic(int contextId);

private:
    // Search needs its index in the cache folder; when that folder cannot be
    // written (not searchable), the Search tab says so instead.
    void buildNavigation(bool searchable, const QString& cacheFolder);
    void showIdentifier(const QString& identifier, const QString& notFound);
    void showProblem(const QString& sentence);
    void bringForward();
    void followContents(const QUrl& url);

    QHelpEngine* m_engine = nullptr;
    QTabWidget* m_tabs = nullptr;
    HelpBrowser* m_browser = nullptr;
    QPushButton* m_back = nullptr;
    QPushButton* m_forward = nullptr;
    QPushButton* m_home = nullptr;
};
