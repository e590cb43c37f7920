#include "cli/Batch.h"

#include "cli/CalcCli.h"
#include "cli/MessageText.h"
#include "cli/Progress.h"
#include "cli/YearFigures.h"
#include "core/common/NumberText.h"
#include "core/csv/Csv.h"
#include "core/weather/Year.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <sched.h>
#include <string_view>
#include <thread>

namespace CalcCli {
namespace {

constexpr std::string_view kUnreadable = "Unreadable";

// A block is what a thread takes at once: rows enough that passing it on costs
// little beside calculating them (some 25 µs a row), few enough that a short
// file still spreads over the threads. Its input is capped too, as a record may
// be long.
constexpr std::size_t kBlockRows = 128;
constexpr std::size_t kBlockBytes = std::size_t{1} << 20;
// Blocks in flight a thread: one being calculated, one waiting for it.
constexpr std::size_t kBlocksPerJob = 2;

// What every row is worked out with.
struct Layout {
    Calculation calc;
    std::vector<int> columns; // the entry each column sets
    std::vector<std::string> initial;
    std::span<const ResultSpec> results;
    char sep = ',';
    std::string_view lineEnd;
    std::string inputName; // as messages print it
    bool raw = false;
    // With a weather file: its ambient tables, shared read-only by every thread.
    const Weather::WeatherFile* weather = nullptr;
    std::unique_ptr<Weather::AmbientTables> tables;

    std::size_t Width() const {
        return columns.size() + 4 + results.size() + (weather ? kYearColumns.size() : 0);
    }
};

// The year's figures of a completed zone run into its row's last cells.
void WriteYear(const Layout& layout, const CalcReport::ZoneRun& zone,
               std::vector<std::string>& row) {
    const ZoneNumbers& design = zone.result.numbers;
    const Weather::YearZone year(zone.inputs, design);
    const auto table = layout.tables->At(zone.inputs.pressure);
    auto cells = YearCells(
        Weather::RunDesignYear(*layout.weather, *table, year, Weather::DesignUnits(design)));
    std::move(cells.begin(), cells.end(), row.end() - static_cast<std::ptrdiff_t>(cells.size()));
}

int HeaderError(std::ostream& err, const std::string& inputName, const std::string& reason) {
    err << "varneldh-calc: " << Printable(inputName) << " line 1: " << reason << "\n";
    return kExitUsage;
}

int Stopped(std::ostream& err, const std::string& inputName, const Csv::Reader& reader) {
    err << "varneldh-calc: " << Printable(inputName) << " " << reader.Stopped() << "\n";
    return kExitNoLineEnd;
}

// The record with every cell a spreadsheet would run as a formula made text
// (OWASP's advice on CSV injection).
void Append(std::string& out, std::vector<std::string>& row, const Layout& layout) {
    if (!layout.raw) {
        for (std::string& cell : row) {
            if (Csv::RunsAsFormula(cell, layout.sep)) {
                cell.insert(0, 1, '\'');
            }
        }
    }
    Csv::AppendRecord(out, row, layout.sep, layout.lineEnd);
}

// Appends the record's output row to `out`, and for a record that cannot be read
// its report to `err`; returns whether it was read. `row` is room to work in.
// Rows share nothing, so any thread may work out any of them.
bool WorkOut(const Layout& layout, Csv::Record& record, std::vector<std::string>& row,
             std::string& out, std::string& err) {
    const std::size_t width = layout.columns.size();
    if (record.error.empty() && record.fields.size() != width) {
        record.error = std::to_string(record.fields.size()) + " fields where the header has " +
                       std::to_string(width);
    }
    row.assign(layout.Width(), std::string());
    if (!record.error.empty()) {
        const std::string message = "line " + std::to_string(record.line) + ": " + record.error;
        err.append("varneldh-calc: ").append(layout.inputName).append(" ").append(message);
        err += '\n';
        for (std::size_t i = 0; i < width && i < record.fields.size(); ++i) {
            row[i] = Csv::ToValidUtf8(record.fields[i]);
        }
        row[width] = kUnreadable;
        row[width + 1] = message;
        Append(out, row, layout);
        return false;
    }
    std::vector<std::string> texts = layout.initial;
    for (std::size_t i = 0; i < width; ++i) {
        texts[static_cast<std::size_t>(layout.columns[i])] = record.fields[i];
    }
    JobRun run =
        RunJob(layout.calc, std::move(texts), {.decimalComma = layout.sep == ';', .events = false});
    for (std::size_t i = 0; i < width; ++i) {
        row[i] = std::move(record.fields[i]);
    }
    row[width] = std::move(run.outcome);
    row[width + 1] = run.message.value_or(std::string());
    row[width + 2] = std::move(run.messageField);
    for (std::size_t i = 0; i < run.warnings.size(); ++i) {
        row[width + 3] += (i > 0 ? "\n" : "") + run.warnings[i];
    }
    for (std::size_t i = 0; i < layout.results.size(); ++i) {
        row[width + 4 + i] = std::move(run.resultTexts[i]);
    }
    if (layout.weather && run.zoneRun) {
        WriteYear(layout, *run.zoneRun, row);
    }
    Append(out, row, layout);
    return true;
}

// Rows read in a run, and what working them out wrote.
struct Block {
    std::vector<Csv::Record> records; // the first `count` are this block's; the rest is room
    std::size_t count = 0;
    std::uint64_t endOffset = 0; // the input read up to the block's end
    std::string out;
    std::string err;
    std::exception_ptr error;
    bool failed = false; // some row could not be read
    bool done = false;
};

void WorkOut(const Layout& layout, Block& block, std::vector<std::string>& row) {
    block.out.clear();
    block.err.clear();
    block.failed = false;
    for (std::size_t i = 0; i < block.count; ++i) {
        block.failed =
            !WorkOut(layout, block.records[i], row, block.out, block.err) || block.failed;
    }
}

// The threads that work out blocks, and the queue that feeds them. Which thread
// takes a block decides nothing about the output: the caller writes blocks in
// the order it read them.
class Workers {
public:
    Workers(const Layout& layout, unsigned threads) : layout_(layout) {
        for (unsigned i = 0; i < threads; ++i) {
            threads_.emplace_back([this] { Work(); });
        }
    }

