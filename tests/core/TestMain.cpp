#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <stdexcept>

// The engine suites run under the locale of the environment, C and C++ alike, so
// that the locale tests (tests/CMakeLists.txt) put them under a decimal-comma
// locale for real.
int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    try {
        std::locale::global(std::locale(""));
    } catch (const std::runtime_error&) {
        // A locale named in the environment but not installed: stay with "C".
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
