#pragma once

#include "core/common/CalcResult.h"
#include "core/common/Fields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

// The text a result writes last into a field before its message, or nothing.
inline std::optional<std::string> Written(const CalcResult& r, const std::string& field) {
    std::optional<std::string> text;
    for (const FieldText& f : r.fieldTexts) {
        if (f.field == field) {
            text = f.text;
        }
    }
    return text;
}

inline std::vector<std::string> FieldNames(const std::vector<FieldText>& writes) {
    std::vector<std::string> names;
    std::transform(writes.begin(), writes.end(), std::back_inserter(names),
                   [](const FieldText& f) { return f.field; });
    return names;
}

struct Expected {
    const char* field;
    const char* text;
};

// Every expected field is written with exactly this text.
inline void ExpectWritten(const CalcResult& r, const std::vector<Expected>& expected) {
    for (const Expected& e : expected) {
        const auto text = Written(r, e.field);
        ASSERT_TRUE(text.has_value()) << e.field << " not written";
        EXPECT_EQ(*text, e.text) << e.field;
    }
}

namespace {

// One row of a check chain's table: changes to the initial texts, the warnings
// raised in order, and the field refused with its message.
struct ChainCase {
    const char* name;
    std::vector<std::pair<const char*, std::string>> texts; // changes to the initial texts
    std::vector<std::string> warnings;
    const char* refusedField; // null: accepted
    std::string message;
};

// The row's changes written into texts, each field found by its name in the table.
template <typename Texts, typename Inputs>
void ApplyChanges(const ChainCase& c, std::span<const EntrySpec<Texts, Inputs>> fields,
                  Texts& texts) {
    for (const auto& [field, text] : c.texts) {
        const auto* entry = FindEntry(fields, field);
        ASSERT_NE(entry, nullptr) << field;
        texts.*entry->text = text;
    }
}

// The chain's warnings and refusal are the row's; accepted, it gives inputs.
template <typename Checks> void ExpectChainOutcome(const ChainCase& c, const Checks& r) {
    EXPECT_EQ(r.warnings, c.warnings);
    if (c.refusedField) {
        ASSERT_TRUE(r.refusal.has_value());
        EXPECT_EQ(r.refusal->field, c.refusedField);
        EXPECT_EQ(r.refusal->message, c.message);
    } else {
        EXPECT_FALSE(r.refusal.has_value()) << r.refusal->message;
        EXPECT_TRUE(r.inputs.has_value());
    }
}

// Table rows print as their name in test listings and failures.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

} // namespace
