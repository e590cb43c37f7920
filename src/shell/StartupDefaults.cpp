#include "shell/StartupDefaults.h"

namespace Misc {

void SetStartupDefaults(const FieldWriter& write) {
    // Equal to the fields' own initial texts; written all the same, so that the
    // screen exists, with these texts, before anyone opens it.
    write("txtTamb", QStringLiteral("46"));
    write("txtAmbrh", QStringLiteral("30"));
    write("txttemp", QStringLiteral("28"));
    write("txtrh", QStringLiteral("60"));
}

} // namespace Misc
