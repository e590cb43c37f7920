#pragma once

#include "core/condensation/Condensation.h"
#include "gui/shell/Jobs.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <memory>

class QMainWindow;
class QWidget;
class Screens;
class frmMain;
class frmProject;
class frmSplash;

// The whole program: the splash, the mode-selection screen, the two calculation
// screens and the commands their menus share.
class Application : public QObject {
    Q_OBJECT

public:
    // Sets up what the whole run shares (pictures, icon, names); a
    // QApplication must exist.
    Application();
    ~Application() override;

    // Shows the splash; it hands over to the mode-selection screen, and then the
    // job or project file named on the command line, if any, opens: a job on its
    // screen, a project (by its suffix) in the project window.
    void Start(const QString& jobFile = {});

    // File > Open Job... and Save Job As... ask this for the file; the file
    // dialogs unless told otherwise.
    void SetFileChooser(Jobs::FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // Open Project... and Save Project As... ask this for the file.
    void SetProjectFileChooser(Jobs::FileChooser chooser) { m_chooseProject = std::move(chooser); }

    // Opens a job file on its own screen; a file refused leaves every screen as it was.
    void OpenJobFile(const QString& path, QWidget* messageParent);

    // Opens a project in the project window, once any unsaved changes of the one
    // open there are saved or discarded; a file refused changes nothing.
    void OpenProjectFile(const QString& path, QWidget* messageParent);
    // File > New Project...: an empty project, after the same question.
    void NewProject();
    // The project window, or null when none is open.
    frmProject* ProjectWindow() const;

    // File > Exit and the working screens' close control: ends the program once
    // the open project's unsaved changes are saved or discarded.
    void Quit();

    Screens& screens() { return *m_screens; }
    frmMain* MainScreen() const { return m_main.get(); }
    frmSplash* Splash() const;

    // Ends the program at once: nothing is asked, nothing saved.
    static void Exit();

    // Why no window can be shown here (no display to show it on), or null.
    static const char* MissingDisplay();
    // Says so in one line on the error output; returns the exit status.
    static int SayMissingDisplay(const char* reason);

private:
    // The splash's hand-over: the defaults first, the main screen once the
    // splash is gone.
    void WriteStartupDefaults();
    void ShowMainScreen();
    void GiveMenus(QMainWindow* screen);
    void SaveJobFrom(QMainWindow* screen);
    void ChooseAndOpenProject(QWidget* from);
    frmProject* MakeProjectWindow();
    void ShowProjectWindow();
    Condensation::Texts& CheckEntries(const QObject* screen);

    // The entries of each screen's condensation check, kept from one opening of
    // the check to the next; they outlive the screens and their windows.
    std::map<const QObject*, Condensation::Texts> m_checkEntries;
    std::unique_ptr<Screens> m_screens;
    std::unique_ptr<frmMain> m_main;
    QPointer<frmSplash> m_splash;
    Jobs::FileChooser m_chooseFile = &Jobs::ChooseInDialog;
    QString m_startJob;
    QString m_lastJob; // offered by the next dialog
    Jobs::FileChooser m_chooseProject;
    QString m_lastProject;
    QPointer<frmProject> m_project;
};
