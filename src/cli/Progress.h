#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>

namespace CalcCli {

// The line a long batch keeps on a terminal: rows done, rows a second and, when
// the input's size is known, the time left. It appears once the batch has run
// for kDelay, is redrawn every kInterval at most, and is erased before any other
// line is written to the same stream and at the end.
class Progress {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr Clock::duration kDelay = std::chrono::seconds(1);
    static constexpr Clock::duration kInterval = std::chrono::milliseconds(250);

    // `inputBytes` is the input's size, 0 when it is not known (a pipe). The
    // clock starts now.
    Progress(std::ostream& err, std::uint64_t inputBytes,
             std::function<Clock::time_point()> now = Clock::now);

    // The rows written so far and the input bytes they took; draws when due.
    void Update(std::size_t rows, std::uint64_t bytes);
    // Erases the line, when it is drawn.
    void Clear();

private:
    std::ostream& err_;
    std::uint64_t inputBytes_;
    std::function<Clock::time_point()> now_;
    Clock::time_point start_;
    Clock::time_point drawn_;
    bool shown_ = false;
    bool everShown_ = false;
};

// The line's text after `elapsed`: "12000 rows done, 40000 rows/s, 0:07 left",
// without the time left when the input's size is 0 (not known) or nothing is
// read yet.
std::string ProgressText(std::size_t rows, std::uint64_t bytes, std::uint64_t inputBytes,
                         std::chrono::duration<double> elapsed);

} // namespace CalcCli
