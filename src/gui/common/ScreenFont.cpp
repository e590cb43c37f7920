#include "gui/common/ScreenFont.h"

#include <QStringList>

QFont ScreenFont(qreal pointSize, bool bold) {
    QFont font;
    font.setFamilies({QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial"), QStringLiteral("DejaVu Sans")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}
