#pragma once

#include <string>
#include <string_view>

// Reading numbers from field texts and writing results back as texts. Both ignore
// the process locale: the decimal separator is always the full stop.
namespace NumberText {

// Reads the longest leading decimal number of the text, with blanks (space, tab,
// CR, LF) ignored anywhere. A text without one reads as 0. Never fails; a number
// too large for a double reads as an infinity, which the input checks refuse.
double ReadNumber(std::string_view text);

// ReadNumber's value, and whether it took the whole text: false when anything but
// blanks is left after the number ("28,5", "0x10", "inf"). A text of blanks only
// reads as 0 and counts as whole.
struct Reading {
    double value = 0;
    bool whole = true;
};
Reading Read(std::string_view text);

// Whether ReadNumber finds a number in the text, rather than reading 0 for the
// lack of one.
bool HasNumber(std::string_view text);

// Writes the value with exactly `decimals` digits after the point (the "0.00"
// style patterns), rounding the exact binary value half away from zero. A value
// that rounds to zero carries no minus sign. A value that is not finite is
// written as the empty text.
std::string FormatFixed(double value, int decimals);

// Writes the value with at most 15 significant digits, half away from zero,
// without trailing zeros or point: positional for 1e-4 <= |x| < 1e15, otherwise
// like "1.5E-07" or "1E+15". Not finite: the empty text.
std::string FormatGeneral(double value);

} // namespace NumberText
