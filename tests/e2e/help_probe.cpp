// Where the program, as installed, finds its help: the program's own lookup and
// help window, run against a staged install (see InstalledLayout.cmake).
// Prints the collection it chose and the topic it showed; fails when the help
// window cannot open the collection or topic 1.

#include "gui/shell/Application.h"
#include "gui/help/HelpWindow.h"
#include "gui/help/Misc.h"

#include <QApplication>
#include <QTextBrowser>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    // The program's names decide which data folders the lookup searches.
    Application program;

    const QString collection = Misc::HelpCollectionPath();
    std::printf("collection: %s\n", qPrintable(collection));

    HelpWindow window(collection);
    auto* browser = window.findChild<QTextBrowser*>(QStringLiteral("helpBrowser"));
    if (!window.isHelpAvailable() || !browser) {
        std::printf("help unavailable: %s\n",
                    browser ? qPrintable(browser->toPlainText()) : "no browser");
        return 1;
    }
    window.showTopic(1);
    const QString page = browser->source().toString();
    std::printf("topic 1: %s\n", qPrintable(page));
    if (page.isEmpty() || browser->toPlainText().trimmed().isEmpty()) {
        std::printf("topic 1 shows nothing: %s\n", qPrintable(browser->toPlainText()));
        return 1;
    }
    return 0;
}
