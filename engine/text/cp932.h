// Code page 932 (Shift-JIS as Microsoft defines it): units of a byte string,
// their code values, lossless decoding and checked encoding.
//
// A byte string is read from its first byte as a sequence of units: a valid
// double-byte character, a valid single-byte character, or one invalid byte
// (code value U+DC00 + byte). Every text of the engine stays in bytes;
// comparisons and searches work on units and their code values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/cp932_table.h"

namespace lintavo::cp932 {

struct Unit {
    std::uint32_t code;  // Unicode code point; U+DC00 + b for an invalid byte b
    std::uint32_t size;  // 1 or 2 bytes
};

namespace detail {
inline int lead_slot(unsigned b) {
    if (b >= 0x81 && b <= 0x9F) return static_cast<int>(b - 0x81);
    if (b >= 0xE0 && b <= 0xFC) return static_cast<int>(b - 0xE0 + 31);
    return -1;
}
}  // namespace detail

// The unit that starts at p; end is one past the last byte of the string.
inline Unit unit_at(const char* p, const char* end) {
    const unsigned b = static_cast<unsigned char>(*p);
    if (b < 0x80) return {b, 1};
    const int slot = detail::lead_slot(b);
    if (slot >= 0 && p + 1 < end) {
        const unsigned t = static_cast<unsigned char>(p[1]);
        if (t >= table::kTrailFirst && t < table::kTrailFirst + table::kTrailCount) {
            const std::uint16_t c = table::kDouble[slot][t - table::kTrailFirst];
            if (c != 0) return {c, 2};
        }
    }
    const std::uint16_t s = table::kSingle[b];
    if (s != table::kNoChar) return {s, 1};
    return {0xDC00u + b, 1};
}

// Number of bytes of the unit that starts at p.
inline std::size_t unit_size(const char* p, const char* end) {
    return static_cast<unsigned char>(*p) < 0x80 ? 1 : unit_at(p, end).size;
}

// Number of units of a byte string.
std::size_t unit_count(std::string_view bytes);

// The byte offset at which each unit starts, followed by the string's size.
std::vector<std::size_t> unit_offsets(std::string_view bytes);

// True when more than one byte sequence decodes to this code value
// (NEC and IBM duplicates), so that equal code values need not be equal bytes.
bool is_duplicate(std::uint32_t code);

// True when some unit of the string has a duplicate code value.
bool has_duplicate(std::string_view bytes);

// Compares two byte strings unit by unit by code values: <0, 0 or >0.
int compare(std::string_view a, std::string_view b);

// The first unit boundary at or after `to`, for a string [base, end) in
// which `boundary` (<= to) is known to be one.
std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to);

// The bytes code page 932's codec writes for one code value (one byte when
// below 0x100, else lead << 8 | trail; an invalid byte's own for
// U+DC80..U+DCFF), or -1 when there are none.
long encode_one(std::uint32_t code);

// Lossless decoding: every unit becomes its code value.
std::u32string decode(std::string_view bytes);

// Encodes Unicode text. Returns false when a character cannot be held; out
// then holds "?" in its place (callers report the failure, never use out).
// U+DC80..U+DCFF give back the invalid byte they stand for, so decoding
// then encoding gives the bytes back (duplicate codes come back as the
// codec's preferred form).
bool encode(std::u32string_view text, std::string& out);

// Code page 932 bytes to UTF-8 for messages and file names; an invalid byte
// is passed through as the raw byte, as file names on Linux carry it.
std::string to_utf8(std::string_view bytes);

// Valid UTF-8 to code page 932. Returns false when a character cannot be
// held, and for bytes that are not UTF-8 (the raw bytes to_utf8 passes
// through), which written as they are could read back as other characters.
bool from_utf8(std::string_view utf8, std::string& out);

// UTF-8 with raw bytes to code points (a raw byte b becomes U+DC00 + b).
std::u32string utf8_to_u32(std::string_view utf8);
std::string u32_to_utf8(std::u32string_view text);

}  // namespace lintavo::cp932
