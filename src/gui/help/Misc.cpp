#include "gui/help/Misc.h"

#include "gui/help/HelpWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QStandardPaths>

namespace Misc {

namespace {

// The one help window of the run, created on first use.
HelpWindow* Viewer() {
    static QPointer<HelpWindow> window;
    const QString collection = HelpCollectionPath();
    if (!window) {
        window = new HelpWindow(collection);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, window, &QObject::deleteLater);
    } else if (!window->isHelpAvailable()) {
        // The files may have been put in place since the last request.
        window->openCollection(collection);
    }
    return window;
}

} // namespace

QString HelpCollectionPath() {
    const QString overridden = qEnvironmentVariable("VARNELDH_HELP_COLLECTION");
    if (!overridden.isEmpty())
        return overridden;

    const QString name = QStringLiteral("varneldh.qhc");
    const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(name);
    if (QFileInfo::exists(beside))
        return beside;
    QString found = QStandardPaths::locate(QStandardPaths::AppDataLocation, name);
    if (found.isEmpty())
        found = QStandardPaths::locate(QStandardPaths::GenericDataLocation,
                                       QStringLiteral("varneldh/") + name);
    return found.isEmpty() ? beside : found;
}

void ShowHelpContents() {
    Viewer()->showContents();
}

void ShowHelpTopic(int N) {
    Viewer()->showTopic(N);
}

} // namespace Misc
