#include "engine/text/euc_jp.h"

#include <algorithm>
#include <array>

#include "engine/text/cp932.h"
#include "engine/text/unit_walk.h"

namespace lintavo::euc_jp {
namespace {

const lintavo::detail::CodeSet& duplicates() {
    static const lintavo::detail::CodeSet set(table::kDuplicates, table::kDuplicateCount);
    return set;
}

long jis0212_code(std::uint32_t code) {
    const table::Jis0212Entry* first = table::kJis0212Encode;
    const table::Jis0212Entry* last = first + table::kJis0212EncodeCount;
    const auto* it = std::lower_bound(first, last, code, [](const table::Jis0212Entry& e, std::uint32_t c) {
        return e.code < c;
    });
    return it != last && it->code == code ? it->bytes : -1;
}

void push(std::string& out, unsigned b) { out.push_back(static_cast<char>(b)); }

}  // namespace

bool is_duplicate(std::uint32_t code) { return duplicates().has(code); }

bool has_duplicate(std::string_view bytes) { return lintavo::detail::any_unit_in<unit_at>(bytes, duplicates()); }

std::size_t unit_count(std::string_view bytes) { return lintavo::detail::count_units<unit_at>(bytes); }

int compare(std::string_view a, std::string_view b) { return lintavo::detail::compare_units<unit_at>(a, b); }

// Every byte of a character or of an invalid sequence is 0x80 or above.
std::size_t boundary_from(const char* base, const char* end, std::size_t boundary, std::size_t to) {
    return lintavo::detail::boundary_after_single<unit_size>(base, end, boundary, to, 0x80);
}

bool append_code(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        push(out, code);
        return true;
    }
    if (code > 0xFFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    const long sj = cp932::encode_one(code);
    if (sj >= 0xA1 && sj <= 0xDF) {
        push(out, kSs2);
        push(out, static_cast<unsigned>(sj));
        return true;
    }
    if (sj >= 0x100) {
        const unsigned rc = jis_of(static_cast<unsigned>(sj) >> 8, static_cast<unsigned>(sj) & 0xFF);
        if ((rc >> 8) <= 94) {
            push(out, 0xA0 + (rc >> 8));
            push(out, 0xA0 + (rc & 0xFF));
            return true;
        }
    }
    const long x = jis0212_code(code);
    if (x < 0) return false;
    push(out, kSs3);
    push(out, static_cast<unsigned>(x) >> 8);
    push(out, static_cast<unsigned>(x) & 0xFF);
    return true;
}

bool from_cp932(std::string_view bytes, std::string& out) {
    out.clear();
    bool complete = true;
    const char* p = bytes.data();
    const char* end = p + bytes.size();
    while (p < end) {
        const auto b = static_cast<unsigned char>(*p);
        const cp932::Unit u = cp932::unit_at(p, end);
        if (b < 0x80 || (u.code >= 0xDC80 && u.code <= 0xDCFF)) {
            out.push_back(*p);  // ASCII, or an invalid byte kept as that byte
        } else if (u.size == 2) {
            const unsigned rc = jis_of(b, static_cast<unsigned char>(p[1]));
            if ((rc >> 8) <= 94) {
                push(out, 0xA0 + (rc >> 8));
                push(out, 0xA0 + (rc & 0xFF));
            } else if (!append_code(out, u.code)) {
                out += kReplacement;
                complete = false;
            }
        } else if (!append_code(out, u.code)) {
            out += kReplacement;
            complete = false;
        }
        p += u.size;
    }
    return complete;
}

}  // namespace lintavo::euc_jp
