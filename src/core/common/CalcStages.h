#pragma once

#include "core/common/CalcResult.h"
#include "core/common/Fields.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/units/DehumUnits.h"

#include <span>
#include <string_view>

// The stages both calculations go through, with the points where the pool's
// run deliberately differs from the zone's given as parameters.
namespace CalcStages {

inline constexpr std::string_view kEnvelopeMessage =
    "Operating conditions out of range for dehumidification units. Please enter alternative "
    "desired zone temperature and RH or contact Varnel for further advice";
inline constexpr std::string_view kRatesMessage =
    "Operating conditions out of range for HX units. Please enter alternative desired zone "
    "temperature and RH or contact Varnel for further advice";

// Adds field texts to a result in the order they are written.
class Writer {
public:
    // Room for every result field of either calculation, so that writing them
    // does not regrow the list.
    explicit Writer(CalcResult& result) : m_result(result) { m_result.fieldTexts.reserve(32); }

    void Write(const ResultSpec& field, double value);
    void WriteText(const ResultSpec& field, std::string text);
    // Ends the run: the message, the field to focus (none when empty) and the
    // fields emptied once the message has been answered.
    void Reject(Outcome outcome, std::string_view message, std::string_view focus,
                std::span<const ResultSpec* const> emptied);

private:
    CalcResult& m_result;
};

// One column of the detail grid: the six properties of an air state.
struct AirColumn {
    const ResultSpec& pws;
    const ResultSpec& pw;
    const ResultSpec& W;
    const ResultSpec& v;
    const ResultSpec& d;
    const ResultSpec& h;
};

void WriteAirState(Writer& out, const AirColumn& column, const Psychrometrics::AirState& air);

// The room air's wet bulb and its place in the units' envelope.
struct WetBulbFields {
    const ResultSpec& iterations;
    const ResultSpec& wetBulb;
};

// Searches the wet bulb of the room air and writes its pass count and value (no
// value when the search did not settle). True when the units can work there.
bool WetBulbInsideEnvelope(Writer& out, const WetBulbFields& fields, double pressureKPa,
                           double roomTemp, const Psychrometrics::AirState& room,
                           Psychrometrics::WetBulb& wetBulb);

struct CountFields {
    const ResultSpec& count100;
    const ResultSpec& count160;
    const ResultSpec& count200;
    const ResultSpec& rate100;
    const ResultSpec& rate160;
    const ResultSpec& rate200;
};

// How a calculation writes its unit counts.
struct CountRule {
    // The pool writes counts from any non-zero rates before it refuses a
    // negative one; the zone writes them only from usable rates.
    bool countsBeforeRateCheck = false;
    // Counts are written as "0" when this load is not positive: the zone's
    // total gain, the pool's evaporation alone.
    double zeroCountsUnlessPositive = 0;
};

// The removal rates at the room's condition and the number of units of each
// size for the total load; a rate that cannot be divided by rejects the run and
// empties the counts once its message has been answered.
Dehum_Units::UnitCounts WriteUnitCounts(Writer& out, const CountFields& fields,
                                        const CountRule& rule, double totalLoad, double wetBulb,
                                        double roomRh, double roomTemp);

} // namespace CalcStages
