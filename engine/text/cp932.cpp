#include "engine/text/cp932.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/text/unit_walk.h"
#include "engine/text/utf8.h"

namespace lintavo::cp932 {
namespace {

const lintavo::detail::CodeSet& duplicates() {
    static const lintavo::detail::CodeSet set(table::kDuplicates, table::kDuplicateCount);
    return set;
}

}  // namespace

long encode_one(std::uint32_t code) {
    if (code < 0x80) return static_cast<long>(code);
    if (code >= 0xDC80 && code <= 0xDCFF) return static_cast<long>(code - 0xDC00);
    if (code > 0xFFFF) return -1;
    const table::EncodeEntry* first = table::kEncode;
    const table::EncodeEntry* last = table::kEncode + table::kEncodeCount;
    const auto* it = std::lower_bound(first, last, code, [](const table::EncodeEntry& e, std::uint32_t c) {
        return e.code < c;
    });
    if (it == last || it->code != code) return -1;
    return it->bytes;
}

namespace {

void append_utf8(std::string& out, std::uint32_t c) {
    if (c >= 0xDC80 && c <= 0xDCFF) {
        out.push_back(static_cast<char>(c - 0xDC00));
        return;
    }
    if (c >= 0xD800 && c <= 0xDFFF) c = 0xFFFD;
    utf8::append(out, c);
}

}  // namespace

std::size_t unit_count(std::string_view bytes) { return lintavo::detail::count_units<unit_at>(bytes); }

std::vector<std::size_t> unit_offsets(std::string_view bytes) {
    std::vector<std::size_t> offsets;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        offsets.push_back(static_cast<std::size_t>(p - bytes.data()));
        p += unit_size(p, end);
    }
    offsets.push_back(bytes.size());
    return offsets;
}

bool is_duplicate(std::uint32_t code) { return duplicates().has(code); }

bool has_duplicate(std::string_view bytes) { return lintavo::detail::any_unit_in<unit_at>(bytes, duplicates()); }

int compare(std::string_view a, std::string_view b) { return lintavo::detail::compare_units<unit_at>(a, b); }

// A byte below 0x40 is never the second byte of a character.
std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to) {
    return lintavo::detail::boundary_after_single<unit_size>(base, end, boundary, to, 0x40);
}

std::u32string decode(std::string_view bytes) {
    std::u32string out;
    out.reserve(bytes.size());
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const Unit u = unit_at(p, end);
        out.push_back(u.code);
        p += u.size;
    }
    return out;
}

namespace {

// True when the byte `lead` followed by the byte `next` is one character.
bool forms_pair(unsigned lead, unsigned next) {
    const int slot = detail::lead_slot(lead);
    return slot >= 0 && next >= table::kTrailFirst && next < table::kTrailFirst + table::kTrailCount &&
           table::kDouble[slot][next - table::kTrailFirst] != 0;
}

// A character with more than one form, written after an invalid lone first
// byte: a form whose first byte does not join that byte into another
// character, where there is one (so that decoding the bytes again gives the
// same text); else the preferred form.
long form_after_lone_lead(std::uint32_t code, unsigned lead, long preferred) {
    if (!forms_pair(lead, static_cast<unsigned>(preferred >> 8))) return preferred;
    for (int slot = 0; slot < table::kLeadSlots; ++slot) {
        const unsigned first = slot < 31 ? 0x81u + static_cast<unsigned>(slot) : 0xE0u + static_cast<unsigned>(slot - 31);
        if (forms_pair(lead, first)) continue;
        for (int t = 0; t < table::kTrailCount; ++t) {
            if (table::kDouble[slot][t] == code) return static_cast<long>(first << 8 | static_cast<unsigned>(table::kTrailFirst + t));
        }
    }
    return preferred;
}

}  // namespace

bool encode(std::u32string_view text, std::string& out) {
    out.clear();
    out.reserve(text.size() * 2);
    bool complete = true;
    char32_t before = 0;
    for (const char32_t c : text) {
        long b = encode_one(c);
        if (b >= 0x100 && before >= 0xDC80 && before <= 0xDCFF && is_duplicate(c)) {
            b = form_after_lone_lead(c, static_cast<unsigned>(before - 0xDC00), b);
        }
        before = c;
        if (b < 0) {
            complete = false;
            out.push_back('?');
        } else if (b < 0x100) {
            out.push_back(static_cast<char>(b));
        } else {
            out.push_back(static_cast<char>(b >> 8));
            out.push_back(static_cast<char>(b & 0xFF));
        }
    }
    return complete;
}

std::string to_utf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const Unit u = unit_at(p, end);
        append_utf8(out, u.code);
        p += u.size;
    }
    return out;
}

std::u32string utf8_to_u32(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned b = static_cast<unsigned char>(s[i]);
        std::size_t len = 0;
        std::uint32_t c = 0;
        std::uint32_t min = 0;
        if (b < 0x80) {
            len = 1;
            c = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
            c = b & 0x1F;
            min = 0x80;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            c = b & 0x0F;
            min = 0x800;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            c = b & 0x07;
            min = 0x10000;
        }
        bool ok = len > 0 && i + len <= s.size();
        for (std::size_t k = 1; ok && k < len; ++k) {
            const unsigned t = static_cast<unsigned char>(s[i + k]);
            ok = (t & 0xC0) == 0x80;
            c = (c << 6) | (t & 0x3F);
        }
        ok = ok && c >= min && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
        if (ok) {
            out.push_back(c);
            i += len;
        } else {
            out.push_back(0xDC00 + b);  // a raw byte, kept as the byte it is
            ++i;
        }
    }
    return out;
}

std::string u32_to_utf8(std::u32string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (const char32_t c : text) append_utf8(out, c);
    return out;
}

bool from_utf8(std::string_view utf8, std::string& out) {
    const std::u32string text = utf8_to_u32(utf8);
    // A raw byte cannot be written faithfully: next to the bytes after it
    // it may read back as another character.
    for (const char32_t c : text) {
        if (c >= 0xDC80 && c <= 0xDCFF) {
            out.clear();
            return false;
        }
    }
    return encode(text, out);
}

}  // namespace lintavo::cp932
