#include "core/common/Fields.h"

#include "core/common/NumberText.h"

#include <cmath>

std::string FormatResult(const ResultSpec& field, double value) {
    switch (field.pattern) {
    case Pattern::Fixed1:
        return NumberText::FormatFixed(value, 1);
    case Pattern::Fixed2:
        return NumberText::FormatFixed(value, 2);
    case Pattern::Fixed4:
        return NumberText::FormatFixed(value, 4);
    case Pattern::General:
        return NumberText::FormatGeneral(value);
    case Pattern::Whole:
        return std::isfinite(value) ? std::to_string(static_cast<long long>(value)) : std::string();
    }
    return {};
}
