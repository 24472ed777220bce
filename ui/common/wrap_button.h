// A push button whose caption wraps onto several lines when it is wider
// than the button, as long Japanese captions need.
#pragma once

#include <QPushButton>

namespace lintavo::ui {

class WrapButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace lintavo::ui
