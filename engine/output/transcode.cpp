#include "engine/output/transcode.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace lintavo {

// The UTF-8 (or EUC-JP) form of each code page 932 character, made once
// from the table: up to three bytes (every code is below U+10000) and their
// count, 0 for a byte or pair that is no character, kNoForm for a character
// the encoding has no form for. Four bytes are copied at once.
struct Utf8Form {
    char bytes[3];
    std::uint8_t size;
};
static_assert(sizeof(Utf8Form) == 4);
constexpr std::uint8_t kNoForm = 0xFF;

struct Utf8Forms {
    std::array<Utf8Form, 256> single{};
    std::array<Utf8Form, cp932::table::kLeadSlots * cp932::table::kTrailCount> pair{};
};

namespace {

constexpr std::uint64_t kHighs = 0x8080808080808080ULL;

// Code page 932 bytes of every character below U+10000 (one byte when below
// 0x100, else lead << 8 | trail; 0 for none), made once from the table.
const std::uint16_t* cp932_codes() {
    static const std::unique_ptr<std::uint16_t[]> codes = [] {
        auto t = std::make_unique<std::uint16_t[]>(0x10000);
        for (std::size_t i = 0; i < cp932::table::kEncodeCount; ++i) {
            const cp932::table::EncodeEntry& e = cp932::table::kEncode[i];
            t[e.code] = e.bytes;
        }
        for (unsigned c = 1; c < 0x80; ++c) t[c] = static_cast<std::uint16_t>(c);
        return t;
    }();
    return codes.get();
}

Utf8Form form_of(std::uint32_t code) {
    std::string u;
    utf8::append(u, code);
    Utf8Form f{};
    std::memcpy(f.bytes, u.data(), u.size());
    f.size = static_cast<std::uint8_t>(u.size());
    return f;
}

// The EUC-JP form of each code value written by code: up to three bytes,
// 0 bytes when EUC-JP has none.
Utf8Form euc_jp_form_of(std::uint32_t code) {
    std::string e;
    Utf8Form f{};
    if (!euc_jp::append_code(e, code)) return f;
    std::memcpy(f.bytes, e.data(), e.size());
    f.size = static_cast<std::uint8_t>(e.size());
    return f;
}

// The EUC-JP form of each code page 932 character: double-byte characters
// of rows 1-94 at their row and cell, the rest by code value.
const Utf8Forms& euc_jp_forms() {
    static const std::unique_ptr<Utf8Forms> forms = [] {
        auto f = std::make_unique<Utf8Forms>();
        for (unsigned b = 0; b < 256; ++b) {
            if (cp932::table::kSingle[b] != cp932::table::kNoChar) f->single[b] = euc_jp_form_of(cp932::table::kSingle[b]);
        }
        for (int slot = 0; slot < cp932::table::kLeadSlots; ++slot) {
            const unsigned lead = slot < 31 ? 0x81u + static_cast<unsigned>(slot) : 0xE0u + static_cast<unsigned>(slot - 31);
            for (int t = 0; t < cp932::table::kTrailCount; ++t) {
                const std::uint16_t c = cp932::table::kDouble[slot][t];
                if (c == 0) continue;
                Utf8Form& form = f->pair[static_cast<std::size_t>(slot * cp932::table::kTrailCount + t)];
                const unsigned rc = euc_jp::jis_of(lead, static_cast<unsigned>(cp932::table::kTrailFirst + t));
                if ((rc >> 8) <= 94) {
                    form = {{static_cast<char>(0xA0 + (rc >> 8)), static_cast<char>(0xA0 + (rc & 0xFF)), 0}, 2};
                } else {
                    form = euc_jp_form_of(c);
                    if (form.size == 0) form.size = kNoForm;  // a character, but none of EUC-JP
                }
            }
        }
        return f;
    }();
    return *forms;
}

// The EUC-JP form of every code value below U+10000, made once.
const Utf8Form* euc_jp_forms_by_code() {
    static const std::unique_ptr<Utf8Form[]> forms = [] {
        auto f = std::make_unique<Utf8Form[]>(0x10000);
        for (std::uint32_t c = 0; c < 0x10000; ++c) f[c] = euc_jp_form_of(c);
        return f;
    }();
    return forms.get();
}

// The code page 932 bytes and the UTF-8 form of each EUC-JP two-byte
// character, by (first - 0xA1) * 94 + (second - 0xA1); 0 where none.
struct EucJpPairs {
    std::array<std::uint16_t, 94 * 94> cp932{};
    std::array<Utf8Form, 94 * 94> utf8{};
};

const EucJpPairs& euc_jp_pairs() {
    static const std::unique_ptr<EucJpPairs> pairs = [] {
        auto f = std::make_unique<EucJpPairs>();
        for (unsigned row = 1; row <= 94; ++row) {
            for (unsigned cell = 1; cell <= 94; ++cell) {
                const std::uint16_t c = euc_jp::row_cell_code(row, cell);
                if (c == 0) continue;
                const std::size_t i = (row - 1) * 94 + (cell - 1);
                f->cp932[i] = static_cast<std::uint16_t>(euc_jp::cp932_of(row, cell));
                f->utf8[i] = form_of(c);
            }
        }
        return f;
    }();
    return *pairs;
}

const Utf8Forms& utf8_forms() {
    static const std::unique_ptr<Utf8Forms> forms = [] {
        auto f = std::make_unique<Utf8Forms>();
        for (unsigned b = 0; b < 256; ++b) {
            if (cp932::table::kSingle[b] != cp932::table::kNoChar) f->single[b] = form_of(cp932::table::kSingle[b]);
        }
        for (int slot = 0; slot < cp932::table::kLeadSlots; ++slot) {
            for (int t = 0; t < cp932::table::kTrailCount; ++t) {
                const std::uint16_t c = cp932::table::kDouble[slot][t];
                if (c != 0) f->pair[static_cast<std::size_t>(slot * cp932::table::kTrailCount + t)] = form_of(c);
            }
        }
        return f;
    }();
    return *forms;
}

// Copies the ASCII bytes from p on, eight at a time, and returns the first
// byte that is not ASCII (or end).
inline const char* copy_ascii(const char*& p, const char* end, char*& o) {
    while (end - p >= 8) {
        std::uint64_t x;
        std::memcpy(&x, p, 8);
        if ((x & kHighs) != 0) break;
        std::memcpy(o, p, 8);
        p += 8;
        o += 8;
    }
    while (p < end && static_cast<unsigned char>(*p) < 0x80) *o++ = *p++;
    return p;
}

inline char* put_utf8(char* o, std::uint32_t c) {
    if (c < 0x800) {
        *o++ = static_cast<char>(0xC0 | (c >> 6));
    } else {
        if (c < 0x10000) {
            *o++ = static_cast<char>(0xE0 | (c >> 12));
        } else {
            *o++ = static_cast<char>(0xF0 | (c >> 18));
            *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        }
        *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    }
    *o++ = static_cast<char>(0x80 | (c & 0x3F));
    return o;
}

}  // namespace

