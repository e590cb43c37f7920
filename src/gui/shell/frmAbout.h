#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class frmAbout;
}

// The About box: product, version, the maker's details and the disclaimer, and a
// button that starts the platform's system-information tool. Non-modal; OK,
// Enter, Escape or the close box close and destroy it.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* parent = nullptr);
    ~frmAbout() override;

    // Starts the system-information program, or says it is unavailable; the box
    // stays open either way.
    void StartSysInfo();

private:
    void cmdSysInfo_Click();

    std::unique_ptr<Ui::frmAbout> ui;
};

// Shows the About box, creating it centred on the screen if it is not open, or
// bringing the open one forward.
void ShowAbout(QWidget* parent);
