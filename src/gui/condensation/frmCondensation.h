#pragma once

#include "core/condensation/Condensation.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

namespace Ui {
class frmCondensation;
}
class QKeyEvent;
class QLineEdit;

// "Condensation Check": the inside surface temperature of the glazing, walls and
// roof on a design winter day against the dew point of the room air of its
// calculation screen's last completed run. Closing destroys it; its opener
// keeps the entries for the next opening.
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

    // The entry texts as they stand, and written as typing would.
    Condensation::Texts EntryTexts() const;
    void SetEntryTexts(const Condensation::Texts& texts);

signals:
    // An entry's text has changed.
    void entriesChanged();

protected:
    // Enter checks, as Check does; Escape closes.
    void keyPressEvent(QKeyEvent* event) override;

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
