#pragma once

#include "core/condensation/Condensation.h"
#include "core/report/CalcReport.h"

#include <QString>

#include <optional>

// What passes between the two calculation screens. Neither screen knows the
// other: the program connects their signals to each other's typed calls.

// "Continue..." on the pool screen: the texts it hands to the building-zone
// screen, as they stand.
struct PoolEstimate {
    QString poolGain;  // the pool evaporation, litres/day
    QString zoneTemp;  // the room air temperature
    QString zoneRh;    // the room relative humidity
    QString occupancy; // everyone in the hall
    QString activity;  // their activity
};

// The room air a run worked with.
inline std::optional<Condensation::RoomAir>
RoomAirOf(const std::optional<CalcReport::PoolRun>& run) {
    if (!run) {
        return std::nullopt;
    }
    return Condensation::RoomAir{run->inputs.roomTemp, run->inputs.roomRh,
                                 run->result.numbers.roomAir.DP};
}

inline std::optional<Condensation::RoomAir>
RoomAirOf(const std::optional<CalcReport::ZoneRun>& run) {
    if (!run) {
        return std::nullopt;
    }
    return Condensation::RoomAir{run->inputs.zoneTemp, run->inputs.zoneRh,
                                 run->result.numbers.zoneAir.DP};
}
