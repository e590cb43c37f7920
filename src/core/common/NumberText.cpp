#include "core/common/NumberText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <system_error>

namespace NumberText {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The digits of a number, without sign or point, and where the point stands:
// value = 0.d1d2d3... x 10^pointPos, i.e. pointPos digits stand before the point.
struct Digits {
    bool negative = false;
    std::string digits;
    int pointPos = 0;
};

// Number of binary digits after the point in the exact value of x (0 for whole
// numbers). The exact decimal expansion has exactly that many fraction digits.
int FractionBits(double x) {
    int exp = 0;
    const double m = std::frexp(std::fabs(x), &exp);
    auto mant = static_cast<std::uint64_t>(std::ldexp(m, 53));
    if (mant == 0) {
        return 0;
    }
    const int lowBit = exp - 53 + std::countr_zero(mant);
    return lowBit < 0 ? -lowBit : 0;
}

// The exact decimal digits of a finite value.
Digits ExactDigits(double x) {
    Digits d;
    d.negative = std::signbit(x);
    const double a = std::fabs(x);
    const int frac = FractionBits(a);
    // 309 integer digits at most, 1074 fraction digits at most.
    char buf[1500];
    const auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::fixed, frac);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto dot = text.find('.');
    const std::string_view intPart = text.substr(0, dot);
    d.digits.assign(intPart);
    if (dot != std::string_view::npos) {
        d.digits.append(text.substr(dot + 1));
    }
    d.pointPos = static_cast<int>(intPart.size());
    // Strip leading zeros so that the first digit is significant (or none are left).
    std::size_t lead = 0;
    while (lead < d.digits.size() && d.digits[lead] == '0') {
        ++lead;
    }
    d.digits.erase(0, lead);
    d.pointPos -= static_cast<int>(lead);
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    if (d.digits.empty()) {
        d.pointPos = 0;
    }
    return d;
}

// Keeps the first `keep` digits (keep may be <= 0), rounding half away from zero:
// with exact digits, the rest is at least one half exactly when the first dropped
// digit is 5 or more.
void RoundToDigits(Digits& d, int keep) {
    if (keep >= static_cast<int>(d.digits.size())) {
        return;
    }
    bool up = false;
    if (keep >= 0) {
        up = d.digits[static_cast<std::size_t>(keep)] >= '5';
        d.digits.resize(static_cast<std::size_t>(keep));
    } else {
        d.digits.clear();
    }
    if (up) {
        int i = static_cast<int>(d.digits.size()) - 1;
        while (i >= 0 && d.digits[static_cast<std::size_t>(i)] == '9') {
            d.digits[static_cast<std::size_t>(i)] = '0';
            --i;
        }
        if (i >= 0) {
            ++d.digits[static_cast<std::size_t>(i)];
        } else {
            // All nines (or nothing kept): a new leading 1 one place up.
            d.digits.insert(d.digits.begin(), '1');
            ++d.pointPos;
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0') {
        d.digits.pop_back();
    }
    if (d.digits.empty()) {
        d.pointPos = 0;
    }
}

// The digit at decimal place `pos` (0 = first digit before the point, -1 = first after).
char DigitAt(const Digits& d, int placeFromPoint) {
    // Index in d.digits of the digit whose place value is 10^(pointPos - 1 - index).
    const int index = d.pointPos - 1 - placeFromPoint;
    if (index < 0 || index >= static_cast<int>(d.digits.size())) {
        return '0';
    }
    return d.digits[static_cast<std::size_t>(index)];
}

std::string Positional(const Digits& d, int decimals) {
    std::string out;
    if (d.negative && !d.digits.empty()) {
        out += '-';
    }
    const int topPlace = d.pointPos > 0 ? d.pointPos - 1 : 0;
    for (int place = topPlace; place >= 0; --place) {
        out += DigitAt(d, place);
    }
    if (decimals > 0) {
        out += '.';
        for (int place = -1; place >= -decimals; --place) {
            out += DigitAt(d, place);
        }
    }
    return out;
}

// For a number text that a double cannot hold: true when it is too large, false
// when too small. Decided by the decimal exponent of its first significant digit.
bool Overflows(std::string_view number) {
    const auto e = number.find_first_of("eE");
    const std::string_view mantissa = number.substr(0, e);
    long long exponent = 0;
    if (e != std::string_view::npos) {
        std::size_t j = e + 1;
        const bool minus = j < number.size() && number[j] == '-';
        if (j < number.size() && (number[j] == '+' || number[j] == '-')) {
            ++j;
        }
        for (; j < number.size(); ++j) {
            // Saturate: anything this far out is out of range either way.
            exponent = std::min(exponent * 10 + (number[j] - '0'), 1'000'000'000LL);
        }
        if (minus) {
            exponent = -exponent;
        }
    }
    const auto dot = mantissa.find('.');
    const auto intDigits = static_cast<long long>(std::min(dot, mantissa.size()));
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string_view::npos) {
        return false;
    }
    const long long place = static_cast<long long>(first) < intDigits
                                ? intDigits - 1 - static_cast<long long>(first)
                                : intDigits - static_cast<long long>(first);
    return place + exponent >= 0;
}

// The value rounded to 15 significant digits, half away from zero.
Digits FifteenDigits(double value) {
    const double a = std::fabs(value);
    if (a != 0 && std::isfinite(a)) {
        char buf[64];
        const auto res = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 14);
        const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
        const auto e = text.find('e');
        int exponent = 0;
        std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(),
                        exponent);
        // The exact value has 16 significant digits, the last a 5, only when its
        // fraction bits reach one place past the 15th digit; whole numbers below
        // 1e15 have at most 15 digits.
        const int frac = FractionBits(a);
        const bool maybeTie =
            frac == 0 ? a >= 1e15 : (frac == 15 - exponent || frac == 16 - exponent);
        if (res.ec == std::errc() && !maybeTie) {
            Digits d;
            d.negative = std::signbit(value);
            d.digits.push_back(text[0]);
            d.digits.append(text.substr(2, e - 2));
            d.pointPos = exponent + 1;
            while (!d.digits.empty() && d.digits.back() == '0') {
                d.digits.pop_back();
            }
            return d;
        }
    }
    Digits d = ExactDigits(value);
    RoundToDigits(d, 15);
    return d;
}

