// The text models a run can read its file in: code page 932, UTF-8, EUC-JP
// and UTF-16 in either byte order. Every step that works on characters (comparisons, keyword search,
// template marks, "先頭ゼロ空白") asks the model of the run's read
// encoding, chosen once when the settings are taken, never per byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text/cp932.h"
#include "engine/text/euc_jp.h"
#include "engine/text/utf16.h"
#include "engine/text/utf8.h"

namespace lintavo {

enum class Encoding : int { Cp932 = 0, Utf8 = 1, EucJp = 2, Utf16Le = 3, Utf16Be = 4 };

inline bool is_utf16(Encoding e) { return e == Encoding::Utf16Le || e == Encoding::Utf16Be; }

// ASCII text (marks, quotes, separators, digits, line ends) as the
// encoding writes it: the bytes themselves, or UTF-16 code units.
std::string ascii_form(Encoding e, std::string_view ascii);

// A unit of any model: its code value and its size in bytes. An invalid
// byte b has the code value U+DC00 + b. An invalid unit may hold more than
// one byte (an EUC-JP sequence that is no character): each of its bytes is
// then an invalid byte of its own.
struct TextUnit {
    std::uint32_t code;
    std::uint32_t size;
    bool invalid() const { return code >= 0xDC00 && code <= 0xDCFF; }
};

// The unit that starts at p; end is one past the last byte of the string.
inline TextUnit unit_at(Encoding e, const char* p, const char* end) {
    switch (e) {
        case Encoding::Utf8: {
            const utf8::Unit u = utf8::unit_at(p, end);
            return {u.code, u.size};
        }
        case Encoding::EucJp: {
            const euc_jp::Unit u = euc_jp::unit_at(p, end);
            return {u.code, u.size};
        }
        case Encoding::Utf16Le: {
            const utf16::Unit u = utf16::unit_at_le(p, end);
            return {u.code, u.size};
        }
        case Encoding::Utf16Be: {
            const utf16::Unit u = utf16::unit_at_be(p, end);
            return {u.code, u.size};
        }
        case Encoding::Cp932: break;
    }
    const cp932::Unit u = cp932::unit_at(p, end);
    return {u.code, u.size};
}

inline std::size_t unit_count(Encoding e, std::string_view bytes) {
    switch (e) {
        case Encoding::Utf8: return utf8::unit_count(bytes);
        case Encoding::EucJp: return euc_jp::unit_count(bytes);
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: return utf16::unit_count(bytes, e == Encoding::Utf16Be);
        case Encoding::Cp932: break;
    }
    return cp932::unit_count(bytes);
}

// Unit by unit by code values: <0, 0 or >0.
inline int compare(Encoding e, std::string_view a, std::string_view b) {
    switch (e) {
        case Encoding::Utf8: return utf8::compare(a, b);
        case Encoding::EucJp: return euc_jp::compare(a, b);
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: return utf16::compare(a, b, e == Encoding::Utf16Be);
        case Encoding::Cp932: break;
    }
    return cp932::compare(a, b);
}

// True when equal code values need not be equal bytes (the NEC and IBM
// duplicates of code page 932 and EUC-JP, JIS X 0212's characters that
// JIS X 0208 has too); in UTF-8 and UTF-16 the units always give the
// bytes back.
inline bool has_duplicate(Encoding e, std::string_view bytes) {
    switch (e) {
        case Encoding::Utf8:
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: return false;
        case Encoding::EucJp: return euc_jp::has_duplicate(bytes);
        case Encoding::Cp932: break;
    }
    return cp932::has_duplicate(bytes);
}

inline std::size_t boundary_from(Encoding e, const char* base, const char* end, std::size_t boundary, std::size_t to) {
    switch (e) {
        case Encoding::Utf8: return utf8::boundary_from(base, end, boundary, to);
        case Encoding::EucJp: return euc_jp::boundary_from(base, end, boundary, to);
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: return utf16::boundary_from(base, end, boundary, to, e == Encoding::Utf16Be);
        case Encoding::Cp932: break;
    }
    return cp932::boundary_from(base, end, boundary, to);
}

// Calls f(code) for each unit of bytes, the bytes of an invalid unit one by
// one (U+DC00 + byte), and returns nothing.
template <class F>
void for_each_code(Encoding e, std::string_view bytes, F&& f) {
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const TextUnit u = unit_at(e, p, end);
        if (u.invalid()) {
            for (std::uint32_t k = 0; k < u.size; ++k) f(0xDC00u + static_cast<unsigned char>(p[k]));
        } else {
            f(u.code);
        }
        p += u.size;
    }
}

// A text to search for, prepared once for many searches.
class Needle {
public:
    Needle() = default;
    explicit Needle(std::string_view bytes, Encoding encoding = Encoding::Cp932);
    std::string_view bytes() const { return bytes_; }
    bool empty() const { return bytes_.empty(); }
    // Holds a duplicate code, so that equal bytes alone cannot find it.
    bool by_code() const { return by_code_; }
    // The first occurrence in hay that starts on a unit boundary at or after
    // the boundary `from` and matches unit for unit by code value;
    // std::string_view::npos when there is none.
    std::size_t find_in(std::string_view hay, std::size_t from = 0) const;
    // True when the needle's bytes at `at` (known to be there, though they
    // may run on past the end of hay) lie inside hay as whole characters.
    bool whole_at(std::string_view hay, std::size_t at) const;

private:
    std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to) const {
        return lintavo::boundary_from(encoding_, base, end, boundary, to);
    }
    std::size_t find_by_code(std::string_view hay, std::size_t from) const;

    std::string bytes_;
    Encoding encoding_ = Encoding::Cp932;
    bool by_code_ = false;  // holds a duplicate code: bytes alone cannot decide
};

}  // namespace lintavo
