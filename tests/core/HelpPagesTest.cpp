// The help pages state numbers about the calculation: the wet bulbs of the
// operating-range table, what each entry accepts, the occupant rates. Each is
// worked out again here by the engine and compared with the page's text, so a
// page cannot drift from the program.

#include "core/common/NumberText.h"
#include "core/condensation/Condensation.h"
#include "core/jobs/JobFile.h"
#include "core/jobs/Project.h"
#include "core/pool/EvaporationMethods.h"
#include "core/pool/PoolCalc.h"
#include "core/psychrometrics/ChartCurves.h"
#include "core/report/CalcReport.h"
#include "core/units/DehumUnits.h"
#include "core/zone/ZoneCalc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <regex>
#include <span>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using NumberText::FormatFixed;
using NumberText::FormatGeneral;
using NumberText::ReadNumber;

const std::string kNumber = R"((-?[0-9]+(?:\.[0-9]+)?))";

std::string ReadPage(const std::string& name) {
    std::ifstream in(std::string(VARNELDH_HELP_PAGES_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << "cannot read " << name;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// What a reader sees of some HTML: tags dropped, the entities the pages use
// decoded, no-break spaces and runs of white space as one blank.
std::string PlainText(const std::string& html) {
    static const std::pair<std::string, std::string> kEntities[] = {
        {"&nbsp;", " "},   {"&deg;", "°"},   {"&ndash;", "–"}, {"&sup2;", "²"}, {"&sup3;", "³"},
        {"&middot;", "·"}, {"&rsquo;", "’"}, {"&lt;", "<"},    {"&gt;", ">"},   {"&amp;", "&"},
    };
    std::string text = std::regex_replace(html, std::regex("<[^>]*>"), "");
    for (const auto& [entity, shown] : kEntities) {
        for (auto at = text.find(entity); at != std::string::npos; at = text.find(entity, at)) {
            text.replace(at, entity.size(), shown);
            at += shown.size();
        }
    }
    text = std::regex_replace(text, std::regex(R"(\s+)"), " ");
    const auto first = text.find_first_not_of(' ');
    const auto last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The cells of every table row of a page, as plain text.
std::vector<std::vector<std::string>> TableRows(const std::string& html) {
    static const std::regex row("<tr>(.*?)</tr>");
    static const std::regex cell("<t[dh][^>]*>(.*?)</t[dh]>");
    std::vector<std::vector<std::string>> rows;
    for (std::sregex_iterator r(html.begin(), html.end(), row), end; r != end; ++r) {
        const std::string inner = (*r)[1];
        std::vector<std::string> cells;
        for (std::sregex_iterator c(inner.begin(), inner.end(), cell); c != end; ++c) {
            cells.push_back(PlainText((*c)[1]));
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

// What a page says an entry accepts.
struct Range {
    double low = 0;
    bool lowIncluded = true;
    std::optional<double> high; // none: no upper limit
    std::optional<double> warnAbove;
};

// The phrasings of the zone page's "Accepted values" column.
std::optional<Range> ParseAccepted(const std::string& phrase) {
    static const std::regex above("^above " + kNumber + ", up to " + kNumber);
    static const std::regex between("^" + kNumber + "–" + kNumber);
    static const std::regex orMore("^(?:" + kNumber + " or more|at least " + kNumber + ")");
    static const std::regex warning("; warning above " + kNumber);
    std::smatch m;
    Range range;
    if (std::regex_search(phrase, m, above)) {
        range = {ReadNumber(m.str(1)), false, ReadNumber(m.str(2)), {}};
    } else if (std::regex_search(phrase, m, between)) {
        range = {ReadNumber(m.str(1)), true, ReadNumber(m.str(2)), {}};
    } else if (std::regex_search(phrase, m, orMore)) {
        range = {ReadNumber(m.str(m[1].matched ? 1 : 2)), true, {}, {}};
    } else {
        return std::nullopt;
    }
    if (std::regex_search(phrase, m, warning)) {
        range.warnAbove = ReadNumber(m.str(1));
    }
    return range;
}

struct Verdict {
    bool accepted;
    bool warned;
};

// One entry set to a value, every other entry at its initial text.
using Probe = std::function<Verdict(const std::string& field, double value)>;

template <typename Texts, typename Inputs, typename Validate>
Verdict Check(std::span<const EntrySpec<Texts, Inputs>> table, Texts texts, Validate validate,
              const std::string& field, double value) {
    const EntrySpec<Texts, Inputs>* entry = FindEntry(table, field);
    EXPECT_NE(entry, nullptr) << field;
    if (!entry) {
        return {false, false};
    }
    texts.*entry->text = FormatGeneral(value);
    const auto r = validate(texts);
    return {!r.refusal.has_value(), !r.warnings.empty()};
}

Verdict ProbeZone(const std::string& field, double value) {
    return Check<ZoneTexts, ZoneInputs>(kZoneFields, InitialZoneTexts(), ValidateZoneInputs, field,
                                        value);
}

Verdict ProbePool(const std::string& field, double value) {
    return Check<PoolTexts, PoolInputs>(kPoolFields, InitialPoolTexts(), ValidatePoolInputs, field,
                                        value);
}

// The entry checks agree with the range at and just beyond each stated limit.
void ExpectChecksAgree(const Probe& probe, const std::string& field, const Range& range) {
    constexpr double step = 0.001;
    EXPECT_EQ(probe(field, range.low).accepted, range.lowIncluded) << field << " at " << range.low;
    EXPECT_FALSE(probe(field, range.low - step).accepted) << field << " below " << range.low;
    EXPECT_TRUE(probe(field, range.low + step).accepted) << field << " above " << range.low;
    const double top = range.high.value_or(1e6);
    EXPECT_TRUE(probe(field, top).accepted) << field << " at " << top;
    if (range.high) {
        EXPECT_FALSE(probe(field, top + step).accepted) << field << " above " << top;
    }
    if (range.warnAbove) {
        EXPECT_FALSE(probe(field, *range.warnAbove).warned) << field << " at " << *range.warnAbove;
        EXPECT_TRUE(probe(field, *range.warnAbove + step).warned)
            << field << " above " << *range.warnAbove;
    } else {
        EXPECT_FALSE(probe(field, range.low + step).warned) << field << " warns";
        EXPECT_FALSE(probe(field, top).warned) << field << " warns at " << top;
    }
}

// Wet bulb of zone air as the building-zone calculation works it out, at the
// screen's barometric pressure.
double ZoneWetBulb(double t, double rh) {
    ZoneTexts texts = InitialZoneTexts();
    texts.zoneTemp = FormatGeneral(t);
    texts.zoneRh = FormatGeneral(rh);
    const auto checked = ValidateZoneInputs(texts);
    EXPECT_TRUE(checked.inputs.has_value()) << t << " °C " << rh << " %";
    return checked.inputs ? CalculateZone(*checked.inputs, "").numbers.wetBulb.temperature : 0;
}

int DecimalsOf(const std::string& number) {
    const auto point = number.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(number.size() - point - 1);
}

TEST(HelpPages, OperatingRangeTableIsWhatTheEngineComputes) {
    const std::string page = ReadPage("operating-range.html");
    const std::string low = FormatGeneral(Dehum_Units::kEnvelopeLow);
    const std::string high = FormatGeneral(Dehum_Units::kEnvelopeHigh);
    EXPECT_NE(PlainText(page).find("between " + low + " °C and " + high + " °C"),
              std::string::npos);

    static const std::regex air("^" + kNumber + " °C, " + kNumber + " % RH$");
    int checked = 0;
    for (const auto& cells : TableRows(page)) {
        if (cells.size() == 3 && cells[0] == "Zone air") {
            EXPECT_EQ(cells[2], "Within " + low + "–" + high + " °C?");
            continue;
        }
        std::smatch m;
        ASSERT_EQ(cells.size(), 3u);
        ASSERT_TRUE(std::regex_match(cells[0], m, air)) << cells[0];
        SCOPED_TRACE(cells[0]);
        const double wetBulb = ZoneWetBulb(ReadNumber(m.str(1)), ReadNumber(m.str(2)));
        EXPECT_EQ(cells[1], FormatFixed(wetBulb, DecimalsOf(cells[1])));
        const char* verdict = Dehum_Units::InsideEnvelope(wetBulb)  ? "Yes"
                              : wetBulb < Dehum_Units::kEnvelopeLow ? "No, too low"
                                                                    : "No, too high";
        EXPECT_EQ(cells[2], verdict);
        ++checked;
    }
    EXPECT_GE(checked, 4);
}

TEST(HelpPages, ZoneEntryRangesAreWhatTheChecksAccept) {
    const std::pair<const char*, const char*> kFields[] = {
        {"Ambient air temperature", "txtTamb"},         {"Ambient relative humidity", "txtAmbrh"},
        {"Mechanical ventilation rate", "txtVentrate"}, {"% fresh air", "txtFreshair"},
        {"Natural infiltration rate", "txtInfil"},      {"Zone volume", "txtVol"},
        {"Desired zone temperature", "txttemp"},        {"Desired zone relative humidity", "txtrh"},
    };
    static const std::regex digit("[0-9]");
    int checked = 0;
    for (const auto& cells : TableRows(ReadPage("zone-calculation.html"))) {
        // The inputs table; a stated number always comes with a range the checks test.
        if (cells.size() != 3 || !std::regex_search(cells[2], digit)) {
            continue;
        }
        SCOPED_TRACE(cells[0] + ": " + cells[2]);
        const auto range = ParseAccepted(cells[2]);
        ASSERT_TRUE(range.has_value()) << "a phrasing this test does not know";
        const auto named = std::find_if(std::begin(kFields), std::end(kFields),
                                        [&](const auto& f) { return cells[0] == f.first; });
        ASSERT_NE(named, std::end(kFields)) << "an input this test does not know";
        ExpectChecksAgree(ProbeZone, named->second, *range);
        ++checked;
    }
    EXPECT_EQ(checked, static_cast<int>(std::size(kFields)));
}

// Sentences of the guide pages and the pool page that state what an entry accepts.
struct StatedRange {
    const char* name;
    const char* page;
    const char* field;
    Probe probe;
    std::string sentence; // its groups are the numbers
    std::function<Range(const std::smatch&)> range;
};

void PrintTo(const StatedRange& c, std::ostream* os) {
    *os << c.name;
}

class HelpPagesStatedRange : public testing::TestWithParam<StatedRange> {};

TEST_P(HelpPagesStatedRange, IsWhatTheChecksAccept) {
    const StatedRange& c = GetParam();
    const std::string text = PlainText(ReadPage(c.page));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, std::regex(c.sentence))) << c.sentence;
    ExpectChecksAgree(c.probe, c.field, c.range(m));
}

Range FromZeroWarningAbove(const std::smatch& m) {
    return {ReadNumber(m.str(1)), true, {}, ReadNumber(m.str(2))};
}

INSTANTIATE_TEST_SUITE_P(
    Pages, HelpPagesStatedRange,
    testing::Values(
        StatedRange{"infiltration", "topic1-infiltration.html", "txtInfil", ProbeZone,
                    kNumber + " is accepted.*Above " + kNumber + " ach the program warns",
                    FromZeroWarningAbove},
        StatedRange{"ventilation", "topic2-ventilation.html", "txtVentrate", ProbeZone,
                    "Enter " + kNumber + " if the zone has no mechanical ventilation.*Above " +
                        kNumber + " ach the program warns",
                    FromZeroWarningAbove},
        StatedRange{"fresh air", "topic3-freshair.html", "txtFreshair", ProbeZone,
                    "Any value from " + kNumber + " to " + kNumber + " % inclusive",
                    [](const std::smatch& m) {
                        return Range{ReadNumber(m.str(1)), true, ReadNumber(m.str(2)), {}};
                    }},
        StatedRange{"pool area", "pool-calculation.html", "txtpoolarea", ProbePool,
                    "Pool area \\(m²\\) of water surface: at least " + kNumber +
                        " m²; a warning is given above " + kNumber + " m²",
                    FromZeroWarningAbove}),
    [](const auto& info) {
        return std::regex_replace(std::string(info.param.name), std::regex(" "), "_");
    });

TEST(HelpPages, PoolTemperatureDifferenceWarningIsTheChecks) {
    std::smatch m;
    const std::string text = PlainText(ReadPage("pool-calculation.html"));
    ASSERT_TRUE(std::regex_search(text, m, std::regex("differ by more than " + kNumber + " K")));
    const double limit = ReadNumber(m.str(1));
    for (const auto& [difference, warns] : {std::pair{limit, false}, {limit + 0.001, true}}) {
        PoolTexts texts = InitialPoolTexts();
        texts.poolTemp = FormatGeneral(ReadNumber(texts.roomTemp) - difference);
        EXPECT_EQ(!ValidatePoolInputs(texts).warnings.empty(), warns) << difference << " K";
    }
}

TEST(HelpPages, OccupantRatesAreTheCalculations) {
    int checked = 0;
    for (const auto& cells : TableRows(ReadPage("zone-calculation.html"))) {
        if (cells.size() == 2 && cells[0] != "Occupant activity") {
            EXPECT_EQ(cells[1], FormatFixed(ActivityRate(cells[0]), DecimalsOf(cells[1])))
                << cells[0];
            ++checked;
        }
    }
    EXPECT_EQ(checked, 4);

    std::smatch m;
    const std::string pool = PlainText(ReadPage("pool-calculation.html"));
    ASSERT_TRUE(std::regex_search(pool, m, std::regex(kNumber + " litres/day per person")));
    PoolInputs one{101.325, 29, 60, 28, 1, 0, 50};
    EXPECT_EQ(m.str(1),
              FormatFixed(CalculatePool(one).numbers.metabolicGain, DecimalsOf(m.str(1))));
}

// The range the page gives Shah's figures is the one they are greyed outside:
// each quantity at its stated limits raises no reason of its own, a step
// beyond them does.
TEST(HelpPages, ShahRangeIsWhereTheFiguresAreGreyed) {
    std::smatch m;
    const std::string text = PlainText(ReadPage("evaporation-methods.html"));
    ASSERT_TRUE(std::regex_search(
        text, m,
        std::regex("air " + kNumber + " to " + kNumber + " °C, water " + kNumber + " to " +
                   kNumber + " °C, relative humidity " + kNumber + " to " + kNumber +
                   " % and pools of " + kNumber + " to " + kNumber + " m² of water")));
    struct Quantity {
        const char* reason; // how Shah's reason names it
        double PoolInputs::*input;
    };
    const Quantity quantities[] = {{"Room air at", &PoolInputs::roomTemp},
                                   {"Water at", &PoolInputs::poolTemp},
                                   {"Room RH of", &PoolInputs::roomRh},
                                   {"Pool area of", &PoolInputs::area}};
    for (std::size_t q = 0; q < std::size(quantities); ++q) {
        const double low = ReadNumber(m.str(2 * q + 1));
        const double high = ReadNumber(m.str(2 * q + 2));
        for (const auto& [value, outside] :
             {std::pair{low, false}, {low - 0.001, true}, {high, false}, {high + 0.001, true}}) {
            PoolInputs in{101.325, 30, 55, 28, 0, 0, 50};
            in.*quantities[q].input = value;
            const auto figures = EvaporationMethods::Compare(in, CalculatePool(in).numbers,
                                                             EvaporationMethods::kDefaultPoolType);
            const std::string& reasons = figures[3].outOfRange;
            EXPECT_EQ(reasons.find(quantities[q].reason) != std::string::npos, outside)
                << quantities[q].reason << " " << value << ": " << reasons;
        }
    }
}

// The pool types' coefficients and the elements' surface resistances the pages
// tabulate are the ones the windows work with.
TEST(HelpPages, MethodTablesAreTheEngines) {
    std::vector<std::vector<std::string>> types;
    for (const auto& cells : TableRows(ReadPage("evaporation-methods.html"))) {
        if (cells.size() == 2 && cells[0] != "Pool type") {
            types.push_back(cells);
        }
    }
    ASSERT_EQ(types.size(), EvaporationMethods::kPoolTypes.size());
    for (std::size_t i = 0; i < types.size(); ++i) {
        const auto& type = EvaporationMethods::kPoolTypes[i];
        EXPECT_EQ(types[i][0], type.caption);
        EXPECT_EQ(types[i][1], FormatGeneral(type.beta));
    }

    std::vector<std::vector<std::string>> elements;
    for (const auto& cells : TableRows(ReadPage("condensation-check.html"))) {
        if (cells.size() == 4 && cells[0] != "Element") {
            elements.push_back(cells);
        }
    }
    ASSERT_EQ(elements.size(), Condensation::kElements.size());
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const auto& element = Condensation::kElements[i];
        EXPECT_EQ(elements[i][0], element.caption);
        EXPECT_EQ(elements[i][2], FormatFixed(element.rsi, 2));
        EXPECT_EQ(elements[i][3], FormatFixed(element.rse, 2));
    }
}

// The text a run leaves in a field: its last write.
std::string Shown(const CalcResult& result, std::string_view field) {
    std::string text;
    for (const FieldText& f : result.fieldTexts) {
        if (f.field == field) {
            text = f.text;
        }
    }
    return text;
}

std::string OneBlank(std::string_view text) {
    return std::regex_replace(std::string(text), std::regex(" +"), " ");
}

// The report page's example of the units to install is the report's own table
// for the run it names.
TEST(HelpPages, ReportUnitsTableIsTheReports) {
    const std::string page = ReadPage("report.html");
    std::smatch m;
    const std::string text = PlainText(page);
    ASSERT_TRUE(std::regex_search(text, m, std::regex("with " + kNumber + " litres/day of pool")));
    ZoneTexts texts = InitialZoneTexts();
    texts.poolGain = m.str(1);
    const auto checked = ValidateZoneInputs(texts);
    ASSERT_TRUE(checked.inputs.has_value());
    const CalcReport::ZoneRun run{
        texts, *checked.inputs, checked.warnings, CalculateZone(*checked.inputs, ""), {}};
    std::vector<std::vector<std::string>> shown;
    for (const CalcReport::Table& table : CalcReport::ZoneContent(run, {}, false).tables) {
        if (table.heading == "Number of Units Required") {
            shown.push_back(table.columns);
            shown.insert(shown.end(), table.rows.begin(), table.rows.end());
        }
    }
    EXPECT_EQ(TableRows(page), shown);
}

// The lines the chart page describes are the ones the chart draws.
TEST(HelpPages, ChartLinesAreTheCharts) {
    const std::string text = PlainText(ReadPage("chart.html"));
    const PsychroChart::Curves curves = PsychroChart::ChartCurves(101.325);
    std::smatch m;
    ASSERT_TRUE(std::regex_search(
        text, m, std::regex("dry bulb temperature, from " + kNumber + " to " + kNumber + " °C")));
    EXPECT_EQ(ReadNumber(m.str(1)), PsychroChart::kLowestDryBulb);
    EXPECT_EQ(ReadNumber(m.str(2)), PsychroChart::kHighestDryBulb);
    const auto expectSeries = [&](const auto& lines, const std::string& sentence) {
        ASSERT_TRUE(std::regex_search(text, m, std::regex(sentence))) << sentence;
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(ReadNumber(m.str(1)), lines[1].first - lines[0].first) << sentence;
        EXPECT_EQ(ReadNumber(m.str(2)), lines.front().first) << sentence;
        EXPECT_EQ(ReadNumber(m.str(3)), lines.back().first) << sentence;
    };
    expectSeries(curves.relativeHumidity,
                 "every " + kNumber + " % from " + kNumber + " to " + kNumber + " %");
    expectSeries(curves.wetBulb,
                 "every " + kNumber + " °C from " + kNumber + " to " + kNumber + " °C");
    ASSERT_TRUE(
        std::regex_search(text, m, std::regex("wet bulb from " + kNumber + " to " + kNumber)));
    EXPECT_EQ(ReadNumber(m.str(1)), Dehum_Units::kEnvelopeLow);
    EXPECT_EQ(ReadNumber(m.str(2)), Dehum_Units::kEnvelopeHigh);
}

// What the job page says is refused is what the reader refuses.
TEST(HelpPages, JobLimitsAreTheReaders) {
    const std::string text = PlainText(ReadPage("job-files.html"));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m, std::regex("larger than " + kNumber + " MiB")));
    EXPECT_EQ(ReadNumber(m.str(1)) * 1024 * 1024, double(kJobMaxBytes));
    ASSERT_TRUE(std::regex_search(text, m, std::regex("reads format version " + kNumber)));
    EXPECT_EQ(ReadNumber(m.str(1)), kJobFormatVersion);
    ASSERT_TRUE(std::regex_search(text, m, std::regex("calculate at " + kNumber + " kPa")));
    EXPECT_EQ(m.str(1), InitialZoneTexts().pressure);
    EXPECT_EQ(m.str(1), InitialPoolTexts().pressure);
}

// What the projects page says of quantities and refused files is what the
// project reader holds to.
TEST(HelpPages, ProjectLimitsAreTheReaders) {
    const std::string text = PlainText(ReadPage("projects.html"));
    std::smatch m;
    ASSERT_TRUE(
        std::regex_search(text, m, std::regex("whole number from " + kNumber + " to " + kNumber)));
    EXPECT_EQ(ReadNumber(m.str(1)), 1);
    EXPECT_EQ(ReadNumber(m.str(2)), kMaxRoomQuantity);
    ASSERT_TRUE(std::regex_search(text, m, std::regex("larger than " + kNumber + " MiB")));
    EXPECT_EQ(ReadNumber(m.str(1)) * 1024 * 1024, double(kProjectMaxBytes));
    ASSERT_TRUE(std::regex_search(text, m, std::regex("reads format version " + kNumber)));
    EXPECT_EQ(ReadNumber(m.str(1)), kProjectFormatVersion);
    ASSERT_TRUE(std::regex_search(text, m, std::regex("other than " + kNumber + " kPa")));
    EXPECT_EQ(m.str(1), InitialZoneTexts().pressure);
}

// The details page's example panel is the one the start-up entries give.
TEST(HelpPages, DetailsTableIsTheStartUpRun) {
    const std::string page = ReadPage("details.html");
    const std::string text = PlainText(page);
    const ZoneTexts texts = InitialZoneTexts();
    std::smatch m;
    ASSERT_TRUE(std::regex_search(text, m,
                                  std::regex("zone " + kNumber + " °C and " + kNumber +
                                             " %, ambient " + kNumber + " °C and " + kNumber)));
    EXPECT_EQ(m.str(1), texts.zoneTemp);
    EXPECT_EQ(m.str(2), texts.zoneRh);
    EXPECT_EQ(m.str(3), texts.ambientTemp);
    EXPECT_EQ(m.str(4), texts.ambientRh);
    const auto checked = ValidateZoneInputs(texts);
    ASSERT_TRUE(checked.inputs.has_value());
    const ZoneResult result = CalculateZone(*checked.inputs, "");
    int rows = 0;
    for (const auto& cells : TableRows(page)) {
        if (cells.size() != 3 || cells[0] == "Property") {
            continue;
        }
        for (std::size_t column = 1; column < 3; ++column) {
            std::string expected;
            for (const ResultSpec& field : kZoneResults) {
                if (field.detail && OneBlank(field.caption) == cells[0] &&
                    field.column == (column == 1 ? "Zone" : "Ambient")) {
                    expected = Shown(result, field.name);
                }
            }
            EXPECT_EQ(cells[column], expected) << cells[0];
        }
        ++rows;
    }
    EXPECT_GE(rows, 4);
}

} // namespace
