#pragma once

#include "core/pool/EvaporationMethods.h"
#include "gui/common/ScreenLinks.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace Ui {
class frmEvapMethods;
}
class QKeyEvent;
class frmMethod2;

// "Evaporation Methods": the pool's evaporation by the published methods beside
// the program's own figure, for the pool screen's last completed run and the
// VDI 2089-1 pool type chosen here. Closing destroys it.
class frmEvapMethods : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Dialog")

public:
    explicit frmEvapMethods(QWidget* parent);
    ~frmEvapMethods() override;

    // Shows the figures of this run, or says there is none yet.
    void Follow(const std::optional<CalcReport::PoolRun>& run);

    // The VDI 2089-1 pool type chosen here.
    EvaporationMethods::PoolType ChosenPoolType() const;

signals:
    void poolTypeChosen();

protected:
    // Escape closes.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void cmbPoolType_Change();
    void ShowFigures();

    std::unique_ptr<Ui::frmEvapMethods> m_ui;
    std::optional<CalcReport::PoolRun> m_run;
};

// Opens the window over the pool screen following its results, or brings the
// open one forward: there is never more than one.
frmEvapMethods* ShowEvaporationMethods(frmMethod2* pool);

// The pool type chosen in the pool screen's Evaporation Methods window while it
// is open; the one the window starts with otherwise.
EvaporationMethods::PoolType EvaporationPoolType(const frmMethod2* pool);
