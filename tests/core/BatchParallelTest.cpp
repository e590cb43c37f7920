// The batch on several threads: the same bytes as on one, in bounded memory, and
// stopped part-way with nothing left behind; its progress line. These run under
// ThreadSanitizer too (label threads, the tsan preset).
#include "cli/Batch.h"
#include "cli/CalcCli.h"
#include "cli/Progress.h"
#include "core/weather/Epw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <optional>
#include <poll.h>
#include <sstream>
#include <streambuf>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct BatchRun {
    int status;
    std::string out;
    std::string err;
};

BatchRun RunIn(CalcCli::Calculation calc, const std::string& csv, CalcCli::BatchOptions options) {
    std::istringstream in(csv);
    std::ostringstream out;
    std::ostringstream err;
    const int status = CalcCli::RunBatch(calc, in, out, err, "in.csv", options);
    return {status, out.str(), err.str()};
}

// Every kind of row in turn, many blocks' worth: completed, envelope-rejected,
// refused, unreadable four ways, multi-line quoted cells, formula cells and a
// decimal comma.
std::string MixedZoneRows(int rows, const std::string& sep, const std::string& end) {
    std::string csv = "\xEF\xBB\xBFtxtOccupancy" + sep + "txttemp" + sep + "txtInfil" + sep +
                      "comboActivity" + end;
    for (int i = 0; i < rows; ++i) {
        const std::string n = std::to_string(i % 50);
        const std::string cells[] = {
            n + sep + "28" + sep + "1" + sep + "Office Work",
            n + sep + "12" + sep + "1" + sep + "Office Work",
            n + sep + "28" + sep + sep + "Social",
            n + sep + "28",
            "\"1" + end + n + "\"" + sep + "28" + sep + "1" + sep + "\"Multi" + end + "line\"",
            "=1+2" + sep + "\"28,5\"" + sep + "1" + sep + "@x",
            n + sep + "Caf\xE9" + sep + "1" + sep + "x",
            n + sep + "\"28\"x" + sep + "1" + sep + "y",
        };
        csv += cells[i % std::size(cells)] + end;
    }
    return csv;
}

std::string PoolRows(int rows) {
    std::string csv = "txttemp,txtOccupancy,cmbOccupancy2,txtpoolarea\n";
    for (int i = 0; i < rows; ++i) {
        csv += std::to_string(24 + i % 9) + "," + std::to_string(i % 30) + ",5," +
               (i % 11 == 0 ? "0.5" : std::to_string(10 + i % 90)) + (i % 13 == 0 ? ",9" : "") +
               "\n";
    }
    return csv;
}

// Rows at several pressures, each of which needs its own ambient table.
std::string PressureRows(int rows) {
    std::string csv = "txtPresskPa,txtOccupancy,txtVentrate\n";
    const char* pressures[] = {"101.325", "95", "101.325", "88.5", "70", "101.325", "104"};
    for (int i = 0; i < rows; ++i) {
        csv += std::string(pressures[i % std::size(pressures)]) + "," + std::to_string(i % 40) +
               "," + std::to_string(i % 5) + "\n";
    }
    return csv;
}

// Chicago's year, read once for the cases that add the year's columns.
const Weather::WeatherFile* Chicago() {
    static const std::optional<Weather::WeatherFile> file =
        Weather::ReadEpwFile(VARNELDH_WEATHER_DATA_DIR "/chicago.epw").file;
    return file ? &*file : nullptr;
}

struct SameBytesCase {
    const char* name;
    CalcCli::Calculation calc;
    std::string csv;
    bool raw = false;
    bool weather = false; // each row's year over Chicago's file too
};

class ParallelBatchTest : public testing::TestWithParam<SameBytesCase> {};

