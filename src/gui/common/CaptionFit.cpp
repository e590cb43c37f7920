#include "gui/common/CaptionFit.h"

#include <QFontMetrics>
#include <QLabel>

void FitCaptions(QWidget* window) {
    for (QLabel* label : window->findChildren<QLabel*>()) {
        if (label->text().isEmpty())
            continue;
        const QFontMetrics metrics(label->font());
        if (label->height() < 2 * metrics.lineSpacing()) {
            // Meant for one line: never broken, wider if need be.
            label->setWordWrap(false);
            label->resize(label->size().expandedTo(label->sizeHint()));
        } else if (label->wordWrap()) {
            const int needed = label->heightForWidth(label->width());
            if (needed > label->height())
                label->resize(label->width(), needed);
        }
    }
}
