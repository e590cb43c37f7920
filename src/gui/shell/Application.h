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
    // job file named on the command line, if any, opens on its screen.
    void Start(const QString& jobFile = {});

    // File > Open Job... and Save Job As... ask this for the file; the file
    // dialogs unless told otherwise.
    void SetFileChooser(Jobs::FileChooser chooser) { m_chooseFile = std::move(chooser); }

    // Opens a job file on its own screen; a file refused leaves every screen as it was.
    void OpenJobFile(const QString& path, QWidget* messageParent);

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
};
