#include "gui/shell/StartupDefaults.h"

namespace Misc {

void SetStartupDefaults(const FieldWriter& write) {
    // Equal to the fields' own initial texts; written all the same, so that the
    // screen exists, with these texts, before anyone opens it.
    write(&ZoneTexts::ambientTemp, QStringLiteral("46"));
    write(&ZoneTexts::ambientRh, QStringLiteral("30"));
    write(&ZoneTexts::zoneTemp, QStringLiteral("28"));
    write(&ZoneTexts::zoneRh, QStringLiteral("60"));
}

} // namespace Misc
