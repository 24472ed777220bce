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
    QString blanks;      // how many blanks of which kind stand at its ends, for a tooltip
};

// At most `most` characters of the bytes are shown, then "…". With
// `mark_blanks`, the half-width and full-width blanks at both ends show as
// marks ("·", "・") drawn as escapes, and `blanks` says what they are: a
// field that failed "=" for its blanks shows why.
ShownCell shown_cell(Encoding encoding, std::string_view bytes, int most = 2000, bool mark_blanks = false);

}  // namespace lintavo::ui