std::string_view Transcoder::convert(std::string_view in) {
    replaced_ = 0;
    first_ = std::string_view::npos;
    if (from_ == to_) return in;
    // A byte becomes at most three (half-width katakana, U+FFFD) in UTF-8 and
    // at most two ("〓", a katakana after SS2) in code page 932 and EUC-JP.
    // Four bytes more: a character's form is copied four bytes at a time.
    const std::size_t room = in.size() * (to_ == Encoding::Utf8 ? 3 : 2) + sizeof(std::uint32_t);
    if (buf_.size() < room) buf_.resize(room + room / 2);
    const char* p = in.data();
    const char* end = p + in.size();
    char* o = buf_.data();
    char* done = o;
    switch (is_utf16(to_) ? Encoding::Utf16Le : from_) {
        case Encoding::Cp932: done = cp932_by_forms(to_ == Encoding::Utf8 ? utf8_forms() : euc_jp_forms(), p, end, o); break;
        case Encoding::Utf8: done = to_ == Encoding::Cp932 ? utf8_to_cp932(p, end, o) : utf8_to_euc_jp(p, end, o); break;
        case Encoding::EucJp: done = to_ == Encoding::Cp932 ? euc_jp_to_cp932(p, end, o) : euc_jp_to_utf8(p, end, o); break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: done = by_code(p, end, o); break;  // to or from UTF-16: by code value
    }
    return std::string_view(buf_.data(), static_cast<std::size_t>(done - buf_.data()));
}

