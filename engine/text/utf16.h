// UTF-16, in either byte order: units of a byte string and their code values.
//
// A byte string is read from its first byte in code units of two bytes: a
// code unit that is no surrogate is one unit, its value the code value; a
// high surrogate followed by a low one is one unit of four bytes; any other
// surrogate is a unit of two invalid bytes, and a last odd byte is one
// invalid byte. An invalid byte b stands for the code value U+DC00 + b (b
// may be below 0x80 here), which no valid unit of any encoding has.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lintavo::utf16 {

struct Unit {
    std::uint32_t code;  // code point; U+DC00 + first byte for invalid bytes
    std::uint32_t size;  // 1, 2 or 4 bytes
};

inline constexpr std::string_view kMarkLe = "\xFF\xFE";
inline constexpr std::string_view kMarkBe = "\xFE\xFF";

template <bool Big>
inline unsigned code_unit(const char* p) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    return Big ? (unsigned{s[0]} << 8 | s[1]) : (unsigned{s[1]} << 8 | s[0]);
}

inline bool is_high(unsigned u) { return u >= 0xD800 && u <= 0xDBFF; }
inline bool is_low(unsigned u) { return u >= 0xDC00 && u <= 0xDFFF; }

// The unit that starts at p; end is one past the last byte of the string.
template <bool Big>
inline Unit unit_at(const char* p, const char* end) {
    const unsigned first = static_cast<unsigned char>(*p);
    if (end - p < 2) return {0xDC00u + first, 1};
    const unsigned u = code_unit<Big>(p);
    if (u < 0xD800 || u > 0xDFFF) return {u, 2};
    if (is_high(u) && end - p >= 4) {
        const unsigned v = code_unit<Big>(p + 2);
        if (is_low(v)) return {0x10000u + ((u - 0xD800u) << 10) + (v - 0xDC00u), 4};
    }
    return {0xDC00u + first, 2};
}

inline Unit unit_at_le(const char* p, const char* end) { return unit_at<false>(p, end); }
inline Unit unit_at_be(const char* p, const char* end) { return unit_at<true>(p, end); }

std::size_t unit_count(std::string_view bytes, bool big);
int compare(std::string_view a, std::string_view b, bool big);

// The first unit boundary at or after `to`, for a string [base, end) in
// which `boundary` (<= to) is known to be one.
std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to, bool big);

// Appends the code units of a code point (below U+110000, no surrogate).
inline void append(std::string& out, std::uint32_t c, bool big) {
    const auto put = [&out, big](unsigned u) {
        out.push_back(static_cast<char>(big ? u >> 8 : u & 0xFF));
        out.push_back(static_cast<char>(big ? u & 0xFF : u >> 8));
    };
    if (c < 0x10000) {
        put(c);
    } else {
        put(0xD800 + ((c - 0x10000) >> 10));
        put(0xDC00 + ((c - 0x10000) & 0x3FF));
    }
}

}  // namespace lintavo::utf16
