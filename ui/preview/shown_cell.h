// A text of a record as a cell of the preview shows it: decoded from its
// encoding, with the characters that would not show and the invalid bytes
// written as escapes ("\t", "\x82"), which the cell draws in a colour of
// their own.
#pragma once

#include <QList>
#include <QString>
#include <string_view>

#include "engine/text/text_model.h"

namespace lintavo::ui {

struct ShownCell {
    QString text;
    QList<int> escapes;  // start and length in `text` of each escape, in pairs
};

// At most `most` characters of the bytes are shown, then "…".
ShownCell shown_cell(Encoding encoding, std::string_view bytes, int most = 2000);

}  // namespace lintavo::ui