// Each invalid byte, or each character the write encoding has no code for,
// is one replacement character.
char* Transcoder::replace(char* o, std::size_t offset, std::size_t bytes) {
    for (std::size_t k = 0; k < bytes; ++k) {
        note_replacement(offset + k);
        if (to_ == Encoding::Utf8) {
            o = put_utf8(o, 0xFFFD);
        } else if (is_utf16(to_)) {
            const bool big = to_ == Encoding::Utf16Be;
            *o++ = static_cast<char>(big ? 0xFF : 0xFD);
            *o++ = static_cast<char>(big ? 0xFD : 0xFF);
        } else {
            const std::string_view r = to_ == Encoding::Cp932 ? std::string_view("\x81\xAC") : euc_jp::kReplacement;
            std::memcpy(o, r.data(), 2);
            o += 2;
        }
    }
    return o;
}

// To or from UTF-16: every unit by its code value.
char* Transcoder::by_code(const char* p, const char* end, char* o) {
    const char* const base = p;
    const std::uint16_t* sjis = to_ == Encoding::Cp932 ? cp932_codes() : nullptr;
    const Utf8Form* euc = to_ == Encoding::EucJp ? euc_jp_forms_by_code() : nullptr;
    const bool big = to_ == Encoding::Utf16Be;
    while (p < end) {
        const TextUnit u = unit_at(from_, p, end);
        const auto offset = static_cast<std::size_t>(p - base);
        p += u.size;
        if (u.invalid()) {
            o = replace(o, offset, u.size);
            continue;
        }
        switch (to_) {
            case Encoding::Utf16Le:
            case Encoding::Utf16Be:
                if (u.code < 0x10000) {
                    *o++ = static_cast<char>(big ? u.code >> 8 : u.code & 0xFF);
                    *o++ = static_cast<char>(big ? u.code & 0xFF : u.code >> 8);
                } else {
                    const std::uint32_t c = u.code - 0x10000;
                    const std::uint32_t hi = 0xD800 + (c >> 10), lo = 0xDC00 + (c & 0x3FF);
                    *o++ = static_cast<char>(big ? hi >> 8 : hi & 0xFF);
                    *o++ = static_cast<char>(big ? hi & 0xFF : hi >> 8);
                    *o++ = static_cast<char>(big ? lo >> 8 : lo & 0xFF);
                    *o++ = static_cast<char>(big ? lo & 0xFF : lo >> 8);
                }
                break;
            case Encoding::Utf8:
                if (u.code < 0x80) *o++ = static_cast<char>(u.code);
                else o = put_utf8(o, u.code);
                break;
            case Encoding::Cp932: {
                const std::uint16_t b = u.code == 0 ? 0 : (u.code < 0x10000 ? sjis[u.code] : 0);
                if (u.code == 0) {
                    *o++ = 0;
                } else if (b == 0) {
                    o = replace(o, offset);
                } else if (b < 0x100) {
                    *o++ = static_cast<char>(b);
                } else {
                    *o++ = static_cast<char>(b >> 8);
                    *o++ = static_cast<char>(b & 0xFF);
                }
                break;
            }
            case Encoding::EucJp: {
                const Utf8Form* f = u.code < 0x10000 ? &euc[u.code] : nullptr;
                if (u.code == 0) {
                    *o++ = 0;
                } else if (f == nullptr || f->size == 0) {
                    o = replace(o, offset);
                } else {
                    std::memcpy(o, f, sizeof *f);
                    o += f->size;
                }
                break;
            }
        }
    }
    return o;
}

char* Transcoder::euc_jp_to_cp932(const char* p, const char* end, char* o) {
    const char* const base = p;
    const EucJpPairs& pairs = euc_jp_pairs();
    const std::uint16_t* codes = cp932_codes();
    while (copy_ascii(p, end, o) < end) {
        const auto* s = reinterpret_cast<const unsigned char*>(p);
        const euc_jp::Unit u = euc_jp::unit_at(p, end);
        std::uint16_t b = 0;
        if (u.code >= 0xDC00 && u.code <= 0xDCFF) {
            b = 0;
        } else if (u.size == 2 && s[0] != euc_jp::kSs2) {
            b = pairs.cp932[(s[0] - 0xA1u) * 94 + (s[1] - 0xA1u)];
        } else if (u.size == 2) {
            b = s[1];  // a half-width katakana loses SS2
        } else {
            b = codes[u.code];  // JIS X 0212, by code value
        }
        if (b == 0) {
            o = replace(o, static_cast<std::size_t>(p - base), u.code >= 0xDC00 && u.code <= 0xDCFF ? u.size : 1);
        } else if (b < 0x100) {
            *o++ = static_cast<char>(b);
        } else {
            *o++ = static_cast<char>(b >> 8);
            *o++ = static_cast<char>(b & 0xFF);
        }
        p += u.size;
    }
    return o;
}

