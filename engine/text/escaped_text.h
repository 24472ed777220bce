// Texts as the preview shows them: each unit decoded to its character, but
// characters that would not show (controls) and invalid bytes written as
// escapes, so that every byte of a record can be seen and told apart.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/text/text_model.h"

namespace lintavo {

// The escape for a unit, into `out`: TAB "\t", CR "\r", LF "\n", any other
// character below U+0020, U+007F and U+0080 to U+009F "\x" and the two
// upper-case hex digits of its code point, an invalid byte "\x" and its own
// two hex digits, and, when `escape_backslash`, "\" as "\\". Returns the
// escape's length, 0 for a unit shown as its character.
std::size_t escape_of(TextUnit unit, bool escape_backslash, char (&out)[4]);

// The bytes decoded from `encoding` into UTF-8 with every escape of
// escape_of, "\" included: one column of lintavo-batch's preview table,
// which no TAB, CR or LF inside a column can break.
std::string escaped_text(Encoding encoding, std::string_view bytes);

}  // namespace lintavo
