#pragma once

#include "core/common/CalcResult.h"
#include "core/common/Fields.h"
#include "core/common/NumberText.h"

#include <cmath>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// What both calculations do with their entry texts before their own chain:
// read them, and refuse numbers too large for the arithmetic and a barometric
// pressure it cannot work with.
namespace EntryChecks {

inline constexpr double kTooLarge = 1e15;
inline constexpr double kLowestPressure = 50;   // kPa
inline constexpr double kHighestPressure = 110; // kPa

inline constexpr std::string_view kTooLargeMessage =
    "The value entered is too large - please enter a valid value.";
inline constexpr std::string_view kPressureMessage =
    "Barometric pressure out of range - please enter a value between 50 kPa and 110 kPa.";

// Every numeric entry of the table read from its text.
template <typename Texts, typename Inputs>
Inputs ReadEntries(std::span<const EntrySpec<Texts, Inputs>> table, const Texts& texts) {
    Inputs in;
    for (const auto& entry : table) {
        if (entry.number) {
            in.*entry.number = NumberText::ReadNumber(texts.*entry.text);
        }
    }
    return in;
}

// The first numeric entry in reading order of magnitude 1e15 or more, refused;
// or nothing.
template <typename Texts, typename Inputs>
std::optional<Refusal> RefuseTooLarge(std::span<const EntrySpec<Texts, Inputs>> table,
                                      const Inputs& in) {
    for (const auto& entry : table) {
        // Also true for infinities; NaN never comes out of reading a number.
        if (entry.number && !(std::fabs(in.*entry.number) < kTooLarge)) {
            return Refusal{std::string(entry.name), std::string(kTooLargeMessage)};
        }
    }
    return std::nullopt;
}

// RefuseTooLarge, else a pressure outside 50 to 110 kPa refused; or nothing.
template <typename Texts, typename Inputs>
std::optional<Refusal> RefuseOutOfScale(std::span<const EntrySpec<Texts, Inputs>> table,
                                        const Inputs& in, double Inputs::*pressure) {
    if (auto refusal = RefuseTooLarge(table, in)) {
        return refusal;
    }
    const double p = in.*pressure;
    for (const auto& entry : table) {
        if (entry.number == pressure && (p < kLowestPressure || p > kHighestPressure)) {
            return Refusal{std::string(entry.name), std::string(kPressureMessage)};
        }
    }
    return std::nullopt;
}

} // namespace EntryChecks
