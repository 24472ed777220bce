// UTF-8: units of a byte string and their code values.
//
// A byte string is read from its first byte as a sequence of units: a valid
// UTF-8 sequence (1 to 4 bytes, no overlong form, no surrogate, nothing
// above U+10FFFF) is one unit whose code value is its code point; any other
// byte is one unit by itself with the code value U+DC00 + byte, and reading
// goes on at the next byte. So every byte string reads as units, and the
// units give the bytes back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lintavo::utf8 {

struct Unit {
    std::uint32_t code;  // code point; U+DC00 + b for a byte b outside any valid sequence
    std::uint32_t size;  // 1 to 4 bytes
};

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

inline bool is_continuation(unsigned char b) { return (b & 0xC0) == 0x80; }

// The unit that starts at p; end is one past the last byte of the string.
inline Unit unit_at(const char* p, const char* end) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const unsigned b = s[0];
    if (b < 0x80) return {b, 1};
    const Unit invalid{0xDC00u + b, 1};
    const std::ptrdiff_t room = end - p;
    if (b < 0xC2) return invalid;
    if (b < 0xE0) {
        if (room < 2 || !is_continuation(s[1])) return invalid;
        return {(b & 0x1Fu) << 6 | (s[1] & 0x3Fu), 2};
    }
    if (b < 0xF0) {
        // E0 needs A0..BF (no overlong form), ED 80..9F (no surrogate).
        const unsigned lo = b == 0xE0 ? 0xA0 : 0x80;
        const unsigned hi = b == 0xED ? 0x9F : 0xBF;
        if (room < 3 || s[1] < lo || s[1] > hi || !is_continuation(s[2])) return invalid;
        return {(b & 0x0Fu) << 12 | (s[1] & 0x3Fu) << 6 | (s[2] & 0x3Fu), 3};
    }
    if (b < 0xF5) {
        // F0 needs 90..BF (no overlong form), F4 80..8F (up to U+10FFFF).
        const unsigned lo = b == 0xF0 ? 0x90 : 0x80;
        const unsigned hi = b == 0xF4 ? 0x8F : 0xBF;
        if (room < 4 || s[1] < lo || s[1] > hi || !is_continuation(s[2]) || !is_continuation(s[3])) return invalid;
        return {(b & 0x07u) << 18 | (s[1] & 0x3Fu) << 12 | (s[2] & 0x3Fu) << 6 | (s[3] & 0x3Fu), 4};
    }
    return invalid;
}

inline std::size_t unit_size(const char* p, const char* end) {
    return static_cast<unsigned char>(*p) < 0x80 ? 1 : unit_at(p, end).size;
}

// Number of units of a byte string.
std::size_t unit_count(std::string_view bytes);

// Compares two byte strings unit by unit by code values: <0, 0 or >0.
int compare(std::string_view a, std::string_view b);

// The first unit boundary at or after `to`, for a string [base, end) in
// which `boundary` (<= to) is known to be one.
std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to);

// Appends the UTF-8 form of a code point (below U+110000, no surrogate).
inline void append(std::string& out, std::uint32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// What the start of a file says about its encoding.
enum class Sniffed { Unknown, Utf8, NotUtf8 };

// A byte order mark, or at least one multi-byte sequence and no byte
// outside a valid sequence: Utf8. Any byte outside a valid sequence:
// NotUtf8, except a sequence cut off by the end of `head` when `head` is
// only the start of the file. Plain ASCII (or nothing): Unknown.
Sniffed sniff(std::string_view head, bool whole_file);

}  // namespace lintavo::utf8