// Texts in whole-number arithmetic, for the values results take: the exact
// value times 10^decimals is mantissa x 5^decimals x 2^-shift, rounded half away
// from zero by the bits shifted out. The same texts as the digit-by-digit way,
// at a fraction of the cost of the library's arbitrary-precision printing.
__extension__ typedef unsigned __int128 Wide;
constexpr int kMostWholeDecimals = 19; // 5^19 < 2^45: the product stays under 2^98

// |value| x 10^decimals rounded half away from zero, for a product under 10^18.
std::uint64_t RoundedUnits(double a, int decimals) {
    static constexpr auto kFives = [] {
        std::array<std::uint64_t, kMostWholeDecimals + 1> fives{};
        std::uint64_t f = 1;
        for (std::uint64_t& x : fives) {
            x = f;
            f *= 5;
        }
        return fives;
    }();
    const auto bits = std::bit_cast<std::uint64_t>(a);
    const int biased = static_cast<int>(bits >> 52);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    const std::uint64_t mantissa = biased == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
    const int exponent = (biased == 0 ? 1 : biased) - 1075; // a = mantissa x 2^exponent
    const Wide scaled = Wide{mantissa} * kFives[static_cast<std::size_t>(decimals)];
    const int shift = -(exponent + decimals);
    if (shift <= 0) {
        return static_cast<std::uint64_t>(scaled << -shift);
    }
    if (shift >= 127) {
        return 0;
    }
    const Wide whole = scaled >> shift;
    const Wide rest = scaled - (whole << shift);
    const Wide half = Wide{1} << (shift - 1);
    return static_cast<std::uint64_t>(whole) + (rest >= half ? 1 : 0);
}

// The units with `decimals` of their digits after a point, and a sign.
std::string UnitsText(bool negative, std::uint64_t units, int decimals) {
    char text[32];
    char* p = text + sizeof text;
    int written = 0;
    for (std::uint64_t u = units; u > 0 || written <= decimals; u /= 10) {
        if (written == decimals && decimals > 0) {
            *--p = '.';
        }
        *--p = static_cast<char>('0' + u % 10);
        ++written;
    }
    if (negative && units > 0) {
        *--p = '-';
    }
    return std::string(p, text + sizeof text);
}

// FormatFixed below 10^9 with at most 9 decimals (under 10^18 units).
bool FixedInWholeNumbers(double value, int decimals, std::string& out) {
    const double a = std::fabs(value);
    if (decimals < 0 || decimals > 9 || !(a < 1e9)) {
        return false;
    }
    out = UnitsText(std::signbit(value), RoundedUnits(a, decimals), decimals);
    return true;
}

