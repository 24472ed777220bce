#include "engine/output/transcode.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace lintavo {
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

// The UTF-8 form of each code page 932 character, made once from the
// table: up to three bytes (every code is below U+10000) and their count,
// 0 for a byte or pair that is no character. Four bytes are copied at once.
struct Utf8Form {
    char bytes[3];
    std::uint8_t size;
};
static_assert(sizeof(Utf8Form) == 4);

struct Utf8Forms {
    std::array<Utf8Form, 256> single{};
    std::array<Utf8Form, cp932::table::kLeadSlots * cp932::table::kTrailCount> pair{};
};

Utf8Form form_of(std::uint32_t code) {
    std::string u;
    utf8::append(u, code);
    Utf8Form f{};
    std::memcpy(f.bytes, u.data(), u.size());
    f.size = static_cast<std::uint8_t>(u.size());
    return f;
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
    // at most two ("〓") in code page 932.
    // Four bytes more: a character's form is copied four bytes at a time.
    const std::size_t room = in.size() * (to_ == Encoding::Utf8 ? 3 : 2) + sizeof(std::uint32_t);
    if (buf_.size() < room) buf_.resize(room + room / 2);
    const char* p = in.data();
    char* o = buf_.data();
    char* done = from_ == Encoding::Cp932 ? cp932_to_utf8(p, p + in.size(), o) : utf8_to_cp932(p, p + in.size(), o);
    return std::string_view(buf_.data(), static_cast<std::size_t>(done - buf_.data()));
}

char* Transcoder::cp932_to_utf8(const char* p, const char* end, char* o) {
    const char* const base = p;
    const Utf8Forms& forms = utf8_forms();
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
                        std::memcpy(o, &f, sizeof f);
                        o += f.size;
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
                note_replacement(static_cast<std::size_t>(p - base));
                o = put_utf8(o, 0xFFFD);
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
