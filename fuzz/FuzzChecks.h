#pragma once

#include "core/common/CalcResult.h"
#include "core/common/NumberText.h"
#include "core/condensation/Condensation.h"
#include "core/psychrometrics/Psychrometrics.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <span>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

// Invariants shared by the fuzz targets. A broken one prints what broke and aborts,
// which libFuzzer reports as a crash and saves the input that caused it.
namespace FuzzChecks {

template <typename... Parts> [[noreturn]] void Fail(const Parts&... parts) {
    std::ostringstream what;
    what.precision(17);
    (what << ... << parts);
    std::fprintf(stderr, "invariant broken: %s\n", what.str().c_str());
    std::abort();
}

// The message is only put together when the check fails: this runs per input.
template <typename... Parts> void Require(bool ok, const Parts&... parts) {
    if (!ok) {
        Fail(parts...);
    }
}

// Splits the fuzz input on line feeds. A line feed therefore never reaches a field
// (tabs, carriage returns and blanks do); missing lines keep the screen's texts.
inline std::vector<std::string> Lines(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += static_cast<char>(data[i]);
        }
    }
    return lines;
}

// The longest text an output field may get. Entries are below 1e15 in magnitude, so
// the largest quantities are the flow gains (a rate times a volume, ~3e30 litres/day):
// 31 digits, a sign, a point and two decimals make 35; the general form never
// exceeds 21 ("-1.23456789012345E-05"). 40 leaves a few places to spare and still
// catches an unbounded result written out in full. The zone's unit counts can go past
// it: a rate a few units in the last place above zero turns the largest gains into
// counts of some 1e43, 46 characters (CalculateZone.RateJustAboveZeroGivesCountsInFull).
// Those counts are written in full on purpose (a positive rate is a rate), so they
// get a bound of their own: the smallest positive rate the polynomial reaches from
// entries of at most 15 digits is about 1e-15, which puts a count near 1e45.
inline constexpr std::size_t kLongestText = 40;
inline constexpr std::size_t kLongestCount = 64;

inline bool IsCountField(std::string_view field) {
    return field == "txt100s" || field == "txt160s" || field == "txt200s";
}

inline bool HasNonFiniteWord(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower.find("inf") != std::string::npos || lower.find("nan") != std::string::npos;
}

inline bool OnlyNumberCharacters(std::string_view text) {
    return text.find_first_not_of("-0123456789.E+") == std::string_view::npos;
}

// Reading the text back lands within half a unit of its last digit, plus the error of
// reading a decimal into a double (relative 2^-53), of the subtraction, and one
// subnormal step for values too small for a relative slack to cover.
inline bool WithinHalfUnit(double back, double value, double unit) {
    const double slack = 1e-15 * std::fabs(value) + std::numeric_limits<double>::denorm_min();
    return std::fabs(back - value) <= 0.5 * unit + slack;
}

// The decimal exponent of the leading digit of a finite, non-zero value, exactly.
inline int DecimalExponent(double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const std::string_view text(buf, static_cast<std::size_t>(res.ptr - buf));
    const auto e = text.find('e');
    int exponent = 0;
    const char* first = text.data() + e + 1;
    if (*first == '+') {
        ++first;
    }
    std::from_chars(first, text.data() + text.size(), exponent);
    return exponent;
}

// A "0.00"-style text: optional minus, digits without a leading zero (a lone zero
// apart), then exactly `decimals` digits after a point; no minus on a zero.
inline void CheckFixedText(std::string_view field, std::string_view text, double value,
                           int decimals) {
    if (!std::isfinite(value)) {
        Require(text.empty(), field, ": text '", text, "' for the non-finite value ", value);
        return;
    }
    Require(!text.empty(), field, ": empty text for the finite value ", value);
    std::string_view rest = text;
    const bool minus = rest.front() == '-';
    if (minus) {
        rest.remove_prefix(1);
    }
    const auto point = rest.find('.');
    const std::string_view whole = rest.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : rest.substr(point + 1);
    const auto isDigits = [](std::string_view s) {
        return s.find_first_not_of("0123456789") == std::string_view::npos;
    };
    Require(!whole.empty() && isDigits(whole) && (whole.size() == 1 || whole.front() != '0'), field,
            ": malformed whole part in '", text, "'");
    Require(decimals == 0
                ? point == std::string_view::npos
                : fraction.size() == static_cast<std::size_t>(decimals) && isDigits(fraction),
            field, ": '", text, "' does not have ", decimals, " decimals");
    Require(!minus || text.find_first_of("123456789") != std::string_view::npos, field,
            ": a zero written with a minus sign: '", text, "'");
    const double back = NumberText::ReadNumber(text);
    Require(WithinHalfUnit(back, value, std::pow(10.0, -decimals)), field, ": '", text,
            "' reads back as ", back, ", more than half a unit from ", value);
}

