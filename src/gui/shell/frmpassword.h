#pragma once

#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class frmpassword;
}

// The lock of the calculation screens' detail panels. The right password runs
// the reveal step and closes the screen; a wrong one says so and gives the
// field back with its text selected. Cancel closes it. Enter presses only a
// focused button; Escape presses nothing.
class frmpassword : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Dialog")

public:
    explicit frmpassword(std::function<void()> reveal, QWidget* parent = nullptr);
    ~frmpassword() override;

    // Whether the text is the stored password: same length, same characters in
    // the same order, case and blanks included.
    static bool IsPassword(const QString& text);

private:
    void cmdOK_Click();
    void cmdClose_Click();

    std::unique_ptr<Ui::frmpassword> m_ui;
    std::function<void()> m_reveal;
};

// Shows the password screen, creating it centred on the screen if it is not
// open, or bringing the open one forward.
void ShowPassword(std::function<void()> reveal, QWidget* parent = nullptr);