    // Stops the threads, leaving blocks not started as they are.
    ~Workers() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        ready_.notify_all();
        threads_.clear();
    }

    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    void Submit(Block& block) {
        {
            const std::lock_guard lock(mutex_);
            block.done = false;
            queue_.push_back(&block);
        }
        ready_.notify_one();
    }

    // Whether the block is worked out, waiting up to `timeout` for it.
    bool WaitFor(Block& block, Progress::Clock::duration timeout) {
        std::unique_lock lock(mutex_);
        return finished_.wait_for(lock, timeout, [&block] { return block.done; });
    }

private:
    void Work() {
        std::vector<std::string> row;
        std::unique_lock lock(mutex_);
        for (;;) {
            ready_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            Block& block = *queue_.front();
            queue_.pop_front();
            lock.unlock();
            try {
                WorkOut(layout_, block, row);
            } catch (...) {
                block.error = std::current_exception();
            }
            lock.lock();
            block.done = true;
            finished_.notify_all();
        }
    }

    const Layout& layout_;
    std::mutex mutex_;
    std::condition_variable ready_;    // a block queued, or stopping
    std::condition_variable finished_; // a block worked out
    std::deque<Block*> queue_;
    bool stopping_ = false;
    std::vector<std::jthread> threads_; // last: the rest is there before they start
};

// What goes out, in the input's order, and the progress line beside it.
class Output {
public:
    Output(std::ostream& out, std::ostream& err, std::optional<Progress>& progress)
        : out_(out), err_(err), progress_(progress) {}

    void Row(const std::string& text) { out_.write(text.data(), std::streamsize(text.size())); }

    void Report(const std::string& text) {
        if (progress_) {
            progress_->Clear();
        }
        err_ << text;
    }

    void Written(std::size_t rows, std::uint64_t offset) {
        rows_ += rows;
        offset_ = offset;
        Tick();
    }

    void Tick() {
        if (progress_) {
            progress_->Update(rows_, offset_);
        }
    }

