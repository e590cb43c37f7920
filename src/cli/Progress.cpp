#include "cli/Progress.h"

#include <algorithm>
#include <cmath>
#include <ostream>

namespace CalcCli {
namespace {

// Back to the line's start, and everything after the cursor cleared: a shorter
// line leaves nothing of a longer one.
constexpr const char* kToStart = "\r";
constexpr const char* kClearToEnd = "\x1b[K";

// h:mm:ss, or m:ss under an hour. Appended piece by piece: GCC 12 at -O3 takes a
// literal plus a string for an overlapping copy (-Wrestrict).
std::string Duration(double seconds) {
    const auto whole = static_cast<long long>(std::ceil(std::max(seconds, 0.0)));
    std::string text;
    const auto two = [&text](long long n) {
        text.append(":").append(n < 10 ? "0" : "").append(std::to_string(n));
    };
    if (whole >= 3600) {
        text.append(std::to_string(whole / 3600));
        two(whole / 60 % 60);
    } else {
        text.append(std::to_string(whole / 60));
    }
    two(whole % 60);
    return text;
}

} // namespace

std::string ProgressText(std::size_t rows, std::uint64_t bytes, std::uint64_t inputBytes,
                         std::chrono::duration<double> elapsed) {
    const double seconds = elapsed.count();
    std::string text = std::to_string(rows);
    text.append(" rows done");
    if (seconds > 0) {
        text.append(", ")
            .append(std::to_string(std::llround(static_cast<double>(rows) / seconds)))
            .append(" rows/s");
    }
    if (inputBytes > 0 && bytes > 0 && seconds > 0) {
        // A file that grows while it is read has no time left to tell.
        const double left = static_cast<double>(inputBytes > bytes ? inputBytes - bytes : 0);
        text.append(", ")
            .append(Duration(left * seconds / static_cast<double>(bytes)))
            .append(" left");
    }
    return text;
}

Progress::Progress(std::ostream& err, std::uint64_t inputBytes,
                   std::function<Clock::time_point()> now)
    : err_(err), inputBytes_(inputBytes), now_(std::move(now)), start_(now_()) {}

void Progress::Update(std::size_t rows, std::uint64_t bytes) {
    const Clock::time_point now = now_();
    if (now - start_ < kDelay || (everShown_ && now - drawn_ < kInterval)) {
        return;
    }
    err_ << kToStart << "varneldh-calc: " << ProgressText(rows, bytes, inputBytes_, now - start_)
         << kClearToEnd << std::flush;
    drawn_ = now;
    shown_ = true;
    everShown_ = true;
}

void Progress::Clear() {
    if (shown_) {
        err_ << kToStart << kClearToEnd << std::flush;
        shown_ = false;
    }
}

} // namespace CalcCli
