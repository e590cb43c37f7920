#include "core/common/CalcStages.h"

#include <cmath>
#include <string>

namespace CalcStages {

void Writer::Write(const ResultSpec& field, double value) {
    WriteText(field, FormatResult(field, value));
}

void Writer::WriteText(const ResultSpec& field, std::string text) {
    m_result.fieldTexts.push_back({std::string(field.name), std::move(text)});
}

void Writer::Reject(Outcome outcome, std::string_view message, std::string_view focus,
                    std::span<const ResultSpec* const> emptied) {
    m_result.outcome = outcome;
    m_result.message = std::string(message);
    if (!focus.empty()) {
        m_result.focus = std::string(focus);
    }
    for (const ResultSpec* field : emptied) {
        m_result.afterMessage.push_back({std::string(field->name), {}});
    }
}

void WriteAirState(Writer& out, const AirColumn& column, const Psychrometrics::AirState& air) {
    out.Write(column.pws, air.pws);
    out.Write(column.pw, air.pw);
    out.Write(column.W, air.W);
    out.Write(column.v, air.v);
    out.Write(column.d, air.d);
    out.Write(column.h, air.h);
}

bool WetBulbInsideEnvelope(Writer& out, const WetBulbFields& fields, double pressureKPa,
                           double roomTemp, const Psychrometrics::AirState& room,
                           Psychrometrics::WetBulb& wetBulb) {
    wetBulb = Psychrometrics::WetBulbTemperature(pressureKPa * 1000, roomTemp, room.W);
    // A search that did not settle has no wet bulb worth showing or rating.
    const bool searchFailed = !wetBulb.converged || !std::isfinite(wetBulb.temperature);
    out.Write(fields.iterations, wetBulb.iterations);
    if (searchFailed) {
        out.WriteText(fields.wetBulb, {});
        return false;
    }
    out.Write(fields.wetBulb, wetBulb.temperature);
    return Dehum_Units::InsideEnvelope(wetBulb.temperature);
}

Dehum_Units::UnitCounts WriteUnitCounts(Writer& out, const CountFields& fields,
                                        const CountRule& rule, double totalLoad, double wetBulb,
                                        double roomRh, double roomTemp) {
    Dehum_Units::UnitCounts c;
    c.rate100 = Dehum_Units::UnitMoistureRemoval(wetBulb, roomRh, roomTemp);
    const Dehum_Units::Rates rates = Dehum_Units::RatesFor(c.rate100.value_or(0));
    c.rate160 = rates.r160;
    c.rate200 = rates.r200;
    const bool divisible = c.rate100 && rates.r100 != 0 && rates.r160 != 0 && rates.r200 != 0;
    const bool usable = c.rate100 && rates.AllPositive();
    if (divisible && (usable || rule.countsBeforeRateCheck)) {
        c.count100 = totalLoad / rates.r100;
        c.count160 = totalLoad / rates.r160;
        c.count200 = totalLoad / rates.r200;
    }
    auto writeCounts = [&] {
        out.Write(fields.count100, c.count100);
        out.Write(fields.count160, c.count160);
        out.Write(fields.count200, c.count200);
    };
    if (rule.countsBeforeRateCheck && divisible) {
        writeCounts();
    }
    if (!usable) {
        const ResultSpec* const counts[] = {&fields.count100, &fields.count160, &fields.count200};
        out.Reject(Outcome::RatesRejected, kRatesMessage, {}, counts);
        return c;
    }
    if (rule.zeroCountsUnlessPositive <= 0) {
        out.WriteText(fields.count100, "0");
        out.WriteText(fields.count160, "0");
        out.WriteText(fields.count200, "0");
    } else if (!rule.countsBeforeRateCheck) {
        writeCounts();
    }
    out.Write(fields.rate100, rates.r100);
    out.Write(fields.rate160, rates.r160);
    out.Write(fields.rate200, rates.r200);
    return c;
}

} // namespace CalcStages
