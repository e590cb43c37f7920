#pragma once

#include <QFont>

// The face every screen uses. The screens were laid out for a compact 8.25 pt
// sans serif; the faces tried first come closest to its width, so captions fit
// the boxes they were given.
QFont ScreenFont(qreal pointSize = 8.25, bool bold = false);
