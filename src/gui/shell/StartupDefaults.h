#pragma once

#include "core/zone/ZoneCalc.h"

#include <QString>

#include <functional>
#include <string>

namespace Misc {

// Writes a text into the building-zone screen's entry with that place in the
// zone's record of texts.
using FieldWriter = std::function<void(std::string ZoneTexts::*entry, const QString& text)>;

// The start-up texts of the building-zone screen: ambient temperature and
// humidity, then zone temperature and humidity, in that order.
void SetStartupDefaults(const FieldWriter& write);

} // namespace Misc
