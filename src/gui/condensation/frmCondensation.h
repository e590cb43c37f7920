#pragma once

#include "core/condensation/Condensation.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class frmCondensation;
}
class QLineEdit;

// "Condensation Check": the inside surface temperature of the glazing, walls and
// roof on a design winter day against the dew point of the room air of its
// calculation screen's last completed run. Closing destroys it.
class frmCondensation : public QWidget {
    Q_OBJECT
    Q_CLASSINFO("accessibleRole", "Dialog")

public:
    explicit frmCondensation(QWidget* parent);
    ~frmCondensation() override;

    // The room air of the screen's last completed run, or none yet. Once a
    // check has been made, it is made again for the new air.
    void Follow(const std::optional<Condensation::RoomAir>& room);

    QLineEdit* Field(const QString& name) const;

private:
    void cmdCheck_Click();
    void ShowChecks();

    std::unique_ptr<Ui::frmCondensation> m_ui;
    std::optional<Condensation::RoomAir> m_room;
    // The entries of the last check that passed.
    std::optional<Condensation::Inputs> m_inputs;
};

// Opens the check over a calculation screen, or brings its open one forward:
// one per screen. `made` is called once with a new window, to make it follow the
// screen's results.
frmCondensation* ShowCondensationCheck(QWidget* screen,
                                       const std::function<void(frmCondensation*)>& made);
