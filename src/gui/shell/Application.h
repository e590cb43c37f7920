#pragma once

#include <QObject>
#include <QPointer>

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

    // Shows the splash; it hands over to the mode-selection screen.
    void Start();

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

    std::unique_ptr<Screens> m_screens;
    std::unique_ptr<frmMain> m_main;
    QPointer<frmSplash> m_splash;
};