char* Transcoder::euc_jp_to_utf8(const char* p, const char* end, char* o) {
    const char* const base = p;
    const EucJpPairs& pairs = euc_jp_pairs();
    while (copy_ascii(p, end, o) < end) {
        const auto* s = reinterpret_cast<const unsigned char*>(p);
        const euc_jp::Unit u = euc_jp::unit_at(p, end);
        if (u.code >= 0xDC00 && u.code <= 0xDCFF) {
            o = replace(o, static_cast<std::size_t>(p - base), u.size);
        } else if (u.size == 2 && s[0] != euc_jp::kSs2) {
            const Utf8Form& f = pairs.utf8[(s[0] - 0xA1u) * 94 + (s[1] - 0xA1u)];
            std::memcpy(o, &f, sizeof f);
            o += f.size;
        } else {
            o = put_utf8(o, u.code);
        }
        p += u.size;
    }
    return o;
}

char* Transcoder::utf8_to_euc_jp(const char* p, const char* end, char* o) {
    const char* const base = p;
    const Utf8Form* forms = euc_jp_forms_by_code();
    while (copy_ascii(p, end, o) < end) {
        const utf8::Unit u = utf8::unit_at(p, end);
        const Utf8Form* f = u.size > 1 && u.code < 0x10000 ? &forms[u.code] : nullptr;
        if (f != nullptr && f->size != 0) {
            std::memcpy(o, f, sizeof *f);
            o += f->size;
        } else {
            o = replace(o, static_cast<std::size_t>(p - base));
        }
        p += u.size;
    }
    return o;
}

// Code page 932 through a table of forms (UTF-8 or EUC-JP). A character
// whose form is empty (EUC-JP has none for the user-defined area), a single
// byte without a form and an invalid byte are replaced.
char* Transcoder::cp932_by_forms(const Utf8Forms& forms, const char* p, const char* end, char* o) {
    const char* const base = p;
    while (copy_ascii(p, end, o) < end) {
        // The characters up to the next ASCII byte, one after the other.
        do {
            const auto b = static_cast<unsigned char>(*p);
            const int slot = cp932::detail::lead_slot(b);
            if (slot >= 0 && end - p >= 2) {
                const unsigned t = static_cast<unsigned char>(p[1]) - cp932::table::kTrailFirst;
                if (t < static_cast<unsigned>(cp932::table::kTrailCount)) {
                    const Utf8Form& f = forms.pair[static_cast<std::size_t>(slot * cp932::table::kTrailCount) + t];
                    if (f.size != 0) {
                        if (f.size == kNoForm) {
                            o = replace(o, static_cast<std::size_t>(p - base));
                        } else {
                            std::memcpy(o, &f, sizeof f);
                            o += f.size;
                        }
                        p += 2;
                        continue;
                    }
                }
            }
            const Utf8Form& f = forms.single[b];
            if (f.size != 0) {
                std::memcpy(o, &f, sizeof f);
                o += f.size;
            } else {
                // An invalid byte: a lead byte without its trail byte, or a byte no character has.
                o = replace(o, static_cast<std::size_t>(p - base));
            }
            ++p;
        } while (p < end && static_cast<unsigned char>(*p) >= 0x80);
    }
    return o;
}

char* Transcoder::utf8_to_cp932(const char* p, const char* end, char* o) {
    const char* const base = p;
    const std::uint16_t* codes = cp932_codes();
    while (copy_ascii(p, end, o) < end) {
        const utf8::Unit u = utf8::unit_at(p, end);
        const std::uint16_t b = u.code < 0x10000 && u.size > 1 ? codes[u.code] : 0;
        if (b == 0) {
            note_replacement(static_cast<std::size_t>(p - base));
            *o++ = '\x81';  // 〓
            *o++ = '\xAC';
        } else if (b < 0x100) {
            *o++ = static_cast<char>(b);
        } else {
            *o++ = static_cast<char>(b >> 8);
            *o++ = static_cast<char>(b & 0xFF);
        }
        p += u.size;
    }
    return o;
}

}  // namespace lintavo