    void Done() {
        if (progress_) {
            progress_->Clear();
        }
    }

private:
    std::ostream& out_;
    std::ostream& err_;
    std::optional<Progress>& progress_;
    std::size_t rows_ = 0;
    std::uint64_t offset_ = 0;
};

// The reference path: each row read, worked out and written in turn.
bool OneByOne(const Layout& layout, Csv::Reader& reader, Output& output) {
    bool someFailed = false;
    Csv::Record record;
    std::vector<std::string> row;
    std::string text;
    std::string report;
    while (reader.Next(record)) {
        text.clear();
        report.clear();
        if (!WorkOut(layout, record, row, text, report)) {
            someFailed = true;
            output.Report(report);
        }
        output.Row(text);
        output.Written(1, reader.Offset());
    }
    return someFailed;
}

// Blocks of rows worked out by `jobs` threads and written in the order read, at
// most kBlocksPerJob a thread in flight.
bool InBlocks(const Layout& layout, Csv::Reader& reader, Output& output, unsigned jobs) {
    bool someFailed = false;
    std::deque<std::unique_ptr<Block>> inFlight; // in the input's order
    std::vector<std::unique_ptr<Block>> spare;
    // Declared after the blocks: the threads stop before the blocks go.
    Workers workers(layout, jobs);

    // Writes blocks from the front until at most `keep` are in flight, then those
    // already worked out.
    const auto writeUntil = [&](std::size_t keep) {
        while (!inFlight.empty()) {
            Block& block = *inFlight.front();
            if (inFlight.size() > keep) {
                while (!workers.WaitFor(block, Progress::kInterval)) {
                    output.Tick();
                }
            } else if (!workers.WaitFor(block, {})) {
                return;
            }
            if (block.error) {
                std::rethrow_exception(block.error);
            }
            if (!block.err.empty()) {
                output.Report(block.err);
            }
            output.Row(block.out);
            output.Written(block.count, block.endOffset);
            someFailed = someFailed || block.failed;
            spare.push_back(std::move(inFlight.front()));
            inFlight.pop_front();
        }
    };

    const std::size_t maxBlocks = kBlocksPerJob * jobs;
    for (bool more = true; more;) {
        writeUntil(maxBlocks - 1);
        std::unique_ptr<Block> block;
        if (spare.empty()) {
            block = std::make_unique<Block>();
        } else {
            block = std::move(spare.back());
            spare.pop_back();
        }
        block->count = 0;
        for (std::uint64_t from = reader.Offset();
             block->count < kBlockRows && reader.Offset() - from < kBlockBytes;) {
            if (block->records.size() == block->count) {
                block->records.emplace_back();
            }
            if (!reader.Next(block->records[block->count])) {
                more = false;
                break;
            }
            ++block->count;
        }
        block->endOffset = reader.Offset();
        if (block->count > 0) {
            workers.Submit(*block);
            inFlight.push_back(std::move(block));
        }
    }
    writeUntil(0);
    return someFailed;
}

} // namespace

unsigned DefaultJobs() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) {
            return static_cast<unsigned>(count);
        }
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

std::size_t MaxRowsInFlight(unsigned jobs) {
    return jobs <= 1 ? 1 : kBlocksPerJob * jobs * kBlockRows;
}

int RunBatch(Calculation calc, std::istream& in, std::ostream& out, std::ostream& err,
             const std::string& inputName, BatchOptions options) {
    Csv::Reader reader(in);
    Csv::Record record;
    if (!reader.Next(record)) {
        if (!reader.Stopped().empty()) {
            return Stopped(err, inputName, reader);
        }
        return HeaderError(err, inputName, "no header row naming the entry fields");
    }
    if (!record.error.empty()) {
        return HeaderError(err, inputName, "the header row is unreadable: " + record.error);
    }
    Layout layout{.calc = calc,
                  .columns = {},
                  .initial = InitialEntryTexts(calc),
                  .results = Results(calc),
                  .sep = reader.Separator(),
                  .lineEnd = reader.LineEnd(),
                  .inputName = Printable(inputName),
                  .raw = options.raw,
                  .weather = options.weather,
                  .tables = {}};
    if (options.weather) {
        // Most schedules keep one pressure: its table is made before the rows.
        layout.tables = std::make_unique<Weather::AmbientTables>(
            *options.weather, NumberText::ReadNumber(InitialZoneTexts().pressure));
    }
    for (const std::string& name : record.fields) {
        const int index = EntryIndex(calc, name);
        if (index < 0) {
            return HeaderError(err, inputName,
                               "unknown " + std::string(CalculationName(calc)) + " field '" +
                                   Printable(name) + "' in the header");
        }
        if (std::find(layout.columns.begin(), layout.columns.end(), index) !=
            layout.columns.end()) {
            return HeaderError(err, inputName, "field '" + Printable(name) + "' has two columns");
        }
        layout.columns.push_back(index);
    }

    if (reader.HadByteOrderMark()) {
        out << "\xEF\xBB\xBF";
    }
    std::vector<std::string> row = record.fields;
    for (const char* name : {"outcome", "message", "message_field", "warnings"}) {
        row.emplace_back(name);
    }
    for (const ResultSpec& r : layout.results) {
        row.emplace_back(r.name);
    }
    if (layout.weather) {
        row.insert(row.end(), kYearColumns.begin(), kYearColumns.end());
    }
    std::string header;
    Append(header, row, layout);

    std::optional<Progress> progress;
    if (options.progress) {
        progress.emplace(err, options.inputBytes);
    }
    Output output(out, err, progress);
    output.Row(header);
    const bool someFailed = options.jobs <= 1 ? OneByOne(layout, reader, output)
                                              : InBlocks(layout, reader, output, options.jobs);
    output.Done();
    if (!reader.Stopped().empty()) {
        return Stopped(err, inputName, reader);
    }
    return someFailed ? kExitSomeRowsFailed : kExitCompleted;
}

} // namespace CalcCli
