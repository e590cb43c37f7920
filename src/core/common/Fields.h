#pragma once

#include "core/common/CalcResult.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The fields of a calculation, each described once: the screens, the command
// line, the fuzz targets and the tests read these tables.

// An entry field: its objectName, caption, unit and initial text, and its place
// in the calculation's record of texts and, for a number, of validated numbers.
// A table of them lists the fields in the order the checks read them.
template <typename Texts, typename Inputs> struct EntrySpec {
    std::string_view name;
    std::string_view caption;
    std::string_view unit; // empty for a count or a text
    std::string_view initialText;
    std::string Texts::*text;
    double Inputs::*number; // null for an entry that is not read as a number
};

// How a result is written.
enum class Pattern {
    Fixed1,  // "0.0"
    Fixed2,  // "0.00"
    Fixed4,  // "0.0000"
    General, // up to 15 significant digits
    Whole,   // a count of passes
};

// A result field: its objectName, the caption beside it, its unit and how its
// number is written. Fields of the detail grid name their column in `column`;
// `detail` marks every field that lies behind the password.
struct ResultSpec {
    std::string_view name;
    std::string_view caption;
    std::string_view unit;
    Pattern pattern;
    std::string_view column = {};
    bool detail = false;
};

// The value written the way the field writes it; not finite gives the empty text.
std::string FormatResult(const ResultSpec& field, double value);

// The entry of a table with that name, or null.
template <typename Texts, typename Inputs>
const EntrySpec<Texts, Inputs>* FindEntry(std::span<const EntrySpec<Texts, Inputs>> table,
                                          std::string_view name) {
    for (const auto& entry : table) {
        if (entry.name == name) {
            return &entry;
        }
    }
    return nullptr;
}

// The name of the entry whose text sits at that place in the record.
template <typename Texts, typename Inputs>
std::string_view EntryName(std::span<const EntrySpec<Texts, Inputs>> table,
                           std::string Texts::*text) {
    for (const auto& entry : table) {
        if (entry.text == text) {
            return entry.name;
        }
    }
    return {};
}

// A record of texts holding every entry's initial text.
template <typename Texts, typename Inputs>
Texts InitialTexts(std::span<const EntrySpec<Texts, Inputs>> table) {
    Texts texts;
    for (const auto& entry : table) {
        texts.*entry.text = std::string(entry.initialText);
    }
    return texts;
}

// The entries of the table whose texts differ between the two records, in the
// table's order.
template <typename Texts, typename Inputs>
std::vector<const EntrySpec<Texts, Inputs>*>
ChangedEntries(std::span<const EntrySpec<Texts, Inputs>> table, const Texts& before,
               const Texts& now) {
    std::vector<const EntrySpec<Texts, Inputs>*> changed;
    for (const auto& entry : table) {
        if (before.*entry.text != now.*entry.text) {
            changed.push_back(&entry);
        }
    }
    return changed;
}
