#include "gui/common/WindowPlacement.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

#include <algorithm>

QRect PlacedWithin(QSize wanted, QSize minimum, const QRect& available) {
    const QSize size = wanted.boundedTo(available.size()).expandedTo(minimum);
    QRect placed = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available);
    placed.moveTopLeft(
        QPoint(std::max(placed.left(), available.left()), std::max(placed.top(), available.top())));
    return placed;
}

void PlaceOnScreen(QWidget* window) {
    QScreen* screen = window->screen();
    if (!screen) {
        return;
    }
    // What is placed is the client area; the frame a window manager puts
    // round it is known only once it is shown. The frame of the window it
    // opens from, already shown, is the best guess of it.
    QMargins frame;
    if (const QWidget* parent = window->parentWidget()) {
        const QWidget* framed = parent->window();
        if (framed->isVisible()) {
            const QRect outer = framed->frameGeometry();
            const QRect inner = framed->geometry();
            frame = QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                             outer.right() - inner.right(), outer.bottom() - inner.bottom());
        }
    }
    // The layout's own minimum counts as well as one set on the window.
    const QSize minimum = window->minimumSize().expandedTo(window->minimumSizeHint());
    window->setGeometry(
        PlacedWithin(window->size(), minimum, screen->availableGeometry().marginsRemoved(frame)));
}
