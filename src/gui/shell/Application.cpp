#include "gui/shell/Application.h"

#include "gui/common/MessageBox.h"
#include "gui/common/Resources.h"
#include "gui/common/ScreenHelpers.h"
#include "gui/common/WindowPlacement.h"
#include "gui/condensation/frmCondensation.h"
#include "gui/help/Misc.h"
#include "gui/pool/frmEvapMethods.h"
#include "gui/pool/frmMethod2.h"
#include "gui/project/Projects.h"
#include "gui/project/frmProject.h"
#include "gui/report/ProjectReportLinks.h"
#include "gui/shell/AppInfo.h"
#include "gui/shell/Menus.h"
#include "gui/shell/PrintWindow.h"
#include "gui/shell/ReportLinks.h"
#include "gui/shell/Screens.h"
#include "gui/shell/StartupDefaults.h"
#include "gui/shell/frmAbout.h"
#include "gui/shell/frmMain.h"
#include "gui/shell/frmSplash.h"
#include "gui/shell/frmpassword.h"
#include "gui/zone/frmMethod1.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QIcon>

#include <QLineEdit>
#include <cstdio>
#include <optional>
#include <utility>

namespace {

// The condensation check over a calculation screen follows that screen's runs,
// and keeps its entries in `kept`.
template <typename Screen> void OpenCondensationCheck(Screen* screen, Condensation::Texts& kept) {
    ShowCondensationCheck(screen, [screen, &kept](frmCondensation* window) {
        window->SetEntryTexts(kept);
        QObject::connect(window, &frmCondensation::entriesChanged, window,
                         [window, &kept] { kept = window->EntryTexts(); });
        window->Follow(RoomAirOf(screen->LastRun()));
        QObject::connect(screen, &Screen::lastRunChanged, window,
                         [window, screen] { window->Follow(RoomAirOf(screen->LastRun())); });
    });
}

} // namespace

Application::Application()
    : m_screens(std::make_unique<Screens>([this](QMainWindow* screen) { GiveMenus(screen); })),
      m_chooseProject(&Projects::ChooseInDialog) {
    InitUiResources();
    QCoreApplication::setApplicationName(QStringLiteral("varneldh"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNELDH_VERSION));
    // Not the display name: Qt would append it to every window's caption.
    QGuiApplication::setDesktopFileName(QStringLiteral(VARNELDH_APP_ID));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/images/app-icon.svg")));
    // The program ends only through Exit or a user's close request, never
    // because its last window went away (the splash is one such moment).
    QGuiApplication::setQuitOnLastWindowClosed(false);
}

const char* Application::MissingDisplay() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        return "no display to show the windows on";
    }
#endif
    return nullptr;
}

int Application::SayMissingDisplay(const char* reason) {
    std::fprintf(stderr,
                 "varneldh: %s; start it from a desktop session, or try: xvfb-run -a varneldh\n",
                 reason);
    return 1;
}

Application::~Application() {
    // A splash still loading goes with the program that started it; its steps
    // would otherwise reach screens that are gone.
    delete m_splash;
    // Before the screens its rooms are linked to.
    delete m_project;
}

void Application::Exit() {
    QCoreApplication::exit(0);
}

void Application::Quit() {
    if (m_project && !m_project->AskToKeepChanges()) {
        return;
    }
    Exit();
}

void Application::Start(const QString& jobFile) {
    m_startJob = jobFile;
    // The main screen is shown from the event loop after the splash has gone,
    // by then this program may have gone too.
    const QPointer<Application> self(this);
    m_splash = new frmSplash([this] { WriteStartupDefaults(); },
                             [self] {
                                 if (self) {
                                     self->ShowMainScreen();
                                 }
                             });
    m_splash->show();
}

void Application::WriteStartupDefaults() {
    frmMethod1* zone = m_screens->Zone();
    Misc::SetStartupDefaults([zone](std::string ZoneTexts::*entry, const QString& text) {
        zone->SetEntryText(entry, text);
    });
}

void Application::ShowMainScreen() {
    m_main = std::make_unique<frmMain>();
    GiveMenus(m_main.get());
    connect(m_main.get(), &frmMain::zoneRequested, this, [this] {
        frmMethod1* zone = m_screens->Zone();
        zone->show();
        zone->raise();
        zone->activateWindow();
    });
    connect(m_main.get(), &frmMain::poolRequested, this,
            [this] { m_screens->Pool()->ShowStandalone(); });
    m_main->show();
    if (!m_startJob.isEmpty()) {
        const QString file = std::exchange(m_startJob, QString());
        if (Projects::IsProjectPath(file)) {
            OpenProjectFile(file, m_main.get());
        } else {
            OpenJobFile(file, m_main.get());
        }
    }
}

void Application::OpenJobFile(const QString& path, QWidget* messageParent) {
    m_lastJob = path;
    if (const auto job = Jobs::Open(messageParent, path)) {
        m_screens->OpenJob(*job);
    }
}

frmProject* Application::ProjectWindow() const {
    return m_project.data();
}

