// The line ends of a TEXT, CSV or TSV file. A file whose first 64 KiB
// (after a byte order mark; the whole input when shorter) hold a LF and no
// CR is a LF file: its records end at LF, a CR right before that LF going
// with it, and any other CR is an ordinary byte. Every other file ends its
// records at CR LF or at a lone CR, and a lone LF is an ordinary byte (the
// in-cell line breaks Excel writes as lone LFs stay inside their records).
// The lines written end as the file's do: LF, or CR LF.
#pragma once

#include <cstddef>
#include <string_view>

namespace lintavo {

class LineBreak {
public:
    static constexpr std::size_t kSniffBytes = std::size_t{64} << 10;

    LineBreak() = default;
    static LineBreak lf() { return LineBreak(true); }
    // The line ends of a file that begins with `head` (the first bytes after
    // a byte order mark, up to kSniffBytes of them or the whole input).
    static LineBreak of(std::string_view head) {
        return LineBreak(head.find('\n') != std::string_view::npos && head.find('\r') == std::string_view::npos);
    }

    bool is_lf() const { return lf_; }
    // The byte that ends a record.
    char byte() const { return lf_ ? '\n' : '\r'; }
    // The start of the next line after the terminating byte at t.
    const char* after(const char* t, const char* stop) const {
        return !lf_ && t + 1 < stop && t[1] == '\n' ? t + 2 : t + 1;
    }
    // The end of the record of the line [line, t) that the byte at t ends.
    const char* record_end(const char* line, const char* t) const { return lf_ && t > line && t[-1] == '\r' ? t - 1 : t; }
    // What ends each line written.
    std::string_view written() const { return lf_ ? std::string_view("\n") : std::string_view("\r\n"); }

    bool operator==(const LineBreak&) const = default;

private:
    explicit LineBreak(bool lf) : lf_(lf) {}
    bool lf_ = false;
};

}  // namespace lintavo
