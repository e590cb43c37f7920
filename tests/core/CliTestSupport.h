#pragma once

#include "cli/CalcCli.h"

#include <array>
#include <cstdio>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

// Running varneldh-calc from a test: in the test's own process, or the real
// program through a shell.
namespace {

struct CliRun {
    int status;
    std::string out;
    std::string err;
};

inline CliRun InProcess(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = CalcCli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

inline bool HasLine(const std::string& out, const std::string& line) {
    std::istringstream in(out);
    for (std::string l; std::getline(in, l);) {
        if (l == line) {
            return true;
        }
    }
    return false;
}

// A shell command line: its exit status and what it printed.
inline CliRun Shell(const std::string& command) {
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return {-1, {}, {}};
    }
    std::string out;
    std::array<char, 4096> buf{};
    while (std::fgets(buf.data(), buf.size(), pipe) != nullptr) {
        out += buf.data();
    }
    const int raw = pclose(pipe);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, out, {}};
}

// The real program: exit status and output through a shell, standard error
// after standard output.
inline CliRun Program(const std::string& args) {
    return Shell(std::string(VARNELDH_CALC_PATH) + " " + args + " 2>&1");
}

} // namespace
