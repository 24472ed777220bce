// Scans over blocks of bytes that the run makes instead of looking at
// records one by one: counting line ends, finding the n-th one, and finding
// a keyword's bytes. They work sixteen bytes at a time where the processor
// allows it; the results do not depend on how.
#pragma once

#include <cstddef>
#include <string_view>

namespace lintavo::scan {

// The number of bytes equal to c in [p, end).
std::size_t count(const char* p, const char* end, char c);

struct LineEnds {
    std::size_t count = 0;   // line ends (CR, or LF in a LF file) in the block
    bool as_written = true;  // each stands as lines are written: CR LF, or a LF with no CR before it
};
// The CR bytes of [p, end), and whether each one ends a CR LF pair.
LineEnds line_ends(const char* p, const char* end);
// The LF bytes of [p, end), and whether none has a CR right before it.
LineEnds lf_ends(const char* p, const char* end);

// The k-th (k >= 1) byte equal to c in [p, end), or nullptr when there are fewer.
const char* nth(const char* p, const char* end, char c, std::size_t k);

// The first place in [p, end) where the bytes of `needle` (not empty)
// occur, or nullptr.
const char* find(const char* p, const char* end, std::string_view needle);

}  // namespace lintavo::scan
