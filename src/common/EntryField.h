#pragma once

#include <string_view>

// An entry field of a calculation screen: its objectName, caption and initial text.
struct EntryField {
    std::string_view name;
    std::string_view caption;
    std::string_view initialText;
};
