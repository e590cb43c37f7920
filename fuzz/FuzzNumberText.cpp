// Reading and writing numbers: the whole input read as a field text, and the double
// whose bytes open the input, each written back in every pattern and read again;
// whether the text was read whole agrees with the value read.

#include "FuzzChecks.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

using namespace FuzzChecks;

namespace {

void CheckWriting(double value) {
    for (int decimals = 0; decimals <= 4; ++decimals) {
        const std::string fixed = NumberText::FormatFixed(value, decimals);
        Require(!HasNonFiniteWord(fixed) && OnlyNumberCharacters(fixed), "FormatFixed(", value,
                ", ", decimals, ") gives '", fixed, "'");
        CheckFixedText("FormatFixed", fixed, value, decimals);
    }
    const std::string general = NumberText::FormatGeneral(value);
    Require(!HasNonFiniteWord(general), "FormatGeneral(", value, ") gives '", general, "'");
    CheckGeneralText("FormatGeneral", general, value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const double read = NumberText::ReadNumber(text);
    Require(!std::isnan(read), "'", text, "' reads as NaN");
    // Reading with the rest told gives the same value; a text read whole is no
    // longer whole with a letter after it, and a number written reads whole.
    const NumberText::Reading reading = NumberText::Read(text);
    Require(std::memcmp(&reading.value, &read, sizeof read) == 0, "'", text,
            "' reads otherwise with the rest told");
    if (reading.whole) {
        Require(!NumberText::Read(std::string(text) + "x").whole, "'", text, "x' reads whole");
    }
    const std::string general = NumberText::FormatGeneral(read);
    Require(general.empty() || NumberText::Read(general).whole, "'", general, "' not read whole");
    CheckWriting(read);

    if (size >= sizeof(double)) {
        double bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        CheckWriting(bits);
    }
    return 0;
}
