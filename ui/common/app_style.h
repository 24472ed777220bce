// The look of the program: one widget style on every desktop, whose group
// frames draw their caption in the border line.
#pragma once

#include <QApplication>
#include <QStyleFactory>

namespace lintavo::ui {

inline void use_window_style() { QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows"))); }

}  // namespace lintavo::ui
