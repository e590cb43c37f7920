#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class frmSplash;
}
class QTimer;

// The start-up screen: logo, product and version, and a progress bar that fills
// in about two seconds. When it is full, or at the first mouse click, the splash
// hands over: the start-up defaults are written, the splash goes away and the
// mode-selection screen is shown. It does that once, whatever happens after.
class frmSplash : public QWidget {
    Q_OBJECT

public:
    // writeDefaults writes the start-up texts of the building-zone screen;
    // showMain shows the mode-selection screen. showMain runs only once this
    // splash has been destroyed. Both timers start here.
    frmSplash(std::function<void()> writeDefaults, std::function<void()> showMain,
              QWidget* parent = nullptr);
    // The same with one step that does both: it runs first, then the splash
    // closes and is destroyed.
    explicit frmSplash(std::function<void()> finish, QWidget* parent = nullptr);
    ~frmSplash() override;

    // One tick of Timer2 (20 ms): one step of progress, or the hand-over once
    // the bar has been full for a tick.
    void Timer2_Timer();
    // One tick of Timer1 (500 ms): "Loading..." blinks.
    void Timer1_Timer();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // The hand-over; later calls do nothing.
    void Finish();

    std::unique_ptr<Ui::frmSplash> m_ui;
    QTimer* Timer1;
    QTimer* Timer2;
    std::function<void()> m_writeDefaults;
    std::function<void()> m_showMain;
    bool m_finished = false;
};
