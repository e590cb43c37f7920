#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The varneldh-calc command: runs calculations from field texts given as
// FIELD=TEXT, or from the rows of a CSV file, and prints what the screen would
// show.
namespace CalcCli {

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitRejected = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitSomeRowsFailed = 3; // batch: a row could not be read
inline constexpr int kExitNoLineEnd = 4;      // batch: the input stopped having line ends
inline constexpr int kExitWeatherRefused = 5; // weather, year: the weather file is refused
inline constexpr int kExitUsage = 64;
inline constexpr int kExitDataError = 65;  // the job file is refused
inline constexpr int kExitNoInput = 66;    // the input file cannot be opened
inline constexpr int kExitCantCreate = 73; // the output file cannot be created
inline constexpr int kExitIoError = 74;    // writing the output failed

// args excludes the program name.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace CalcCli