frmProject* Application::MakeProjectWindow() {
    if (m_project) {
        return m_project;
    }
    auto* window = new frmProject(
        [this](QWidget* parent, bool forSaving, const QString& suggested) {
            const QString path = m_chooseProject(parent, forSaving, suggested);
            if (!path.isEmpty()) {
                m_lastProject = path;
            }
            return path;
        },
        m_main.get());
    m_project = window;
    Screens* screens = m_screens.get();
    connect(window, &frmProject::newProjectRequested, this, &Application::NewProject);
    connect(window, &frmProject::openProjectRequested, this,
            [this, window] { ChooseAndOpenProject(window); });
    connect(window, &frmProject::reportRequested, this,
            [window] { OpenProjectReport(window, window->CurrentProject(), window->FilePath()); });
    connect(window, &frmProject::roomOpenRequested, this,
            [window, screens](frmProject::RoomId room, const QString& name, const Job& job) {
                if (const auto problem = Jobs::PressureProblem(job)) {
                    ShowMessage(
                        window,
                        QStringLiteral("The room \"%1\" %2.").arg(name, ToQString(*problem)));
                    return;
                }
                screens->OpenRoom(room, name, job);
            });
    connect(window, &frmProject::roomRenamed, screens, &Screens::RenameRoom);
    connect(window, &frmProject::roomJobReplaced, screens, &Screens::ReplaceRoomJob);
    connect(window, &frmProject::roomReleased, screens, &Screens::ReleaseRoom);
    connect(window, &frmProject::allRoomsReleased, screens, &Screens::ReleaseRooms);
    connect(screens, &Screens::roomEntriesChanged, window, &frmProject::TakeRoomJob);
    PlaceOnScreen(window);
    return window;
}

void Application::ShowProjectWindow() {
    m_project->show();
    m_project->raise();
    m_project->activateWindow();
}

void Application::NewProject() {
    if (m_project && !m_project->AskToKeepChanges()) {
        return;
    }
    MakeProjectWindow()->SetProject(Project{}, QString());
    ShowProjectWindow();
}

void Application::ChooseAndOpenProject(QWidget* from) {
    const QString path = m_chooseProject(from, false, m_lastProject);
    if (!path.isEmpty()) {
        OpenProjectFile(path, from);
    }
}

void Application::OpenProjectFile(const QString& path, QWidget* messageParent) {
    m_lastProject = path;
    // Read first: a file refused asks nothing and changes nothing.
    std::optional<Project> project = Projects::Open(messageParent, path);
    if (!project || (m_project && !m_project->AskToKeepChanges())) {
        return;
    }
    MakeProjectWindow()->SetProject(std::move(*project), path);
    ShowProjectWindow();
}

void Application::SaveJobFrom(QMainWindow* screen) {
    const QString path = m_chooseFile(screen, true, m_lastJob);
    if (path.isEmpty()) {
        return;
    }
    m_lastJob = path;
    Jobs::Save(screen, path, m_screens->JobOf(screen));
}

void Application::GiveMenus(QMainWindow* screen) {
    const QSize client = screen->size();
    MenuHandlers handlers;
    handlers.exit = [this] { Quit(); };
    handlers.newProject = [this] { NewProject(); };
    handlers.openProject = [this, screen] { ChooseAndOpenProject(screen); };
    handlers.saveProject = [this] {
        if (m_project) {
            m_project->Save();
        }
    };
    handlers.saveProjectAs = [this] {
        if (m_project) {
            m_project->SaveAs();
        }
    };
    handlers.projectOpen = [this] { return !m_project.isNull(); };
    handlers.help = [] { Misc::ShowHelpContents(); };
    handlers.about = [screen] { ShowAbout(screen); };
    handlers.print = [screen] { PrintWindow(screen); };
    handlers.password = [this, screen] {
        ShowPassword([this] { m_screens->RevealDetails(); }, screen);
    };
    MenuKind kind = MenuKind::Main;
    if (auto* zone = qobject_cast<frmMethod1*>(screen)) {
        kind = MenuKind::Zone;
        handlers.report = [this, zone] {
            OpenReport(zone, [this, zone] { return m_screens->JobOf(zone).title; });
        };
        handlers.chart = [zone] { OpenChart(zone); };
        handlers.year = [zone] { OpenYear(zone); };
        handlers.condensationCheck = [this, zone] {
            OpenCondensationCheck(zone, CheckEntries(zone));
        };
    } else if (auto* pool = qobject_cast<frmMethod2*>(screen)) {
        kind = MenuKind::Pool;
        handlers.evaporationMethods = [pool] { ShowEvaporationMethods(pool); };
        handlers.condensationCheck = [this, pool] {
            OpenCondensationCheck(pool, CheckEntries(pool));
        };
        handlers.report = [this, pool] {
            OpenReport(pool, [this, pool] { return m_screens->JobOf(pool).title; });
        };
        handlers.chart = [pool] { OpenChart(pool); };
    }
    if (kind != MenuKind::Main) {
        handlers.openJob = [this, screen] {
            const QString path = m_chooseFile(screen, false, m_lastJob);
            if (!path.isEmpty()) {
                OpenJobFile(path, screen);
            }
        };
        handlers.saveJob = [this, screen] { SaveJobFrom(screen); };
    }
    InstallMenus(screen, kind, handlers);
    SetClientSize(screen, client.width(), client.height());
    if (kind == MenuKind::Main) {
        // A fixed single border: nothing to gain from a larger mode selection.
        screen->setFixedSize(screen->size());
    }
    CentreOnScreen(screen);
    InstallCloseRule(screen, [this] { Quit(); });
}

Condensation::Texts& Application::CheckEntries(const QObject* screen) {
    return m_checkEntries.try_emplace(screen, Condensation::InitialTexts()).first->second;
}

frmSplash* Application::Splash() const {
    return m_splash.data();
}