// The general form: at most 15 significant digits, no trailing zeros or point,
// positional for 1e-4 <= |x| < 1e15, else mantissa and a signed two-digit-or-more exponent.
inline void CheckGeneralText(std::string_view field, std::string_view text, double value) {
    if (!std::isfinite(value)) {
        Require(text.empty(), field, ": text '", text, "' for the non-finite value ", value);
        return;
    }
    Require(!text.empty(), field, ": empty text for the finite value ", value);
    Require(OnlyNumberCharacters(text), field, ": stray character in '", text, "'");
    const auto e = text.find('E');
    const std::string_view mantissa = text.substr(0, e);
    const auto point = mantissa.find('.');
    if (point != std::string_view::npos) {
        Require(mantissa.back() != '0' && mantissa.back() != '.', field,
                ": trailing zero or point in '", text, "'");
    }
    const auto firstSignificant = mantissa.find_first_of("123456789");
    std::size_t significant = 0;
    if (firstSignificant != std::string_view::npos) {
        for (std::size_t i = firstSignificant; i < mantissa.size(); ++i) {
            significant += mantissa[i] != '.' ? 1 : 0;
        }
    }
    Require(significant <= 15, field, ": more than 15 significant digits in '", text, "'");
    const double back = NumberText::ReadNumber(text);
    if (e != std::string_view::npos) {
        const std::string_view exponent = text.substr(e + 1);
        Require(exponent.size() >= 3 && (exponent[0] == '+' || exponent[0] == '-'), field,
                ": malformed exponent in '", text, "'");
        const int written = std::atoi(std::string(exponent).c_str());
        Require(written < -4 || written >= 15, field,
                ": exponent form inside the positional "
                "range: '",
                text, "'");
    } else {
        Require(back == 0 || std::fabs(back) >= 1e-4, field, ": positional form below 1e-4: '",
                text, "'");
    }
    // The largest doubles round to 15 digits above the double range, and that text
    // reads as an infinity (pinned in the regular tests); nothing else may.
    if (std::isinf(back) && e != std::string_view::npos && text.substr(e) == "E+308" &&
        mantissa.substr(mantissa.front() == '-' ? 1 : 0) == "1.79769313486232") {
        return;
    }
    const double unit = value == 0 ? 0 : std::pow(10.0, DecimalExponent(value) - 14);
    Require(WithinHalfUnit(back, value, unit), field, ": '", text, "' reads back as ", back,
            ", more than half a unit of the 15th digit from ", value);
}

// How an output field is written, and from which number of the result.
enum class Form { Fixed1, Fixed2, Fixed4, General, Count, Iterations, WetBulb };

template <typename Numbers> struct Output {
    std::string_view field;
    Form form;
    double (*value)(const Numbers&);
};

// Every field text of a result, against its number. `zeroCounts` tells whether the
// plain "0" count is allowed for this result's numbers.
template <typename Numbers>
void CheckFieldTexts(const std::vector<FieldText>& texts, const Numbers& n,
                     std::span<const Output<Numbers>> outputs, bool zeroCounts) {
    for (const FieldText& f : texts) {
        Require(!HasNonFiniteWord(f.text), f.field, ": '", f.text, "'");
        const std::size_t longest = IsCountField(f.field) ? kLongestCount : kLongestText;
        Require(f.text.size() <= longest, f.field, ": ", f.text.size(), " characters, more than ",
                longest, ": '", f.text, "'");
        Require(OnlyNumberCharacters(f.text), f.field, ": stray character in '", f.text, "'");
        const auto out = std::find_if(outputs.begin(), outputs.end(),
                                      [&](const Output<Numbers>& o) { return o.field == f.field; });
        Require(out != outputs.end(), "unknown output field ", f.field);
        switch (out->form) {
        case Form::Fixed1:
            CheckFixedText(f.field, f.text, out->value(n), 1);
            break;
        case Form::Fixed2:
            CheckFixedText(f.field, f.text, out->value(n), 2);
            break;
        case Form::Fixed4:
            CheckFixedText(f.field, f.text, out->value(n), 4);
            break;
        case Form::General:
            CheckGeneralText(f.field, f.text, out->value(n));
            break;
        case Form::Count:
            if (f.text == "0") {
                Require(zeroCounts, f.field, ": plain 0 while the gain is positive");
            } else {
                CheckFixedText(f.field, f.text, out->value(n), 1);
            }
            break;
        case Form::Iterations: {
            const int iterations = n.wetBulb.iterations;
            Require(iterations >= 1 && iterations <= Psychrometrics::kWetBulbPassLimit, f.field,
                    ": ", iterations, " iterations");
            Require(f.text == std::to_string(iterations), f.field, ": '", f.text, "' for ",
                    iterations, " iterations");
            break;
        }
        case Form::WetBulb:
            if (!n.wetBulb.converged) {
                Require(f.text.empty(), f.field, ": '", f.text, "' for a search that failed");
            } else {
                CheckFixedText(f.field, f.text, n.wetBulb.temperature, 2);
            }
            break;
        }
    }
}

