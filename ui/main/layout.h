// The main window's fixed layout: positions and sizes in twips, captions
// and colours of its frames and controls.
#pragma once

#include <QColor>
#include <QRect>
#include <QString>

namespace lintavo::ui {

inline constexpr int kTwipsPerPixel = 15;  // at 96 dpi

// A rectangle given in twips, in logical pixels.
inline QRect twips(int left, int top, int width, int height) {
    const auto px = [](int t) { return (t + kTwipsPerPixel / 2) / kTwipsPerPixel; };
    return QRect(px(left), px(top), px(width), px(height));
}

inline constexpr int kClientWidth = 13140;
inline constexpr int kClientHeight = 6615;

inline const QColor kLightGrey(224, 224, 224);
inline const QColor kLightYellow(255, 255, 192);

// Where each control stands, by object name, relative to its frame or to
// the client area.
struct Placement {
    QString name;
    int left, top, width, height;
};

// Every placed frame and control; the rows are filled in by row number.
const Placement* placements(std::size_t& count);

// The placement of a control by object name; an empty rectangle when it has none.
QRect placement_of(const QString& name);

}  // namespace lintavo::ui
