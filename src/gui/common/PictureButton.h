#pragma once

#include <QPushButton>

// A push button that shows its picture above its caption, centred, as the
// screens' picture buttons do; QPushButton itself puts the icon beside the text,
// which does not fit their narrow boxes.
class PictureButton : public QPushButton {
    Q_OBJECT

public:
    explicit PictureButton(QWidget* parent = nullptr);
    PictureButton(const QIcon& icon, const QString& text, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    static constexpr int kGap = 2; // between picture and caption
};