// The fields a failing step empties after its message are output fields too.
template <typename Numbers>
void CheckKnownFields(const std::vector<FieldText>& texts,
                      std::span<const Output<Numbers>> outputs) {
    for (const FieldText& f : texts) {
        Require(std::any_of(outputs.begin(), outputs.end(),
                            [&](const Output<Numbers>& o) { return o.field == f.field; }),
                "unknown output field ", f.field);
    }
}

inline bool Written(const std::vector<FieldText>& texts, std::string_view field) {
    return std::any_of(texts.begin(), texts.end(),
                       [&](const FieldText& f) { return f.field == field; });
}

// What every calculation result shares: outcome and message agree, the fields a
// failing step empties are emptied only after a message, and the focus names an
// entry field.
inline void CheckResultShape(const CalcResult& r, std::span<const std::string_view> entryFields,
                             std::span<const std::string_view> rateFields) {
    Require((r.outcome == Outcome::Completed) == !r.message.has_value(), "outcome ",
            OutcomeName(r.outcome), (r.message ? " with" : " without"), " a message");
    Require(!r.message || !r.message->empty(), "an empty message");
    Require(r.afterMessage.empty() || r.message.has_value(), "fields emptied without a message");
    for (const FieldText& f : r.afterMessage) {
        Require(f.text.empty(), "after the message ", f.field, " gets '", f.text, "'");
    }
    if (r.focus) {
        Require(std::find(entryFields.begin(), entryFields.end(), *r.focus) != entryFields.end(),
                "focus on ", *r.focus, ", not an entry field");
    }
    for (const std::string_view rate : rateFields) {
        Require(Written(r.fieldTexts, rate) == (r.outcome == Outcome::Completed), rate,
                Written(r.fieldTexts, rate) ? " written" : " not written", " with outcome ",
                OutcomeName(r.outcome));
    }
}

// Warnings come only from the known texts, each at most once and in chain order.
inline void CheckWarnings(const std::vector<std::string>& warnings,
                          std::span<const std::string_view> known) {
    std::size_t next = 0;
    for (const std::string& w : warnings) {
        const auto it =
            std::find(known.begin() + static_cast<std::ptrdiff_t>(next), known.end(), w);
        Require(it != known.end(), "unknown or out-of-order warning: ", w);
        next = static_cast<std::size_t>(it - known.begin()) + 1;
    }
}

// A result text of the follow-up windows: empty, or a number as the engine writes it.
inline void CheckNumberText(std::string_view what, std::string_view text) {
    Require(!HasNonFiniteWord(text) && OnlyNumberCharacters(text), what, " reads '", text, "'");
}

// The condensation check on the room air of a completed run, its entry texts taken
// from the lines after the calculation's own: a refusal or rows of numbers, and
// each verdict one of its two forms.
inline void CheckCondensation(const std::vector<std::string>& lines, std::size_t first,
                              const Condensation::RoomAir& room) {
    Condensation::Texts texts = Condensation::InitialTexts();
    for (std::size_t i = 0; i < Condensation::kFields.size() && first + i < lines.size(); ++i) {
        texts.*Condensation::kFields[i].text = lines[first + i];
    }
    const auto checks = Condensation::Validate(texts);
    Require(checks.refusal.has_value() != checks.inputs.has_value(),
            "condensation: a refusal and inputs together, or neither");
    if (checks.refusal) {
        Require(!checks.refusal->message.empty(), "condensation: refusal without a message");
        return;
    }
    for (const Condensation::ElementCheck& check : Condensation::Check(*checks.inputs, room)) {
        const auto row = Condensation::RowTexts(check);
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (Condensation::kColumns[i].name == "txtVerdict") {
                const std::string_view verdict = row[i];
                Require(verdict == "condensation expected" ||
                            (verdict.starts_with("margin ") && verdict.ends_with(" K") &&
                             !HasNonFiniteWord(verdict)),
                        "condensation verdict '", verdict, "'");
            } else {
                CheckNumberText(Condensation::kColumns[i].name, row[i]);
            }
        }
    }
}

} // namespace FuzzChecks
