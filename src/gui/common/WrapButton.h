#pragma once

#include <QPushButton>

// A push button whose caption wraps onto as many lines as its box needs; the
// mode-selection buttons carry long captions in square boxes.
class WrapButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};