// Any number of threads writes what one writes: the rows, the reports on err in
// the input's order, the exit status.
TEST_P(ParallelBatchTest, SameBytesAsOneThread) {
    const SameBytesCase& c = GetParam();
    const Weather::WeatherFile* weather = c.weather ? Chicago() : nullptr;
    ASSERT_EQ(weather != nullptr, c.weather);
    const BatchRun one = RunIn(c.calc, c.csv, {.raw = c.raw, .jobs = 1, .weather = weather});
    ASSERT_GT(one.out.size(), 100'000u) << "blocks enough for every thread";
    for (const unsigned jobs : {2u, 4u, 7u}) {
        const BatchRun many =
            RunIn(c.calc, c.csv, {.raw = c.raw, .jobs = jobs, .weather = weather});
        EXPECT_EQ(many.status, one.status) << jobs;
        EXPECT_TRUE(many.out == one.out) << jobs << " threads: the rows differ";
        EXPECT_EQ(many.err, one.err) << jobs;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ParallelBatchTest,
    testing::Values(SameBytesCase{"MixedRowsCrLfSemicolons", CalcCli::Calculation::Zone,
                                  MixedZoneRows(800, ";", "\r\n")},
                    SameBytesCase{"MixedRowsCrAloneRaw", CalcCli::Calculation::Zone,
                                  MixedZoneRows(800, ",", "\r"), true},
                    SameBytesCase{"PoolRows", CalcCli::Calculation::Pool, PoolRows(700)},
                    SameBytesCase{"MixedRowsWithWeather", CalcCli::Calculation::Zone,
                                  MixedZoneRows(800, ";", "\r\n"), false, true},
                    SameBytesCase{"PressuresWithWeather", CalcCli::Calculation::Zone,
                                  PressureRows(700), false, true}),
    [](const testing::TestParamInfo<SameBytesCase>& info) { return std::string(info.param.name); });

// Rows made as they are read, each long enough that the reader's own buffer
// holds few of them.
class RowSource : public std::streambuf {
public:
    explicit RowSource(int rows) : rows_(rows) {
        line_ = "txtOccupancy,comboActivity\n";
        setg(line_.data(), line_.data(), line_.data() + line_.size());
    }
    int made = 0;

protected:
    int_type underflow() override {
        if (made == rows_) {
            return traits_type::eof();
        }
        ++made;
        line_ = std::to_string(made % 40) + "," + std::string(kPad, 'a') + "\n";
        setg(line_.data(), line_.data(), line_.data() + line_.size());
        return traits_type::to_int_type(line_[0]);
    }

public:
    static constexpr std::size_t kPad = 500;

private:
    int rows_;
    std::string line_;
};

// Counts the rows written, and the most rows read and not yet written.
class RowSink : public std::streambuf {
public:
    explicit RowSink(const RowSource& source) : source_(source) {}
    long written = -1; // the header is no row
    long mostAhead = 0;

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        written += std::count(s, s + n, '\n');
        mostAhead = std::max(mostAhead, source_.made - written);
        return n;
    }
    int_type overflow(int_type c) override {
        written += c == '\n' ? 1 : 0;
        return c;
    }

private:
    const RowSource& source_;
};

// However long the input, the rows read ahead of the output stay within the
// bound, plus what the reader's buffer holds: memory does not grow with the file.
TEST(ParallelBatch, RowsInFlightAreBounded) {
    const unsigned jobs = 4;
    const int rows = 6000;
    RowSource source(rows);
    RowSink sink(source);
    std::istream in(&source);
    std::ostream out(&sink);
    std::ostringstream err;
    EXPECT_EQ(CalcCli::RunBatch(CalcCli::Calculation::Zone, in, out, err, "in.csv", {.jobs = jobs}),
              CalcCli::kExitCompleted)
        << err.str();
    EXPECT_EQ(sink.written, rows);
    const long buffered = 64 * 1024 / static_cast<long>(RowSource::kPad) + 2;
    EXPECT_LE(sink.mostAhead, static_cast<long>(CalcCli::MaxRowsInFlight(jobs)) + buffered);
    EXPECT_LT(CalcCli::MaxRowsInFlight(jobs) + static_cast<std::size_t>(buffered),
              static_cast<std::size_t>(rows) / 2)
        << "a file long enough to tell";
}

// A clock the test moves.
struct FakeClock {
    CalcCli::Progress::Clock::time_point now{};
    void Advance(int ms) { now += std::chrono::milliseconds(ms); }
};

// Nothing for the first second; then a line every quarter second at most, drawn
// over itself, erased when asked and only then.
TEST(BatchProgress, DrawnAfterASecondAFewTimesASecondAndErased) {
    FakeClock clock;
    std::ostringstream err;
    CalcCli::Progress progress(err, 1000, [&clock] { return clock.now; });
    clock.Advance(999);
    progress.Update(10, 10);
    EXPECT_EQ(err.str(), "");
    clock.Advance(1);
    progress.Update(400, 250);
    EXPECT_EQ(err.str(), "\rvarneldh-calc: 400 rows done, 400 rows/s, 0:03 left\x1b[K");
    err.str("");
    clock.Advance(249);
    progress.Update(500, 300);
    EXPECT_EQ(err.str(), "");
    clock.Advance(1);
    progress.Update(500, 1000);
    EXPECT_EQ(err.str(), "\rvarneldh-calc: 500 rows done, 400 rows/s, 0:00 left\x1b[K");
    err.str("");
    progress.Clear();
    progress.Clear();
    EXPECT_EQ(err.str(), "\r\x1b[K");
}

struct ProgressTextCase {
    const char* name;
    std::size_t rows;
    std::uint64_t bytes;
    std::uint64_t inputBytes;
    double seconds;
    const char* text;
};

class ProgressTextTest : public testing::TestWithParam<ProgressTextCase> {};

TEST_P(ProgressTextTest, RowsRateAndTimeLeft) {
    const ProgressTextCase& c = GetParam();
    EXPECT_EQ(CalcCli::ProgressText(c.rows, c.bytes, c.inputBytes,
                                    std::chrono::duration<double>(c.seconds)),
              c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProgressTextTest,
    testing::Values(
        // The time left is the rest of the input at the rate so far, rounded up.
        ProgressTextCase{"Minutes", 70000, 1'000'000, 100'000'000, 1.0,
                         "70000 rows done, 70000 rows/s, 1:39 left"},
        ProgressTextCase{"Hours", 100, 100, 1'000'000, 2.0,
                         "100 rows done, 50 rows/s, 5:33:18 left"},
        ProgressTextCase{"SizeNotKnown", 1500, 9000, 0, 1.5, "1500 rows done, 1000 rows/s"},
        ProgressTextCase{"FileGrew", 10, 2000, 1000, 1.0, "10 rows done, 10 rows/s, 0:00 left"}),
    [](const testing::TestParamInfo<ProgressTextCase>& info) {
        return std::string(info.param.name);
    });

std::vector<std::string> Listing(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string ReadAllOf(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

bool WriteAll(int fd, const std::string& text) {
    return ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
}

std::filesystem::path FreshDir(const std::string& name) {
    const auto dir = std::filesystem::temp_directory_path() /
                     ("varneldh-" + name + "-" + std::to_string(::getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

// varneldh-calc batch zone on the rows of a pipe, its standard error on `errFd`.
pid_t StartBatch(const std::string& rows, const std::vector<std::string>& options, int errFd) {
    std::vector<std::string> args{"varneldh-calc", "batch", "zone", rows};
    args.insert(args.end(), options.begin(), options.end());
    const pid_t child = ::fork();
    if (child == 0) {
        // As from a terminal, whatever this test inherited.
        std::signal(SIGINT, SIG_DFL);
        std::signal(SIGTERM, SIG_DFL);
        ::dup2(errFd, STDERR_FILENO);
        std::vector<char*> argv;
        for (std::string& a : args) {
            argv.push_back(a.data());
        }
        argv.push_back(nullptr);
        ::execv(VARNELDH_CALC_PATH, argv.data());
        ::_exit(127);
    }
    return child;
}

// Rows of some 200 bytes: an activity not in the list, taken as typed.
std::string ZoneRows(int rows) {
    std::string text;
    for (int i = 0; i < rows; ++i) {
        text += std::to_string(i % 40) + ",2," + std::string(200, 'a') + "\n";
    }
    return text;
}

constexpr const char* kZoneHeader = "txtOccupancy,txtVentrate,comboActivity\n";

// Stopped by a signal while its threads are calculating and rows are being
// written, a parallel batch leaves the earlier output and no temporary file.
TEST(ParallelBatchProgram, SignalLeavesTheEarlierOutput) {
    for (const int signal : {SIGINT, SIGTERM}) {
        const auto dir = FreshDir("parallel-signal");
        const std::string rows = (dir / "rows").string();
        const auto out = dir / "out.csv";
        ASSERT_EQ(::mkfifo(rows.c_str(), 0600), 0);
        std::ofstream(out) << "earlier\n";
        const pid_t child = StartBatch(rows, {"-o", out.string(), "--jobs", "4"}, STDERR_FILENO);
        ASSERT_GT(child, 0);
        const int writer = ::open(rows.c_str(), O_WRONLY);
        ASSERT_GE(writer, 0);
        // More than the reader takes at once (64 KiB), so that it starts.
        EXPECT_TRUE(WriteAll(writer, kZoneHeader + ZoneRows(2000)));
        // Until rows have gone through the threads into the temporary file; the
        // pipe stays open, so the run is part-way.
        std::uintmax_t written = 0;
        for (int i = 0; i < 3000 && written == 0; ++i) {
            for (const std::string& name : Listing(dir)) {
                if (name.rfind(".out.csv.", 0) == 0) {
                    std::error_code ec;
                    written = std::filesystem::file_size(dir / name, ec);
                }
            }
            ::usleep(10000);
        }
        EXPECT_GT(written, 0u);
        ::kill(child, signal);
        int raw = 0;
        ::waitpid(child, &raw, 0);
        ::close(writer);
        EXPECT_TRUE(WIFSIGNALED(raw) && WTERMSIG(raw) == signal) << raw;
        EXPECT_EQ(ReadAllOf(out), "earlier\n");
        EXPECT_EQ(Listing(dir), (std::vector<std::string>{"out.csv", "rows"}));
        std::filesystem::remove_all(dir);
    }
}

// What a batch fed slowly, longer than a second, writes to standard error: on
// a terminal (a pseudo-terminal here), through a pipe, and with --quiet.
std::string SlowBatchErr(bool terminal, const std::vector<std::string>& options) {
    const auto dir = FreshDir("progress");
    const std::string rows = (dir / "rows").string();
    EXPECT_EQ(::mkfifo(rows.c_str(), 0600), 0);
    int readFd = -1;
    int errFd = -1;
    if (terminal) {
        readFd = ::posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(readFd, 0);
        EXPECT_EQ(::grantpt(readFd), 0);
        EXPECT_EQ(::unlockpt(readFd), 0);
        errFd = ::open(::ptsname(readFd), O_RDWR | O_NOCTTY);
    } else {
        std::array<int, 2> fds{};
        EXPECT_EQ(::pipe(fds.data()), 0);
        readFd = fds[0];
        errFd = fds[1];
    }
    EXPECT_GE(errFd, 0);
    std::vector<std::string> all{"-o", (dir / "out.csv").string()};
    all.insert(all.end(), options.begin(), options.end());
    const pid_t child = StartBatch(rows, all, errFd);
    const int writer = ::open(rows.c_str(), O_WRONLY);
    // Each part more than the reader takes at once (64 KiB), so that it is read
    // when written.
    EXPECT_TRUE(WriteAll(writer, kZoneHeader + ZoneRows(400)));
    ::usleep(1'300'000);
    EXPECT_TRUE(WriteAll(writer, ZoneRows(400)));
    ::usleep(300'000);
    EXPECT_TRUE(WriteAll(writer, ZoneRows(50)));
    ::close(writer);
    int raw = 0;
    ::waitpid(child, &raw, 0);
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << raw;
    // The child is gone; this end of the terminal or pipe is still open here.
    ::close(errFd);
    std::string got;
    std::array<char, 4096> buf{};
    for (pollfd p{readFd, POLLIN, 0}; ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN) != 0;) {
        const ssize_t n = ::read(readFd, buf.data(), buf.size());
        if (n <= 0) {
            break;
        }
        got.append(buf.data(), static_cast<std::size_t>(n));
    }
    ::close(readFd);
    std::filesystem::remove_all(dir);
    return got;
}

TEST(ParallelBatchProgram, ProgressLineOnlyOnATerminal) {
    for (const char* jobs : {"1", "2"}) {
        const std::string shown = SlowBatchErr(true, {"--jobs", jobs});
        EXPECT_NE(shown.find(" rows done, "), std::string::npos) << jobs << ": " << shown;
        // Erased at the end: nothing follows the erasure.
        EXPECT_EQ(shown.size() - shown.rfind("\r\x1b[K"), 4u) << shown;
    }
    EXPECT_EQ(SlowBatchErr(true, {"--jobs", "2", "--quiet"}), "");
    EXPECT_EQ(SlowBatchErr(false, {"--jobs", "1"}), "");
}

} // namespace
