// The colours of the preview: one for each condition row, the same in the
// @ headings of the table and in the ruler's marks; those of the verdicts
// and of the escapes.
#pragma once

#include <QColor>

namespace lintavo::ui {

// Light colours that black text stands on, and that tell seven rows apart.
inline QColor field_colour(int row) {
    static const QColor kColours[] = {
        QColor(255, 214, 153), QColor(173, 216, 255), QColor(186, 240, 170), QColor(255, 186, 210),
        QColor(214, 196, 255), QColor(255, 245, 150), QColor(160, 235, 230),
    };
    return kColours[row % 7];
}

inline const QColor kEscapeText(176, 0, 138);        // "\x82", "\t": what is no plain character
inline const QColor kEscapeBackground(253, 231, 243);
inline const QColor kWrittenMark(26, 127, 55);       // ○
inline const QColor kHeldBackMark(198, 40, 40);      // ×
inline const QColor kHeldBackText(110, 110, 110);    // the rest of a record held back
inline const QColor kHeaderRow(232, 240, 254);       // the header line

}  // namespace lintavo::ui
