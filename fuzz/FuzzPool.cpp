// Seven raw entry texts, one a line in the order of the screen, through the check
// chain and, if accepted, the pool calculation; after a completed one, the other
// evaporation methods and the condensation check on the next four lines.

#include "FuzzChecks.h"
#include "core/pool/EvaporationMethods.h"
#include "core/pool/PoolCalc.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

using namespace FuzzChecks;

namespace {

constexpr std::array<std::string_view, 2> kWarningTexts{
    "WARNING - This is a large temperature difference between the pool water and room air. Are "
    "you sure these values are correct? Answers will be calculated using these values.",
    "WARNING - This is a large pool area. Are you sure this value is correct? Answers will be "
    "calculated using these values.",
};

// The numeric entry fields in the order the lines give them: the engine's table.
const std::vector<std::string_view> kEntryFields = [] {
    std::vector<std::string_view> names;
    for (const auto& entry : kPoolFields) {
        if (entry.number) {
            names.push_back(entry.name);
        }
    }
    return names;
}();

constexpr std::array<std::string_view, 3> kRateFields{"txtRate100", "txtRate160", "txtRate200"};

using P = PoolNumbers;
constexpr std::array<Output<P>, 26> kOutputs{{
    {"txtpws1", Form::Fixed2, [](const P& n) { return n.roomAir.pws; }},
    {"txtpw1", Form::Fixed2, [](const P& n) { return n.roomAir.pw; }},
    {"txtW1", Form::Fixed4, [](const P& n) { return n.roomAir.W; }},
    {"txtv1", Form::Fixed2, [](const P& n) { return n.roomAir.v; }},
    {"txtd1", Form::Fixed2, [](const P& n) { return n.roomAir.d; }},
    {"txth1", Form::Fixed2, [](const P& n) { return n.roomAir.h; }},
    {"txtDP", Form::Fixed2, [](const P& n) { return n.roomAir.DP; }},
    {"txtiter", Form::Iterations, nullptr},
    {"txtWBzone", Form::WetBulb, nullptr},
    {"txtpws2", Form::Fixed2, [](const P& n) { return n.surfaceAir.pws; }},
    {"txtpw2", Form::Fixed2, [](const P& n) { return n.surfaceAir.pw; }},
    {"txtW2", Form::Fixed4, [](const P& n) { return n.surfaceAir.W; }},
    {"txtV2", Form::Fixed2, [](const P& n) { return n.surfaceAir.v; }},
    {"txtd2", Form::Fixed2, [](const P& n) { return n.surfaceAir.d; }},
    {"txth2", Form::Fixed2, [](const P& n) { return n.surfaceAir.h; }},
    {"txtMetGain", Form::Fixed2, [](const P& n) { return n.metabolicGain; }},
    {"txtTotalOccupancy", Form::General, [](const P& n) { return n.occupancy; }},
    {"txtm1", Form::Fixed2, [](const P& n) { return n.referenceEvaporation; }},
    {"txtm2", Form::Fixed2, [](const P& n) { return n.evaporation; }},
    {"txtTotalGain", Form::Fixed2, [](const P& n) { return n.totalGain; }},
    {"txt100s", Form::Count, [](const P& n) { return n.count100; }},
    {"txt160s", Form::Count, [](const P& n) { return n.count160; }},
    {"txt200s", Form::Count, [](const P& n) { return n.count200; }},
    {"txtRate100", Form::General,
     [](const P& n) { return n.rate100.value_or(std::numeric_limits<double>::quiet_NaN()); }},
    {"txtRate160", Form::General, [](const P& n) { return n.rate160; }},
    {"txtRate200", Form::General, [](const P& n) { return n.rate200; }},
}};

// What the chain guarantees the calculation.
void CheckAccepted(const PoolInputs& in) {
    for (const double v :
         {in.pressure, in.roomTemp, in.roomRh, in.poolTemp, in.bathers, in.spectators, in.area}) {
        Require(std::fabs(v) < 1e15, "accepted an entry of ", v);
    }
    Require(in.pressure >= 50 && in.pressure <= 110, "accepted pressure ", in.pressure);
    Require(in.roomTemp > 0 && in.roomTemp <= 50, "accepted room temperature ", in.roomTemp);
    Require(in.roomRh > 0 && in.roomRh <= 100, "accepted room RH ", in.roomRh);
    Require(in.poolTemp > 0 && in.poolTemp <= 50, "accepted pool temperature ", in.poolTemp);
    Require(in.area >= 0.99, "accepted pool area ", in.area);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto lines = Lines(data, size);
    PoolTexts texts = InitialPoolTexts();
    for (std::size_t i = 0; i < kEntryFields.size() && i < lines.size(); ++i) {
        texts.*FindEntry<PoolTexts, PoolInputs>(kPoolFields, kEntryFields[i])->text = lines[i];
    }

    const auto checks = ValidatePoolInputs(texts);
    CheckWarnings(checks.warnings, kWarningTexts);
    Require(checks.refusal.has_value() != checks.inputs.has_value(),
            "a refusal and inputs together, or neither");
    if (checks.refusal) {
        Require(std::find(kEntryFields.begin(), kEntryFields.end(), checks.refusal->field) !=
                    kEntryFields.end(),
                "refusal of ", checks.refusal->field, ", not an entry field");
        Require(!checks.refusal->message.empty(), "refusal without a message");
        return 0;
    }
    CheckAccepted(*checks.inputs);

    const PoolResult r = CalculatePool(*checks.inputs);
    CheckResultShape(r, kEntryFields, kRateFields);
    // The plain "0" counts stand for an evaporation of zero or less.
    CheckFieldTexts<P>(r.fieldTexts, r.numbers, kOutputs, r.numbers.evaporation <= 0);
    CheckKnownFields<P>(r.afterMessage, kOutputs);
    if (r.outcome == Outcome::Completed) {
        Require(r.numbers.rate100 && *r.numbers.rate100 > 0 && r.numbers.rate160 > 0 &&
                    r.numbers.rate200 > 0,
                "completed without three positive rates");
        // The windows that follow a completed run.
        for (const auto& type : EvaporationMethods::kPoolTypes) {
            for (const auto& figure :
                 EvaporationMethods::Compare(*checks.inputs, r.numbers, type.type)) {
                for (const std::string& text : EvaporationMethods::FigureTexts(figure)) {
                    CheckNumberText(figure.caption, text);
                }
            }
        }
        CheckCondensation(lines, kEntryFields.size(),
                          {checks.inputs->roomTemp, checks.inputs->roomRh, r.numbers.roomAir.DP});
    }
    if (r.outcome == Outcome::EnvelopeRejected) {
        Require(r.focus == "txttemp", "envelope rejection without the focus on txttemp");
    }
    return 0;
}