// FormatGeneral from 10^-4 to 10^13, where the text is positional whatever the
// rounding: 15 significant digits are 10^14 to 10^15 units of the last place
// kept, found from an estimate of the leading digit's place.
bool GeneralInWholeNumbers(double value, std::string& out) {
    const double a = std::fabs(value);
    if (!(a >= 1e-4 && a < 1e13)) {
        return false;
    }
    constexpr std::uint64_t kLeast = 100'000'000'000'000;  // 10^14
    constexpr std::uint64_t kMost = 1'000'000'000'000'000; // 10^15, a carry
    int place = static_cast<int>(std::floor(std::log10(a)));
    for (int attempt = 0; attempt < 3; ++attempt) {
        int decimals = 14 - place;
        if (decimals < 1 || decimals > kMostWholeDecimals) {
            return false; // trailing zeros are stripped only after a point
        }
        std::uint64_t units = RoundedUnits(a, decimals);
        if (units < kLeast) {
            --place;
            continue;
        }
        if (units > kMost) {
            ++place;
            continue;
        }
        // A place one too high rounds 15 nines up to 10^14: the place below
        // keeps them unless they carry there too.
        if (units == kLeast && decimals < kMostWholeDecimals) {
            const std::uint64_t finer = RoundedUnits(a, decimals + 1);
            if (finer < kMost) {
                units = finer;
                ++decimals;
            }
        }
        out = UnitsText(std::signbit(value), units, decimals);
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') {
            out.pop_back();
        }
        return true;
    }
    return false;
}

} // namespace

bool HasNumber(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        ++i;
        skipBlanks();
    }
    bool point = false;
    for (; i < text.size(); ++i) {
        if (IsDigit(text[i])) {
            return true;
        }
        if (text[i] == '.' && !point) {
            point = true;
        } else if (!IsBlank(text[i])) {
            return false;
        }
    }
    return false;
}

Reading Read(std::string_view text) {
    // Blanks count nowhere; a text without any, as most are, is read where it is.
    std::string withoutBlanks;
    std::string_view clean = text;
    if (std::any_of(text.begin(), text.end(), IsBlank)) {
        withoutBlanks.reserve(text.size());
        for (const char c : text) {
            if (!IsBlank(c)) {
                withoutBlanks += c;
            }
        }
        clean = withoutBlanks;
    }

    std::size_t i = 0;
    bool negative = false;
    if (i < clean.size() && (clean[i] == '+' || clean[i] == '-')) {
        negative = clean[i] == '-';
        ++i;
    }
    // What from_chars reads: digits, point, exponent; no sign.
    const std::size_t start = i;
    bool anyDigit = false;
    while (i < clean.size() && IsDigit(clean[i])) {
        ++i;
        anyDigit = true;
    }
    if (i < clean.size() && clean[i] == '.') {
        ++i;
        while (i < clean.size() && IsDigit(clean[i])) {
            ++i;
            anyDigit = true;
        }
    }
    if (!anyDigit) {
        return {0.0, clean.empty()};
    }
    // The exponent counts only with at least one digit: "1e" and "1e+" read 1.
    if (i < clean.size() && (clean[i] == 'e' || clean[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < clean.size() && (clean[j] == '+' || clean[j] == '-')) {
            ++j;
        }
        if (j < clean.size() && IsDigit(clean[j])) {
            while (j < clean.size() && IsDigit(clean[j])) {
                ++j;
            }
            i = j;
        }
    }
    const std::string_view number = clean.substr(start, i - start);

    double value = 0.0;
    const auto res = std::from_chars(number.data(), number.data() + number.size(), value,
                                     std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range) {
        value = Overflows(number) ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return {negative ? -value : value, i == clean.size()};
}

double ReadNumber(std::string_view text) {
    return Read(text).value;
}

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) {
        return {};
    }
    if (std::string out; FixedInWholeNumbers(value, decimals, out)) {
        return out;
    }
    // The library rounds correctly to nearest but settles exact ties to even; a tie
    // exists only when the exact value has one fraction digit more than asked for.
    if (FractionBits(value) != decimals + 1) {
        char buf[400];
        const auto res =
            std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
        if (res.ec == std::errc()) {
            std::string out(buf, res.ptr);
            if (out.front() == '-' && out.find_first_of("123456789") == std::string::npos) {
                out.erase(0, 1);
            }
            return out;
        }
    }
    Digits d = ExactDigits(value);
    RoundToDigits(d, d.pointPos + decimals);
    return Positional(d, decimals);
}

std::string FormatGeneral(double value) {
    if (!std::isfinite(value)) {
        return {};
    }
    if (std::string out; GeneralInWholeNumbers(value, out)) {
        return out;
    }
    Digits d = FifteenDigits(value);
    if (d.digits.empty()) {
        return "0";
    }
    const int exponent = d.pointPos - 1; // decimal exponent of the leading digit
    if (exponent >= -4 && exponent < 15) {
        const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.pointPos);
        return Positional(d, decimals);
    }
    std::string out;
    if (d.negative) {
        out += '-';
    }
    out += d.digits[0];
    if (d.digits.size() > 1) {
        out += '.';
        out.append(d.digits, 1);
    }
    out += 'E';
    out += exponent < 0 ? '-' : '+';
    const int mag = exponent < 0 ? -exponent : exponent;
    if (mag < 10) {
        out += '0';
    }
    out += std::to_string(mag);
    return out;
}

} // namespace NumberText
