#include "gui/common/Resources.h"

#include <QtGlobal>

// Q_INIT_RESOURCE must be used outside any namespace.
void InitUiResources() {
    Q_INIT_RESOURCE(varneldh);
}
