#pragma once

#include <QString>

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
