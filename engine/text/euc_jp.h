// EUC-JP: code page 932's character set in EUC form, with JIS X 0212.
//
// A byte string is read from its first byte as a sequence of units: ASCII
// (one byte), a half-width katakana (SS2 and A1-DF), a JIS X 0212
// character (SS3 and two bytes A1-FE), or a character of JIS rows 1-94
// (two bytes A1-FE) that code page 932 has at the same row and cell, with
// that character's code value. A sequence of one of those forms that is no
// character is one unit of invalid bytes: its size is the whole sequence,
// so that reading never restarts at its second byte (a trail byte could
// start a false character), and each of its bytes b stands for the code
// value U+DC00 + b. Any other byte is one invalid byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/text/cp932_table.h"
#include "engine/text/euc_jp_table.h"

namespace lintavo::euc_jp {

struct Unit {
    std::uint32_t code;  // code value; U+DC00 + first byte for invalid bytes
    std::uint32_t size;  // 1 to 3 bytes
};

inline constexpr unsigned kSs2 = 0x8E;
inline constexpr unsigned kSs3 = 0x8F;
inline constexpr std::string_view kReplacement = "\xA2\xAE";  // 〓

inline bool in_a1_fe(unsigned b) { return b >= 0xA1 && b <= 0xFE; }

// The code page 932 bytes (lead << 8 | trail) of JIS row and cell (1-94 each).
inline unsigned cp932_of(unsigned row, unsigned cell) {
    const unsigned lead_index = (row - 1) / 2;
    const unsigned lead = lead_index < 31 ? 0x81 + lead_index : 0xE0 + lead_index - 31;
    unsigned trail;
    if (row % 2 == 0) trail = cell + 0x9E;
    else trail = cell <= 63 ? cell + 0x3F : cell + 0x40;
    return lead << 8 | trail;
}

// The JIS row and cell (row << 8 | cell) of a code page 932 double-byte
// code; rows above 94 (the user-defined area and the IBM extensions) too.
inline unsigned jis_of(unsigned lead, unsigned trail) {
    unsigned row = lead <= 0x9F ? 2 * (lead - 0x81) + 1 : 2 * (lead - 0xC1) + 1;
    unsigned cell;
    if (trail >= 0x9F) {
        ++row;
        cell = trail - 0x9E;
    } else {
        cell = trail < 0x7F ? trail - 0x3F : trail - 0x40;
    }
    return row << 8 | cell;
}

// The code value of code page 932's character at JIS row and cell; 0 for none.
inline std::uint16_t row_cell_code(unsigned row, unsigned cell) {
    const unsigned sj = cp932_of(row, cell);
    const unsigned lead = sj >> 8;
    const int slot = lead <= 0x9F ? static_cast<int>(lead - 0x81) : static_cast<int>(lead - 0xE0 + 31);
    return cp932::table::kDouble[slot][(sj & 0xFF) - cp932::table::kTrailFirst];
}

// The unit that starts at p; end is one past the last byte of the string.
inline Unit unit_at(const char* p, const char* end) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const unsigned b = s[0];
    if (b < 0x80) return {b, 1};
    const std::ptrdiff_t room = end - p;
    if (b == kSs2) {
        if (room >= 2 && s[1] >= 0xA1 && s[1] <= 0xDF) return {0xFF61u + (s[1] - 0xA1u), 2};
    } else if (b == kSs3) {
        if (room >= 3 && in_a1_fe(s[1]) && in_a1_fe(s[2])) {
            const std::uint16_t c = table::kJis0212[s[1] - 0xA1][s[2] - 0xA1];
            return {c != 0 ? c : 0xDC00u + b, 3};
        }
    } else if (in_a1_fe(b) && room >= 2 && in_a1_fe(s[1])) {
        const std::uint16_t c = row_cell_code(b - 0xA0, s[1] - 0xA0u);
        return {c != 0 ? c : 0xDC00u + b, 2};
    }
    return {0xDC00u + b, 1};
}

// True when [p, end) is the start of an SS2, SS3 or two-byte sequence that
// the end cut off.
inline bool cut_off(const char* p, const char* end) {
    const auto* s = reinterpret_cast<const unsigned char*>(p);
    const std::ptrdiff_t have = end - p;
    if (s[0] == kSs2) return have == 1;
    if (s[0] == kSs3) return have < 3 && (have == 1 || in_a1_fe(s[1]));
    return in_a1_fe(s[0]) && have == 1;
}

inline std::size_t unit_size(const char* p, const char* end) {
    return static_cast<unsigned char>(*p) < 0x80 ? 1 : unit_at(p, end).size;
}

// True when more than one byte sequence decodes to this code value.
bool is_duplicate(std::uint32_t code);
bool has_duplicate(std::string_view bytes);

std::size_t unit_count(std::string_view bytes);
int compare(std::string_view a, std::string_view b);
std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to);

// Appends the EUC-JP form of a code value: ASCII, then the form code page
// 932 gives it when that lies in rows 1-94 or is a half-width katakana, else
// its JIS X 0212 code. Returns false, appending nothing, when EUC-JP has no
// form for it (the user-defined area, single bytes 0x80, 0xA0, 0xFD-0xFF,
// characters outside both sets, invalid bytes).
bool append_code(std::string& out, std::uint32_t code);

// The EUC-JP form of code page 932 bytes, double-byte characters at their
// own JIS row and cell, for the texts of the settings (comparison values,
// keywords, the template). An invalid byte stays that byte. Returns false
// when a character has no EUC-JP form (out then holds "〓" in its place).
bool from_cp932(std::string_view bytes, std::string& out);

}  // namespace lintavo::euc_jp
