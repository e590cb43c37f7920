#pragma once

#include <QRect>
#include <QSize>

class QWidget;

// Where a window of the wanted size opens in a screen's available area: made
// smaller to fit it, but never below its minimum, and centred; one that
// cannot fit even so keeps its top left corner, title and all, on the screen.
QRect PlacedWithin(QSize wanted, QSize minimum, const QRect& available);

// Opens a window that way on the screen it will show on. Every window the
// program opens should go through this rather than a plain centring: a
// window larger than a small or highly scaled screen would otherwise open
// with its top edge, or its buttons, off-screen.
void PlaceOnScreen(QWidget* window);
