#include "gui/shell/Menus.h"

#include <QAction>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {

// The caption may carry an access letter ("&"): screen readers are given the
// caption without it.
QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                 const std::function<void()>& handler, const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, menu, [handler] { handler(); });
    return action;
}

void AddSeparator(QMenu* menu) {
    menu->addSeparator()->setObjectName(QStringLiteral("mnuSep1"));
}

} // namespace

void InstallMenus(QMainWindow* screen, MenuKind kind, const MenuHandlers& h) {
    auto* bar = new QMenuBar(screen);
    bar->setObjectName(QStringLiteral("menuBar"));
    // Access letters for the menus and the items added since the first
    // version; its own items keep none, as their users know them.
    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    if (h.newProject && h.openProject && h.saveProject && h.saveProjectAs) {
        // Above everything else: a project holds jobs. Ctrl+O and Ctrl+S stay the job's.
        AddItem(file, "mnuNewProject", QStringLiteral("&New Project..."), h.newProject);
        AddItem(file, "mnuOpenProject", QStringLiteral("Open &Project..."), h.openProject);
        QAction* save =
            AddItem(file, "mnuSaveProject", QStringLiteral("Sa&ve Project"), h.saveProject);
        QAction* saveAs = AddItem(file, "mnuSaveProjectAs", QStringLiteral("Save Project &As..."),
                                  h.saveProjectAs);
        file->addSeparator()->setObjectName(QStringLiteral("mnuSepProject"));
        if (h.projectOpen) {
            QObject::connect(file, &QMenu::aboutToShow, file, [save, saveAs, open = h.projectOpen] {
                save->setEnabled(open());
                saveAs->setEnabled(open());
            });
        }
    }
    if (kind != MenuKind::Main && h.openJob && h.saveJob) {
        // Above the screen's own items, which keep their order.
        AddItem(file, "mnuOpenJob", QStringLiteral("&Open Job..."), h.openJob,
                QKeySequence(Qt::CTRL | Qt::Key_O));
        // No plain Save: the job is always saved under a chosen name.
        AddItem(file, "mnuSaveJob", QStringLiteral("&Save Job As..."), h.saveJob,
                QKeySequence(Qt::CTRL | Qt::Key_S));
        file->addSeparator()->setObjectName(QStringLiteral("mnuSepJob"));
    }
    if (kind != MenuKind::Main) {
        AddItem(file, "mnuPrint", QStringLiteral("Print Window"), h.print);
        if (kind == MenuKind::Zone) {
            AddSeparator(file);
        }
    }
    AddItem(file, "mnuExit", QStringLiteral("Exit"), h.exit);

    if (kind != MenuKind::Main) {
        QMenu* additional = bar->addMenu(QStringLiteral("&Additional Info"));
        additional->setObjectName(QStringLiteral("mnuAdditional"));
        AddItem(additional, "mnuPassword", QStringLiteral("Psychrometrics"), h.password);
        if (h.evaporationMethods) {
            AddItem(additional, "mnuEvaporationMethods", QStringLiteral("&Evaporation Methods..."),
                    h.evaporationMethods);
        }
        if (h.condensationCheck) {
            AddItem(additional, "mnuCondensationCheck", QStringLiteral("&Condensation Check..."),
                    h.condensationCheck);
        }
        if (h.report) {
            AddItem(additional, "mnuReport", QStringLiteral("Calculation &Report..."), h.report);
        }
        if (h.chart) {
            AddItem(additional, "mnuChart", QStringLiteral("Psychrometric C&hart..."), h.chart);
        }
        if (h.year) {
            AddItem(additional, "mnuYear", QStringLiteral("A &Year, Hour by Hour..."), h.year);
        }
    }

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QString::fromLatin1(kind == MenuKind::Main ? "mnuHelpMain" : "mnuHelp"));
    const char* helpItem = kind == MenuKind::Main   ? "mnuHelp"
                           : kind == MenuKind::Zone ? "mnuHelpIndex"
                                                    : "mnuHelpContents";
    AddItem(help, helpItem, QStringLiteral("Varnel DH Help"), h.help);
    if (kind != MenuKind::Zone) {
        AddSeparator(help);
    }
    AddItem(help, "mnuAbout", QStringLiteral("About"), h.about);
    screen->setMenuBar(bar);
}
