// Costs of the engine over a grid of room air from 0 to 50 °C and 1 to 100 % RH,
// and of varneldh-calc's CSV batch and a job file read and written.
#include "cli/Batch.h"
#include "core/common/NumberText.h"
#include "core/condensation/Condensation.h"
#include "core/csv/Csv.h"
#include "core/jobs/JobFile.h"
#include "core/jobs/Project.h"
#include "core/pool/EvaporationMethods.h"
#include "core/pool/PoolCalc.h"
#include "core/psychrometrics/Psychrometrics.h"
#include "core/weather/DesignPoints.h"
#include "core/weather/Epw.h"
#include "core/weather/Year.h"
#include "core/zone/ZoneCalc.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

namespace {

struct Air {
    double t;
    double rh;
};

const std::vector<Air>& Grid() {
    static const std::vector<Air> grid = [] {
        std::vector<Air> g;
        for (int t = 1; t <= 50; t += 7) {
            for (int rh = 1; rh <= 100; rh += 9) {
                g.push_back({double(t), double(rh)});
            }
        }
        return g;
    }();
    return grid;
}

void BM_ComputeAirState(benchmark::State& state) {
    for (auto _ : state) {
        for (const Air& a : Grid()) {
            benchmark::DoNotOptimize(Psychrometrics::ComputeAirState(a.t, a.rh, 101.325));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Grid().size()));
}
BENCHMARK(BM_ComputeAirState);

// Reports the cost per pass of the search, the figure that matters since the
// number of passes is fixed by the search itself.
void BM_WetBulbTemperature(benchmark::State& state) {
    std::vector<double> W;
    for (const Air& a : Grid()) {
        W.push_back(Psychrometrics::ComputeAirState(a.t, a.rh, 101.325).W);
    }
    int64_t passes = 0;
    for (auto _ : state) {
        for (std::size_t i = 0; i < W.size(); ++i) {
            const auto wb = Psychrometrics::WetBulbTemperature(101325, Grid()[i].t, W[i]);
            passes += wb.iterations;
            benchmark::DoNotOptimize(wb);
        }
    }
    state.SetItemsProcessed(passes);
    state.counters["ns_per_pass"] = benchmark::Counter(
        static_cast<double>(passes), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WetBulbTemperature)->Unit(benchmark::kMicrosecond);

ZoneInputs ZoneFor(const Air& a) {
    ZoneInputs in;
    in.pressure = 101.325;
    in.zoneTemp = a.t;
    in.zoneRh = a.rh;
    in.volume = 1000;
    in.infilRate = 1;
    in.ventRate = 2;
    in.freshAir = 20;
    in.ambientTemp = 46;
    in.ambientRh = 30;
    in.occupancy = 10;
    in.processGain = 0.5;
    in.poolGain = 12.5;
    return in;
}

void BM_CalculateZone(benchmark::State& state) {
    for (auto _ : state) {
        for (const Air& a : Grid()) {
            benchmark::DoNotOptimize(CalculateZone(ZoneFor(a), "Office Work"));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Grid().size()));
}
BENCHMARK(BM_CalculateZone)->Unit(benchmark::kMicrosecond);

// The same grid's wet-bulb searches alone, to set CalculateZone against.
void BM_CalculateZoneSearchOnly(benchmark::State& state) {
    for (auto _ : state) {
        for (const Air& a : Grid()) {
            const auto s = Psychrometrics::ComputeAirState(a.t, a.rh, 101.325);
            benchmark::DoNotOptimize(Psychrometrics::WetBulbTemperature(101325, a.t, s.W));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Grid().size()));
}
BENCHMARK(BM_CalculateZoneSearchOnly)->Unit(benchmark::kMicrosecond);

void BM_CalculatePool(benchmark::State& state) {
    for (auto _ : state) {
        for (const Air& a : Grid()) {
            PoolInputs in;
            in.pressure = 101.325;
            in.roomTemp = a.t;
            in.roomRh = a.rh;
            in.poolTemp = 28;
            in.area = 50;
            in.bathers = 10;
            benchmark::DoNotOptimize(CalculatePool(in));
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Grid().size()));
}
BENCHMARK(BM_CalculatePool)->Unit(benchmark::kMicrosecond);

// The completed pool runs of the grid, worked out once: the methods compared
// below start from a run, as the window does.
struct PoolRunAt {
    PoolInputs in;
    PoolNumbers numbers;
};

const std::vector<PoolRunAt>& PoolRuns() {
    static const std::vector<PoolRunAt> runs = [] {
        std::vector<PoolRunAt> r;
        for (const Air& a : Grid()) {
            PoolInputs in;
            in.pressure = 101.325;
            in.roomTemp = a.t;
            in.roomRh = a.rh;
            in.poolTemp = 28;
            in.area = 50;
            in.bathers = 10;
            in.spectators = 5;
            const PoolResult result = CalculatePool(in);
            if (result.outcome == Outcome::Completed) {
                r.push_back({in, result.numbers});
            }
        }
        return r;
    }();
    return runs;
}

// Every method's figure, range and counts for one run, and their texts.
void BM_CompareEvaporationMethods(benchmark::State& state) {
    for (auto _ : state) {
        for (const PoolRunAt& run : PoolRuns()) {
            for (const auto& figure : EvaporationMethods::Compare(
                     run.in, run.numbers, EvaporationMethods::PoolType::PublicDeep)) {
                benchmark::DoNotOptimize(EvaporationMethods::FigureTexts(figure));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(PoolRuns().size()));
}
BENCHMARK(BM_CompareEvaporationMethods)->Unit(benchmark::kMicrosecond);

// The entry checks, then glazing, wall and roof with their texts, per room air.
void BM_CondensationCheck(benchmark::State& state) {
    const Condensation::Texts texts = Condensation::InitialTexts();
    for (auto _ : state) {
        for (const Air& a : Grid()) {
            const auto checked = Condensation::Validate(texts);
            const Condensation::RoomAir room{a.t, a.rh, a.t - 5};
            for (const auto& element : Condensation::Check(*checked.inputs, room)) {
                benchmark::DoNotOptimize(Condensation::RowTexts(element));
            }
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(Grid().size()));
}
BENCHMARK(BM_CondensationCheck)->Unit(benchmark::kMicrosecond);

void BM_FormatFixed(benchmark::State& state) {
    double v = 0.0143;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NumberText::FormatFixed(v, 4));
        v += 1e-7;
    }
}
BENCHMARK(BM_FormatFixed);

void BM_FormatGeneral(benchmark::State& state) {
    double v = 104.0554;
    for (auto _ : state) {
        benchmark::DoNotOptimize(NumberText::FormatGeneral(v));
        v += 1e-7;
    }
}
BENCHMARK(BM_FormatGeneral);

// Zone rows with every column given, as a schedule of rooms would be: the
// batch's reading, checks, calculation and writing together, on one core.
std::string ZoneSchedule(int rows) {
    std::string csv = "txtPresskPa,txttemp,txtrh,txtOccupancy,txtTamb,txtAmbrh,txtVentrate,"
                      "txtInfil,txtFreshair,txtVol,txtProcess,txtSwimPoolGain,comboActivity\n";
    for (int i = 0; i < rows; ++i) {
        csv += "101.325," + std::to_string(24 + i % 9) + "," + std::to_string(45 + i % 26) + "," +
               std::to_string(i % 40) + ",35,40," + std::to_string(i % 4) + ",0.5,20," +
               std::to_string(200 + 37 * (i % 100)) + ",0.2,0,\"Office Work\"\n";
    }
    return csv;
}

// Counts what is written and keeps nothing.
class CountingBuf : public std::streambuf {
protected:
    std::streamsize xsputn(const char*, std::streamsize n) override {
        bytes += n;
        return n;
    }
    int overflow(int c) override {
        ++bytes;
        return c;
    }

public:
    std::streamsize bytes = 0;
};

void BM_BatchZoneRows(benchmark::State& state) {
    const int rows = 1000;
    const std::string csv = ZoneSchedule(rows);
    CountingBuf sink;
    std::ostream out(&sink);
    std::ostringstream err;
    for (auto _ : state) {
        std::istringstream in(csv);
        benchmark::DoNotOptimize(
            CalcCli::RunBatch(CalcCli::Calculation::Zone, in, out, err, "schedule.csv"));
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.SetLabel("rows");
}
BENCHMARK(BM_BatchZoneRows)->Unit(benchmark::kMillisecond);

// Chicago's TMY3 year (1.6 MB), read from disk once.
const std::string& ChicagoBytes() {
    static const std::string bytes = [] {
        std::ifstream in(VARNELDH_WEATHER_DATA_DIR "/chicago.epw", std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }();
    return bytes;
}

const Weather::WeatherFile& Chicago() {
    static const Weather::WeatherFile file = *Weather::ReadEpw(ChicagoBytes()).file;
    return file;
}

// The batch with one thread and with two, side by side in one run: rows a
// second for --jobs 1 and --jobs 2 and their ratio. The two alternate, so that
// a machine busy with something else slows both alike.
void BatchJobs(benchmark::State& state, int rows, const Weather::WeatherFile* weather) {
    const std::string csv = ZoneSchedule(rows);
    CountingBuf sink;
    std::ostream out(&sink);
    std::ostringstream err;
    std::chrono::duration<double> took[2]{};
    for (auto _ : state) {
        for (const unsigned jobs : {1u, 2u}) {
            std::istringstream in(csv);
            const auto start = std::chrono::steady_clock::now();
            benchmark::DoNotOptimize(CalcCli::RunBatch(CalcCli::Calculation::Zone, in, out, err,
                                                       "schedule.csv",
                                                       {.jobs = jobs, .weather = weather}));
            took[jobs - 1] += std::chrono::steady_clock::now() - start;
        }
    }
    const double done = static_cast<double>(state.iterations()) * rows;
    state.counters["jobs1_rows_per_s"] = done / took[0].count();
    state.counters["jobs2_rows_per_s"] = done / took[1].count();
    state.counters["jobs2_over_jobs1"] = took[0].count() / took[1].count();
    state.SetItemsProcessed(static_cast<int64_t>(done) * 2);
}

void BM_BatchZoneJobs(benchmark::State& state) {
    BatchJobs(state, 10000, nullptr);
}
BENCHMARK(BM_BatchZoneJobs)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with --weather: each row's year of 8,760 hours over Chicago's file.
void BM_BatchZoneJobsWeather(benchmark::State& state) {
    BatchJobs(state, 2000, &Chicago());
}
BENCHMARK(BM_BatchZoneJobsWeather)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same rows' checks and calculations alone, to set the batch against.
void BM_BatchZoneRowsCalculationOnly(benchmark::State& state) {
    const int rows = 1000;
    std::istringstream csv(ZoneSchedule(rows));
    Csv::Reader reader(csv);
    Csv::Record header;
    reader.Next(header);
    std::vector<ZoneTexts> texts;
    for (Csv::Record r; reader.Next(r);) {
        ZoneTexts t;
        for (std::size_t i = 0; i < r.fields.size(); ++i) {
            t.*FindEntry<ZoneTexts, ZoneInputs>(kZoneFields, header.fields[i])->text = r.fields[i];
        }
        texts.push_back(t);
    }
    for (auto _ : state) {
        for (const ZoneTexts& t : texts) {
            const auto checks = ValidateZoneInputs(t);
            benchmark::DoNotOptimize(CalculateZone(*checks.inputs, t.activity));
        }
    }
    state.SetItemsProcessed(state.iterations() * rows);
}
BENCHMARK(BM_BatchZoneRowsCalculationOnly)->Unit(benchmark::kMillisecond);

} // namespace

// A job file's text both ways, as the command line reads and a save writes it.
void BM_WriteAndReadJob(benchmark::State& state) {
    const Job job = ZoneJob(InitialZoneTexts(), "Hotel pool hall", "Quote 117");
    for (auto _ : state) {
        const std::string text = WriteJob(job);
        benchmark::DoNotOptimize(ReadJob(text));
    }
}
BENCHMARK(BM_WriteAndReadJob)->Unit(benchmark::kMicrosecond);

namespace {

// A building of 200 rooms, zone and pool in turn, each of its own size.
Project BigProject() {
    Project project;
    project.title = "Leisure centre";
    for (int i = 0; i < 200; ++i) {
        Room room;
        room.name = "Room " + std::to_string(i + 1);
        room.quantity = 1 + i % 4;
        if (i % 2 == 0) {
            ZoneTexts texts = InitialZoneTexts();
            texts.occupancy = std::to_string(5 + i % 30);
            texts.volume = std::to_string(200 + 10 * i);
            room.job = ZoneJob(texts);
        } else {
            PoolTexts texts = InitialPoolTexts();
            texts.area = std::to_string(50 + i);
            room.job = PoolJob(texts);
        }
        project.rooms.push_back(std::move(room));
    }
    return project;
}

// Opening a project: its file read and every room recalculated, with the totals.
void BM_OpenAndRecalculateProject200(benchmark::State& state) {
    const std::string file = WriteProject(BigProject());
    for (auto _ : state) {
        const ProjectRead read = ReadProject(file);
        const std::vector<RoomResult> results = CalculateRooms(*read.project);
        benchmark::DoNotOptimize(TotalsOf(results));
    }
}
BENCHMARK(BM_OpenAndRecalculateProject200)->Unit(benchmark::kMillisecond);

void BM_WriteProject200(benchmark::State& state) {
    const Project project = BigProject();
    for (auto _ : state) {
        benchmark::DoNotOptimize(WriteProject(project));
    }
}
BENCHMARK(BM_WriteProject200)->Unit(benchmark::kMillisecond);

} // namespace

namespace {

// The texts moved in whole: GCC 12 takes assigning a literal here for an overlapping copy.
ZoneTexts YearZoneTexts() {
    ZoneTexts t = InitialZoneTexts();
    t.occupancy = std::string("10");
    t.ventRate = std::string("2");
    t.processGain = std::string("0.5");
    t.poolGain = std::string("12.5");
    return t;
}

// Reading the file from its bytes, with every design point worked out (under 20 ms).
void BM_ReadEpwWithDesignPoints(benchmark::State& state) {
    for (auto _ : state) {
        const Weather::EpwRead read = Weather::ReadEpw(ChicagoBytes());
        benchmark::DoNotOptimize(Weather::DesignPoints(*read.file));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(ChicagoBytes().size()));
}
BENCHMARK(BM_ReadEpwWithDesignPoints)->Unit(benchmark::kMillisecond);

// The same from the file, as the picker and the command line read it.
void BM_ReadEpwFileWithDesignPoints(benchmark::State& state) {
    for (auto _ : state) {
        const Weather::EpwRead read =
            Weather::ReadEpwFile(VARNELDH_WEATHER_DATA_DIR "/chicago.epw");
        benchmark::DoNotOptimize(Weather::DesignPoints(*read.file));
    }
}
BENCHMARK(BM_ReadEpwFileWithDesignPoints)->Unit(benchmark::kMillisecond);

// The year as the window runs it: checks, the design point, the ambient table,
// 8,760 hours and the summary (under 5 ms).
void BM_YearHourByHour(benchmark::State& state) {
    const ZoneTexts texts = YearZoneTexts();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Weather::RunYear(Chicago(), texts));
    }
    state.SetItemsProcessed(state.iterations() * 8760);
}
BENCHMARK(BM_YearHourByHour)->Unit(benchmark::kMillisecond);

// The ambient table alone: once per file and pressure.
void BM_YearAmbientTable(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(Weather::AmbientTable(Chicago(), 101.325));
    }
}
BENCHMARK(BM_YearAmbientTable)->Unit(benchmark::kMillisecond);

// One zone's year on a shared table, as each row of a batch over a weather file
// would run it: the checks, the design point, the pass and the summary.
void BM_YearOnSharedTable(benchmark::State& state) {
    const auto table = std::make_shared<const Weather::AmbientTable>(Chicago(), 101.325);
    const ZoneTexts texts = YearZoneTexts();
    for (auto _ : state) {
        benchmark::DoNotOptimize(Weather::RunYear(Chicago(), texts, table));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_YearOnSharedTable)->Unit(benchmark::kMicrosecond);

// The pass of multiply-adds alone.
void BM_YearPassOnly(benchmark::State& state) {
    const Weather::AmbientTable table(Chicago(), 101.325);
    const Weather::YearRun run = Weather::RunYear(Chicago(), YearZoneTexts());
    std::vector<double> totals;
    for (auto _ : state) {
        run.year->zone.Totals(table, totals);
        benchmark::DoNotOptimize(totals.data());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(table.Size()));
}
BENCHMARK(BM_YearPassOnly)->Unit(benchmark::kMicrosecond);

// A batch row's year: the one pass that gives the peak, the moisture load and
// the hours short with the design counts, keeping no hour.
void BM_DesignYearPass(benchmark::State& state) {
    const Weather::AmbientTable table(Chicago(), 101.325);
    const Weather::YearRun run = Weather::RunYear(Chicago(), YearZoneTexts());
    const auto units = Weather::DesignUnits(run.design->numbers);
    for (auto _ : state) {
        benchmark::DoNotOptimize(Weather::RunDesignYear(Chicago(), table, run.year->zone, units));
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(table.Size()));
}
BENCHMARK(BM_DesignYearPass)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
