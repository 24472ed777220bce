// The line ends of a TEXT, CSV or TSV file. A file whose first 64 KiB
// (after a byte order mark; the whole input when shorter) hold a LF and no
// CR is a LF file: its records end at LF, a CR right before that LF going
// with it, and any other CR is an ordinary byte. Every other file ends its
// records at CR LF or at a lone CR, and a lone LF is an ordinary byte (the
// in-cell line breaks Excel writes as lone LFs stay inside their records).
// The lines written end as the file's do: LF, or CR LF.
//
// In a UTF-16 file the same rules hold for the code units U+000D and U+000A
// at even offsets from the first byte after the mark; the bytes 0D and 0A
// elsewhere end nothing.
#pragma once

#include <cstddef>
#include <string_view>

#include "engine/text/text_model.h"

namespace lintavo {

class LineBreak {
public:
    static constexpr std::size_t kSniffBytes = std::size_t{64} << 10;

    LineBreak() = default;
    static LineBreak lf() { return LineBreak(true); }
    // The line ends of a file in `e` that begins with `head` (the first
    // bytes after a byte order mark, up to kSniffBytes of them or the whole
    // input).
    static LineBreak of(std::string_view head, Encoding e = Encoding::Cp932) {
        if (!is_utf16(e)) {
            return LineBreak(head.find('\n') != std::string_view::npos && head.find('\r') == std::string_view::npos);
        }
        bool lf = false;
        for (std::size_t i = 0; i + 1 < head.size(); i += 2) {
            const unsigned u = unit(head, i, e);
            if (u == '\r') return LineBreak(false, e);
            lf = lf || u == '\n';
        }
        return LineBreak(lf, e);
    }
    // True when `head` holds a CR from the byte `from` on (even in UTF-16).
    static bool has_cr(std::string_view head, Encoding e, std::size_t from) {
        if (!is_utf16(e)) return head.find('\r', from) != std::string_view::npos;
        for (std::size_t i = from; i + 1 < head.size(); i += 2) {
            if (unit(head, i, e) == '\r') return true;
        }
        return false;
    }

    bool is_lf() const { return lf_; }
    // The byte order of a UTF-16 file: 0 for any other, 1 little-endian, 2 big-endian.
    int wide() const { return wide_; }
    // The byte that ends a record.
    char byte() const { return lf_ ? '\n' : '\r'; }
    // The start of the next line after the terminating byte at t.
    const char* after(const char* t, const char* stop) const {
        return !lf_ && t + 1 < stop && t[1] == '\n' ? t + 2 : t + 1;
    }
    // The end of the record of the line [line, t) that the byte at t ends.
    const char* record_end(const char* line, const char* t) const { return lf_ && t > line && t[-1] == '\r' ? t - 1 : t; }
    // What ends each line written, in the file's own encoding and in `e`.
    std::string_view written() const { return written_in(wide_ == 2 ? Encoding::Utf16Be : wide_ == 1 ? Encoding::Utf16Le : Encoding::Cp932); }
    std::string_view written_in(Encoding e) const {
        switch (e) {
            case Encoding::Utf16Le: return lf_ ? std::string_view("\n\0", 2) : std::string_view("\r\0\n\0", 4);
            case Encoding::Utf16Be: return lf_ ? std::string_view("\0\n", 2) : std::string_view("\0\r\0\n", 4);
            default: return lf_ ? std::string_view("\n") : std::string_view("\r\n");
        }
    }

    bool operator==(const LineBreak&) const = default;

private:
    static unsigned unit(std::string_view s, std::size_t i, Encoding e) {
        return e == Encoding::Utf16Be ? utf16::code_unit<true>(s.data() + i) : utf16::code_unit<false>(s.data() + i);
    }
    explicit LineBreak(bool lf, Encoding e = Encoding::Cp932)
        : lf_(lf), wide_(e == Encoding::Utf16Be ? 2 : e == Encoding::Utf16Le ? 1 : 0) {}
    bool lf_ = false;
    int wide_ = 0;
};

}  // namespace lintavo
