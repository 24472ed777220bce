// The look of the program: one widget style on every desktop, whose group
// frames draw their caption in the border line; on Windows, Windows' own
// Japanese interface font.
#pragma once

#include <QApplication>
#include <QFont>
#include <QStyleFactory>

namespace lintavo::ui {

inline void use_window_style() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Windows")));
#ifdef Q_OS_WIN
    // Yu Gothic UI (Windows 8.1 and later), else Meiryo UI; Qt would take
    // Segoe UI, which has no Japanese and leaves the characters to fallback.
    // Noto Sans CJK JP where neither is installed (wine).
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Yu Gothic UI"), QStringLiteral("Meiryo UI"), QStringLiteral("MS UI Gothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    QApplication::setFont(font);
#endif
}

}  // namespace lintavo::ui
