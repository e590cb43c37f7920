#pragma once

#include <QString>

#include <functional>

namespace Misc {

// Writes a text into the building-zone screen's field of that objectName.
using FieldWriter = std::function<void(const char* field, const QString& text)>;

// The start-up texts of the building-zone screen: ambient temperature and
// humidity, then zone temperature and humidity, in that order.
void SetStartupDefaults(const FieldWriter& write);

} // namespace Misc
