// Twelve raw entry texts and the activity text, one a line in the order of the
// screen, through the check chain and, if accepted, the zone calculation; after a
// completed one, the condensation check on the next four lines.

#include "FuzzChecks.h"
#include "core/zone/ZoneCalc.h"

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

constexpr std::array<std::string_view, 3> kWarningTexts{
    "ENTERED MECHANICAL VENTILATION RATE UNEXPECTEDLY HIGH - The following answers assume this "
    "value is correct.",
    "LARGE NATURAL INFILTRATION RATE - Are you sure this value is correct. If you do not know "
    "this value press the   \"Guide.....\"   button to the right of this data entry field for "
    "assistance in choosing a value. Answers will be calculated using this value.",
    "LARGE SPACE VOLUME - Are you sure this value is correct. Answers will be calculated using "
    "this value.",
};

// The numeric entry fields in the order the lines give them: the engine's table.
const std::vector<std::string_view> kEntryFields = [] {
    std::vector<std::string_view> names;
    for (const auto& entry : kZoneFields) {
        if (entry.number) {
            names.push_back(entry.name);
        }
    }
    return names;
}();

constexpr std::array<std::string_view, 3> kRateFields{"txtRate100", "txtRate160", "txtRate200"};

using Z = ZoneNumbers;
constexpr std::array<Output<Z>, 27> kOutputs{{
    {"txtpws1", Form::Fixed2, [](const Z& n) { return n.zoneAir.pws; }},
    {"txtpw1", Form::Fixed2, [](const Z& n) { return n.zoneAir.pw; }},
    {"txtW1", Form::Fixed4, [](const Z& n) { return n.zoneAir.W; }},
    {"txtv1", Form::Fixed2, [](const Z& n) { return n.zoneAir.v; }},
    {"txtd1", Form::Fixed2, [](const Z& n) { return n.zoneAir.d; }},
    {"txth1", Form::Fixed2, [](const Z& n) { return n.zoneAir.h; }},
    {"txtDP", Form::Fixed2, [](const Z& n) { return n.zoneAir.DP; }},
    {"txtiter", Form::Iterations, nullptr},
    {"txtWBzone", Form::WetBulb, nullptr},
    {"txtpws2", Form::Fixed2, [](const Z& n) { return n.ambientAir.pws; }},
    {"txtpw2", Form::Fixed2, [](const Z& n) { return n.ambientAir.pw; }},
    {"txtW2", Form::Fixed4, [](const Z& n) { return n.ambientAir.W; }},
    {"txtV2", Form::Fixed2, [](const Z& n) { return n.ambientAir.v; }},
    {"txtd2", Form::Fixed2, [](const Z& n) { return n.ambientAir.d; }},
    {"txth2", Form::Fixed2, [](const Z& n) { return n.ambientAir.h; }},
    {"txtVentGain", Form::Fixed2, [](const Z& n) { return n.ventGain; }},
    {"txtPeopleGain", Form::Fixed2, [](const Z& n) { return n.peopleGain; }},
    {"txtInfilGain", Form::Fixed2, [](const Z& n) { return n.infilGain; }},
    {"txtProcessGain", Form::Fixed2, [](const Z& n) { return n.processGain; }},
    {"txtSwimPoolGain1", Form::General, [](const Z& n) { return n.poolGain; }},
    {"txtTotGain", Form::Fixed2, [](const Z& n) { return n.totalGain; }},
    {"txt100s", Form::Count, [](const Z& n) { return n.count100; }},
    {"txt160s", Form::Count, [](const Z& n) { return n.count160; }},
    {"txt200s", Form::Count, [](const Z& n) { return n.count200; }},
    {"txtRate100", Form::General,
     [](const Z& n) { return n.rate100.value_or(std::numeric_limits<double>::quiet_NaN()); }},
    {"txtRate160", Form::General, [](const Z& n) { return n.rate160; }},
    {"txtRate200", Form::General, [](const Z& n) { return n.rate200; }},
}};

// What the chain guarantees the calculation.
void CheckAccepted(const ZoneInputs& in) {
    for (const double v :
         {in.pressure, in.zoneTemp, in.zoneRh, in.occupancy, in.ambientTemp, in.ambientRh,
          in.ventRate, in.infilRate, in.freshAir, in.volume, in.processGain, in.poolGain}) {
        Require(std::fabs(v) < 1e15, "accepted an entry of ", v);
    }
    Require(in.pressure >= 50 && in.pressure <= 110, "accepted pressure ", in.pressure);
    Require(in.zoneTemp > 0 && in.zoneTemp <= 50, "accepted zone temperature ", in.zoneTemp);
    Require(in.zoneRh > 0 && in.zoneRh <= 100, "accepted zone RH ", in.zoneRh);
    Require(in.ambientTemp > 0 && in.ambientTemp <= 50, "accepted ambient temperature ",
            in.ambientTemp);
    Require(in.ambientRh > 0 && in.ambientRh <= 100, "accepted ambient RH ", in.ambientRh);
    Require(in.ventRate >= 0 && in.infilRate >= 0, "accepted a negative air change rate");
    Require(in.freshAir >= 0 && in.freshAir <= 100, "accepted fresh air ", in.freshAir);
    Require(in.volume >= 20, "accepted volume ", in.volume);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto lines = Lines(data, size);
    ZoneTexts texts = InitialZoneTexts();
    for (std::size_t i = 0; i < kEntryFields.size() && i < lines.size(); ++i) {
        texts.*FindEntry<ZoneTexts, ZoneInputs>(kZoneFields, kEntryFields[i])->text = lines[i];
    }
    if (lines.size() > kEntryFields.size()) {
        texts.activity = lines[kEntryFields.size()];
    }

    const auto checks = ValidateZoneInputs(texts);
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

    const ZoneResult r = CalculateZone(*checks.inputs, texts.activity);
    CheckResultShape(r, kEntryFields, kRateFields);
    CheckFieldTexts<Z>(r.fieldTexts, r.numbers, kOutputs, r.numbers.totalGain <= 0);
    CheckKnownFields<Z>(r.afterMessage, kOutputs);
    if (r.outcome == Outcome::Completed) {
        Require(r.numbers.rate100 && *r.numbers.rate100 > 0 && r.numbers.rate160 > 0 &&
                    r.numbers.rate200 > 0,
                "completed without three positive rates");
        CheckCondensation(lines, kEntryFields.size() + 1,
                          {checks.inputs->zoneTemp, checks.inputs->zoneRh, r.numbers.zoneAir.DP});
    }
    if (r.outcome == Outcome::EnvelopeRejected) {
        Require(r.focus == "txttemp", "envelope rejection without the focus on txttemp");
    }
    return 0;
}
