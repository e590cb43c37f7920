#include "cli/CalcCli.h"

#include <iostream>

int main(int argc, char** argv) {
    // A batch writes a row at a time; unsynchronised streams keep that cheap.
    std::ios::sync_with_stdio(false);
    return CalcCli::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
