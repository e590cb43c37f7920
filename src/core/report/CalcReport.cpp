#include "core/report/CalcReport.h"

#include "core/common/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <span>
#include <string_view>

#ifndef VARNELDH_VERSION
#error "VARNELDH_VERSION is set by the build"
#endif

namespace CalcReport {
namespace {

const std::vector<std::string> kEntryColumns{"Entry", "Value", "Unit"};
const std::vector<std::string> kResultColumns{"Result", "Value", "Unit"};
const std::vector<std::string> kCountColumns{"Unit size", "Calculated", "Gain \u00f7 unit rate",
                                             "To install"};
const std::vector<std::string> kDetailColumns{"Detail", "Value", "Unit"};
// The removal rates sit in the panel in a box of their own, not in the grid.
constexpr std::string_view kRatesColumn = "Moisture Removal Rate";

constexpr std::string_view kMoistAirNote =
    "Moist-air properties: the SI correlations of the ASHRAE Handbook\u2014Fundamentals, "
    "chapter Psychrometrics: saturation pressure over liquid water after Hyland and Wexler "
    "(ASHRAE Transactions 89(2A), 1983), humidity ratio with the enhancement factor 1.0039, "
    "the dew-point correlation, and the thermodynamic wet-bulb relation solved by iteration.";
constexpr std::string_view kZoneGainsNote =
    "Moisture gains: ventilation and infiltration air carry in the ambient air's moisture and "
    "carry out the zone air's (humidity ratio \u00d7 density \u00d7 air flow); occupants add "
    "their activity's litres/day each; process gains are litres/hour \u00d7 24; the pool gain "
    "is taken as entered.";
constexpr std::string_view kPoolNote =
    "Pool evaporation: the natural-convection (air density difference) correlation after "
    "M. M. Shah (ASHRAE Transactions, 2002 and 2003): 35 \u00d7 (1 + 1.4 \u00d7 bathers per "
    "m\u00b2) "
    "\u00d7 \u03c1 room \u00d7 |\u03c1 room \u2212 \u03c1 surface|^0.33333 \u00d7 (W surface "
    "\u2212 W room) "
    "\u00d7 24 \u00d7 pool area, in litres/day, with the air at the water surface saturated at the "
    "pool temperature. Every occupant adds 1.992 litres/day.";
constexpr std::string_view kReferenceNote =
    "ASHRAE Calculation: the Carrier equation of the ASHRAE Handbook\u2014HVAC Applications "
    "(natatoriums), 4 \u00d7 10\u207b\u2075 \u00d7 pool area \u00d7 (vapour pressure at the "
    "surface "
    "\u2212 in the room, kPa), in kg/s, shown for comparison only.";
constexpr std::string_view kMethodsNote =
    "Evaporation by other methods: each from the same room air and water surface, counted "
    "with the same unit model (for a VDI 2089-1 pool in use only the people not using the "
    "pool are added, as its coefficient holds the bathers). ASHRAE reference figure: the "
    "Carrier equation of the ASHRAE Handbook\u2014HVAC Applications (natatoriums). Shah, "
    "occupied pool: M. M. Shah, \u201cNew Correlation for Prediction of Evaporation from "
    "Occupied Swimming Pools\u201d, ASHRAE Transactions 119(2), 2013, and \u201cNew Method for "
    "Calculating Evaporation From Occupied Swimming Pools\u201d, HPAC Engineering, March 2013. "
    "Shah, unoccupied pool: M. M. Shah, \u201cCalculation of Evaporation from Indoor Swimming "
    "Pools: Further Development of Formulas\u201d, ASHRAE Transactions 118(2), 2012; "
    "\u201cSimplified Method of Calculating Evaporation From Swimming Pools\u201d, HPAC "
    "Engineering, October 2011; \u201cMethods for Calculation of Evaporation from Swimming Pools "
    "and Other Water Surfaces\u201d, ASHRAE Transactions 120(2), 2014; the range of both of "
    "Shah's figures (air, water, relative humidity and pool area) after M. M. Shah, "
    "\u201cEvaluation of available correlations for rate of evaporation from undisturbed water "
    "pools to quiet air\u201d, HVAC&R Research 8(1), 2002. "
    "VDI 2089-1: VDI 2089 Blatt 1, \u201cBuilding services in swimming baths \u2013 Indoor "
    "pools\u201d, January 2010, with the water-transfer coefficient of the pool type named.";
constexpr std::string_view kSecondaryNote =
    "Only in secondary sources: the constant 0.00005 kg/(m\u00b2 h Pa) of Shah's term for "
    "little or no density difference, which only decides the figure when the air over the "
    "water hardly rises, as quoted from his 2014 paper; VDI 2089-1's coefficients, as quoted "
    "from the guideline.";
constexpr std::string_view kUnitsNote =
    "Dehumidifier units: Varnel HX series rating data. The removal rate of one HX 100 is a "
    "polynomial in relative humidity and dry bulb, in two wet-bulb bands (8 to 15 \u00b0C and "
    "15 to 31 \u00b0C); an HX 160 removes 1.6 and an HX 200 2 times as much. Units are selected "
    "only for room air with a wet bulb from 13 \u00b0C to 31 \u00b0C, the shaded area of the "
    "chart. The number of units is the total gain divided by one unit's rate; the whole number "
    "to install is that, rounded up. The report shows the division to two decimals, rounded "
    "up as well, beside the screen's one decimal.";

constexpr std::string_view kDrierOutsideNote =
    "No unit is needed: the total moisture gain is negative because the outside air is drier "
    "than the zone's, so the ventilation and infiltration air carry away more moisture than the "
    "other sources add.";

// A count a hair above a whole number from rounding in the division is that
// whole number, not one unit more.
constexpr double kWholeSlack = 1e-9;

std::string Text(std::string_view text) {
    return std::string(text);
}

// The text a field shows after the screen applied the result: its last write.
std::string Shown(const CalcResult& result, std::string_view field) {
    std::string shown;
    for (const auto* writes : {&result.fieldTexts, &result.afterMessage}) {
        for (const FieldText& f : *writes) {
            if (f.field == field) {
                shown = f.text;
            }
        }
    }
    return shown;
}

// The entries from top to bottom as the screens show them; the tables of
// fields list them in the order the checks read them.
constexpr std::string_view kZoneScreenOrder[] = {
    "txtTamb",    "txtAmbrh",        "txtVentrate", "txtFreshair",  "txtInfil",
    "txtVol",     "txttemp",         "txtrh",       "txtOccupancy", "comboActivity",
    "txtProcess", "txtSwimPoolGain", "txtPresskPa"};
constexpr std::string_view kPoolScreenOrder[] = {"txttemp",     "txtrh",        "txtpooltemp",
                                                 "txtpoolarea", "txtOccupancy", "cmbOccupancy2",
                                                 "txtPresskPa"};

template <typename Texts, typename Inputs>
Table Entries(std::span<const EntrySpec<Texts, Inputs>> fields,
              std::span<const std::string_view> screenOrder, const Texts& texts) {
    Table table{"Calculation Inputs", kEntryColumns, {}};
    for (std::string_view name : screenOrder) {
        if (const auto* entry = FindEntry(fields, name)) {
            table.rows.push_back({Text(entry->caption), texts.*entry->text, Text(entry->unit)});
        }
    }
    return table;
}

// The unit counts are the results written with one decimal, in size order.
bool IsCount(const ResultSpec& field) {
    return field.pattern == Pattern::Fixed1;
}

Table Results(std::string heading, std::span<const ResultSpec> fields, const CalcResult& result) {
    Table table{std::move(heading), kResultColumns, {}};
    for (const ResultSpec& field : fields) {
        if (!field.detail && !IsCount(field)) {
            table.rows.push_back(
                {Text(field.caption), Shown(result, field.name), Text(field.unit)});
        }
    }
    return table;
}

// A count to two decimals, rounded up as the units to install are: 1.016 is
// "1.02", and no count that needs one unit more reads as the whole number.
std::string CountHundredths(double count) {
    return NumberText::FormatFixed(std::ceil((count - kWholeSlack) * 100) / 100, 2);
}

// Beside the screen's one decimal, the count to two, so that 1.016 shown as
// "1.0" is seen to need 2 units; none when there is no load to remove.
Table Counts(std::span<const ResultSpec> fields, const CalcResult& result,
             const double (&counts)[3], bool loadPositive) {
    Table table{"Number of Units Required", kCountColumns, {}};
    std::size_t size = 0;
    for (const ResultSpec& field : fields) {
        if (IsCount(field) && size < 3) {
            const double count = counts[size++];
            table.rows.push_back({Text(field.caption), Shown(result, field.name),
                                  loadPositive ? CountHundredths(count) : std::string(),
                                  std::to_string(UnitsToInstall(count, loadPositive))});
        }
    }
    return table;
}

// The detail grid as one table, its columns side by side, then the panel's
// other fields.
std::vector<Table> Details(std::span<const ResultSpec> fields, const CalcResult& result) {
    struct Row {
        std::string caption;
        std::vector<std::string> cells;
        std::string unit;
    };
    std::vector<std::string_view> columns;
    std::vector<Row> rows;
    Table others{"Further Details", kDetailColumns, {}};
    for (const ResultSpec& field : fields) {
        if (!field.detail) {
            continue;
        }
        if (field.column.empty() || field.column == kRatesColumn) {
            const std::string caption = field.column.empty()
                                            ? Text(field.caption)
                                            : Text(field.column) + " " + Text(field.caption);
            others.rows.push_back({caption, Shown(result, field.name), Text(field.unit)});
            continue;
        }
        const auto column =
            std::size_t(std::find(columns.begin(), columns.end(), field.column) - columns.begin());
        if (column == columns.size()) {
            columns.push_back(field.column);
        }
        auto row = std::find_if(rows.begin(), rows.end(),
                                [&field](const Row& r) { return r.caption == field.caption; });
        if (row == rows.end()) {
            rows.push_back({Text(field.caption), {}, Text(field.unit)});
            row = rows.end() - 1;
        }
        row->cells.resize(std::max(row->cells.size(), column + 1));
        row->cells[column] = Shown(result, field.name);
    }
    Table grid{"Air Properties", {"Property"}, {}};
    for (std::string_view column : columns) {
        grid.columns.push_back(Text(column));
    }
    grid.columns.push_back("Unit");
    for (Row& row : rows) {
        row.cells.resize(columns.size());
        std::vector<std::string> cells{row.caption};
        cells.insert(cells.end(), row.cells.begin(), row.cells.end());
        cells.push_back(row.unit);
        grid.rows.push_back(std::move(cells));
    }
    return {grid, others};
}

// Each method's figure with the pool type it was worked for, then why any
// figure lies outside its method's published range.
std::vector<Table> Methods(const PoolRun& run, EvaporationMethods::PoolType poolType) {
    using namespace EvaporationMethods;
    Table figures{kMethodsHeading, {"Method"}, {}};
    for (const ResultSpec& column : kFigureColumns) {
        std::string heading = Text(column.caption);
        if (!column.unit.empty()) {
            heading.append(" (").append(column.unit).append(")");
        }
        figures.columns.push_back(std::move(heading));
    }
    Table reasons{kOutOfRangeHeading, {"Method", "Reason"}, {}};
    for (const Figure& figure : Compare(run.inputs, run.result.numbers, poolType)) {
        std::string caption = Text(figure.caption);
        if (figure.method == Method::Vdi2089) {
            caption.append(", ").append(SpecOf(poolType).caption);
        }
        std::vector<std::string> row{caption};
        for (std::string& text : FigureTexts(figure)) {
            row.push_back(std::move(text));
        }
        figures.rows.push_back(std::move(row));
        if (!figure.outOfRange.empty()) {
            reasons.rows.push_back({std::move(caption), figure.outOfRange});
        }
    }
    std::vector<Table> tables{std::move(figures)};
    if (!reasons.rows.empty()) {
        tables.push_back(std::move(reasons));
    }
    return tables;
}

Content Common(const Header& header) {
    Content c;
    c.title = kTitle;
    c.calculation = header.calculation;
    c.jobTitle = header.jobTitle;
    c.created = header.created;
    c.program = ProgramName();
    return c;
}

} // namespace

std::string ProgramName() {
    return "Varnel DH " VARNELDH_VERSION;
}

int UnitsToInstall(double count, bool loadPositive) {
    if (!loadPositive || !(count > 0)) {
        return 0;
    }
    // Past any building's need, but a number all the same rather than a wrap.
    const double units = std::ceil(count - kWholeSlack);
    constexpr int kMost = std::numeric_limits<int>::max();
    return units >= double(kMost) ? kMost : int(units);
}

Content ZoneContent(const ZoneRun& run, const Header& header, bool withDetails) {
    Content c = Common(header);
    const ZoneNumbers& n = run.result.numbers;
    c.designLocation = run.designLocation;
    c.tables.push_back(Entries<ZoneTexts, ZoneInputs>(kZoneFields, kZoneScreenOrder, run.texts));
    c.tables.push_back(Results("Building Zone Moisture Gain", kZoneResults, run.result));
    const double counts[3] = {n.count100, n.count160, n.count200};
    c.tables.push_back(Counts(kZoneResults, run.result, counts, n.totalGain > 0));
    if (withDetails) {
        for (Table& table : Details(kZoneResults, run.result)) {
            c.tables.push_back(std::move(table));
        }
    }
    c.warnings = run.warnings;
    if (n.totalGain < 0) {
        c.noUnitsReason = Text(kDrierOutsideNote);
    }
    c.notes = {Text(kMoistAirNote), Text(kZoneGainsNote), Text(kUnitsNote)};
    return c;
}

Content PoolContent(const PoolRun& run, const Header& header, bool withDetails,
                    EvaporationMethods::PoolType poolType) {
    Content c = Common(header);
    const PoolNumbers& n = run.result.numbers;
    c.tables.push_back(Entries<PoolTexts, PoolInputs>(kPoolFields, kPoolScreenOrder, run.texts));
    c.tables.push_back(Results("Swimming Pool Moisture Gain", kPoolResults, run.result));
    const double counts[3] = {n.count100, n.count160, n.count200};
    // The screen writes a plain "0" for each count when the pool gives off no water.
    c.tables.push_back(Counts(kPoolResults, run.result, counts, n.evaporation > 0));
    if (withDetails) {
        for (Table& table : Details(kPoolResults, run.result)) {
            c.tables.push_back(std::move(table));
        }
    }
    for (Table& table : Methods(run, poolType)) {
        c.tables.push_back(std::move(table));
    }
    c.warnings = run.warnings;
    c.notes = {Text(kMoistAirNote), Text(kPoolNote)};
    if (withDetails) {
        c.notes.push_back(Text(kReferenceNote));
    }
    c.notes.push_back(Text(kMethodsNote));
    c.notes.push_back(Text(kSecondaryNote));
    c.notes.push_back(Text(kUnitsNote));
    return c;
}

ChartData ZoneChart(const ZoneRun& run) {
    const ZoneInputs& in = run.inputs;
    const ZoneNumbers& n = run.result.numbers;
    ChartData chart;
    chart.pressureKPa = in.pressure;
    chart.states.push_back({"Zone", in.zoneTemp, in.zoneRh, n.zoneAir, n.wetBulb.temperature});
    chart.states.push_back({"Ambient", in.ambientTemp, in.ambientRh, n.ambientAir, {}});
    return chart;
}

ChartData PoolChart(const PoolRun& run) {
    const PoolInputs& in = run.inputs;
    const PoolNumbers& n = run.result.numbers;
    ChartData chart;
    chart.pressureKPa = in.pressure;
    chart.states.push_back({"Zone", in.roomTemp, in.roomRh, n.roomAir, n.wetBulb.temperature});
    chart.states.push_back({"Pool surface", in.poolTemp, 100, n.surfaceAir, {}, false});
    return chart;
}

} // namespace CalcReport
