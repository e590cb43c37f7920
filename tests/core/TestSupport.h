#pragma once

#include "core/common/CalcResult.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <ostream>
#include <string>
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

// Table rows print as their name in test listings and failures.
template <typename Case>
requires requires(const Case& c) {
    c.name;
}
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

} // namespace
