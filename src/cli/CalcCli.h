#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// The varneldh-calc command: runs one calculation from field texts given as
// FIELD=TEXT and prints what the screen would show, one event a line.
namespace CalcCli {

inline constexpr int kExitCompleted = 0;
inline constexpr int kExitRejected = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitUsage = 64;

// args excludes the program name.
int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace CalcCli
