// Reading and writing numbers: the whole input read as a field text, and the double
// whose bytes open the input, each written back in every pattern and read again.

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
    CheckWriting(read);

    if (size >= sizeof(double)) {
        double bits = 0;
        std::memcpy(&bits, data, sizeof bits);
        CheckWriting(bits);
    }
    return 0;
}
