#pragma once

#include <QMainWindow>

#include <memory>

namespace Ui {
class frmMain;
}

// The mode-selection screen the user works from: it opens either calculation.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

signals:
    void zoneRequested();
    void poolRequested();

private:
    std::unique_ptr<Ui::frmMain> m_ui;
};
