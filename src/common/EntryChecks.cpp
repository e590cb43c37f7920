#include "common/EntryChecks.h"

#include <cmath>
#include <string>

namespace EntryChecks {

std::optional<Refusal> RefuseOutOfScale(const std::vector<Entry>& entries,
                                        std::string_view pressureField, double pressure) {
    for (const Entry& e : entries) {
        // Also true for infinities; NaN never comes out of reading a number.
        if (!(std::fabs(e.value) < kTooLarge)) {
            return Refusal{std::string(e.field), std::string(kTooLargeMessage)};
        }
    }
    if (pressure < kLowestPressure || pressure > kHighestPressure) {
        return Refusal{std::string(pressureField), std::string(kPressureMessage)};
    }
    return std::nullopt;
}

} // namespace EntryChecks
