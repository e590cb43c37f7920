#include "gui/common/PictureButton.h"

#include <QStyleOptionButton>
#include <QStylePainter>

PictureButton::PictureButton(QWidget* parent) : QPushButton(parent) {
    setIconSize(QSize(16, 16));
}

PictureButton::PictureButton(const QIcon& icon, const QString& text, QWidget* parent)
    : QPushButton(icon, text, parent) {
    setIconSize(QSize(16, 16));
}

QSize PictureButton::sizeHint() const {
    QStyleOptionButton option;
    initStyleOption(&option);
    // Asked without text, so that the style adds only its margins and not the
    // minimum width it gives captioned buttons.
    option.text.clear();
    option.icon = QIcon();
    const QFontMetrics metrics = fontMetrics();
    const QSize caption = metrics.size(Qt::TextShowMnemonic, text());
    QSize content(qMax(caption.width(), iconSize().width()), caption.height());
    if (!icon().isNull())
        content.rheight() += iconSize().height() + kGap;
    return style()->sizeFromContents(QStyle::CT_PushButton, &option, content, this);
}

QSize PictureButton::minimumSizeHint() const {
    return sizeHint();
}

void PictureButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    // The frame, the pressed look and the focus mark come from the style; the
    // picture and caption are placed here.
    QStyleOptionButton frame = option;
    frame.text.clear();
    frame.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, frame);

    QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
        content.translate(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                          style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    }

    const int captionHeight = fontMetrics().height();
    const bool hasPicture = !icon().isNull();
    const QSize picture = hasPicture ? iconSize() : QSize(0, 0);
    const int used = captionHeight + (hasPicture ? picture.height() + kGap : 0);
    int top = content.top() + (content.height() - used) / 2;

    if (hasPicture) {
        const QRect pictureRect(content.left() + (content.width() - picture.width()) / 2, top,
                                picture.width(), picture.height());
        icon().paint(&painter, pictureRect, Qt::AlignCenter,
                     isEnabled() ? QIcon::Normal : QIcon::Disabled);
        top += picture.height() + kGap;
    }
    const QRect captionRect(content.left(), top, content.width(), captionHeight);
    painter.drawItemText(captionRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic,
                         option.palette, isEnabled(), text(), QPalette::ButtonText);
}
