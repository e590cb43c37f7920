#pragma once

#include "common/CalcResult.h"

#include <optional>
#include <string_view>
#include <utility>
#include <vector>

// Checks that both calculations run before their own chain: numbers too large
// for the arithmetic, and a barometric pressure it cannot work with.
namespace EntryChecks {

inline constexpr double kTooLarge = 1e15;
inline constexpr double kLowestPressure = 50;   // kPa
inline constexpr double kHighestPressure = 110; // kPa

inline constexpr std::string_view kTooLargeMessage =
    "The value entered is too large - please enter a valid value.";
inline constexpr std::string_view kPressureMessage =
    "Barometric pressure out of range - please enter a value between 50 kPa and 110 kPa.";

struct Entry {
    std::string_view field;
    double value;
};

// The first entry (in the order given) of magnitude 1e15 or more, else a pressure
// outside 50 to 110 kPa, refused; or nothing.
std::optional<Refusal> RefuseOutOfScale(const std::vector<Entry>& entries,
                                        std::string_view pressureField, double pressure);

} // namespace EntryChecks
