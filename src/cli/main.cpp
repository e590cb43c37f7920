#include "cli/CalcCli.h"
#include "cli/FdOutput.h"

#include <cerrno>
#include <iostream>
#include <system_error>
#include <unistd.h>

int main(int argc, char** argv) {
    // A batch reads a row at a time; unsynchronised streams keep that cheap.
    std::ios::sync_with_stdio(false);
    // Standard output through a buffer that keeps the reason of a failed write.
    CalcCli::FdOutput buffer(STDOUT_FILENO);
    std::ostream out(&buffer);
    int status = CalcCli::Run(std::vector<std::string>(argv + 1, argv + argc), out, std::cerr,
                              ::isatty(STDERR_FILENO) == 1);
    // Some file systems tell of a failed write only when the file is closed. A
    // standard output closed from the start fails only if written to.
    if (::close(STDOUT_FILENO) != 0 && errno != EBADF && status != CalcCli::kExitIoError) {
        std::cerr << "varneldh-calc: writing standard output failed: "
                  << std::generic_category().message(errno) << "\n";
        status = CalcCli::kExitIoError;
    }
    return status;
}
