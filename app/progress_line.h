// The progress line of lintavo-batch: how far a run has come, as text that
// fits a terminal's width.
#pragma once

#include <string>
#include <string_view>

#include "engine/run/progress.h"

namespace lintavo::batch {

// The columns a UTF-8 text takes on a terminal: a character of two or more
// bytes (the Japanese captions) takes two.
std::size_t display_width(std::string_view utf8);

// The line, at most `columns` - 1 wide (so that it never wraps): a bar when
// `bar` and there is room, the percentage (or the bytes read when the size
// is not known), the two counts, the speed, the elapsed time and, after the
// first seconds, the time left.
std::string progress_text(const ProgressFigures& f, std::size_t columns, bool bar);

}  // namespace lintavo::batch
