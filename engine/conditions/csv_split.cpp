#include "engine/conditions/csv_split.h"

#include <bit>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace lintavo {
namespace {

// Eight bytes at a time: a mask whose lowest flagged byte is the first byte
// equal to c (or, for below(), the first byte below n).
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = 0x8080808080808080ULL;
inline std::uint64_t equal(std::uint64_t x, unsigned char c) {
    const std::uint64_t v = x ^ (kOnes * c);
    return (v - kOnes) & ~v & kHighs;
}
inline std::uint64_t below(std::uint64_t x, unsigned char n) { return (x - kOnes * n) & ~x & kHighs; }

// The first byte at or after i that needs a decision: outside quotes any
// special byte (TAB, `comma` and those below), inside quotes only '"' and
// the bytes that are dropped. Sixteen bytes at a time where SSE2 is there,
// then eight, then one.
std::size_t next_special(std::string_view line, std::size_t i, bool quoted, char comma) {
    const char* p = line.data();
    const std::size_t n = line.size();
#if defined(__SSE2__)
    {
        const __m128i quote = _mm_set1_epi8('"');
        const __m128i separator = _mm_set1_epi8(quoted ? '"' : comma);
        // Bytes up to 0x08 are dropped; outside quotes TAB (0x09) separates.
        const __m128i low = _mm_set1_epi8(quoted ? 0x08 : 0x09);
        for (; i + 16 <= n; i += 16) {
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
            const __m128i hit = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(x, quote), _mm_cmpeq_epi8(x, separator)),
                                             _mm_cmpeq_epi8(_mm_min_epu8(x, low), x));
            const auto m = static_cast<unsigned>(_mm_movemask_epi8(hit));
            if (m != 0) return i + static_cast<std::size_t>(std::countr_zero(m));
        }
    }
#endif
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x;
        std::memcpy(&x, p + i, 8);
        std::uint64_t m = equal(x, '"') | below(x, 0x09);
        if (!quoted) m |= equal(x, static_cast<unsigned char>(comma)) | equal(x, '\t');
        if (m != 0) {
            if constexpr (std::endian::native == std::endian::little) return i + static_cast<std::size_t>(std::countr_zero(m)) / 8;
            break;
        }
    }
    for (; i < n; ++i) {
        const char c = p[i];
        if (c == '"' || static_cast<unsigned char>(c) < 0x09 || (!quoted && (c == '\t' || c == comma))) return i;
    }
    return n;
}

// The field being gathered: a span of the line while it is one, copied into
// the buffer as soon as something that does not continue the span is added.
class Field {
public:
    Field(std::string_view line, std::string& buffer) : line_(line), buffer_(buffer) {}

    void start(std::size_t at) {
        in_buffer_ = false;
        begin_ = end_ = at;
    }
    void append(std::size_t b, std::size_t e) {
        if (b == e) return;
        if (!in_buffer_) {
            if (begin_ == end_) {
                begin_ = b;
                end_ = e;
                return;
            }
            if (end_ == b) {
                end_ = e;
                return;
            }
            offset_ = buffer_.size();
            buffer_.append(line_.substr(begin_, end_ - begin_));
            in_buffer_ = true;
        }
        buffer_.append(line_.substr(b, e - b));
    }
    void drop_leading_blanks() {
        if (!in_buffer_) {
            while (begin_ < end_ && line_[begin_] == ' ') ++begin_;
            return;
        }
        std::size_t k = offset_;
        while (k < buffer_.size() && buffer_[k] == ' ') ++k;
        buffer_.erase(offset_, k - offset_);
    }
    std::string_view view() const {
        if (in_buffer_) return std::string_view(buffer_).substr(offset_);
        return line_.substr(begin_, end_ - begin_);
    }

private:
    std::string_view line_;
    std::string& buffer_;
    bool in_buffer_ = false;
    std::size_t begin_ = 0, end_ = 0, offset_ = 0;
};

// A field that is a plain part of the line: unquoted up to the next
// separator, or in quotes with no quote, dropped byte or blank inside the
// quotes' reach and a separator (or the end) right after the closing one.
// Most fields are; for them the split is two scans. Sets `field` and `end`
// (the separator that ends it, or the line's size) and returns true. The
// field goes out as its place and length (two registers, not a view
// written to memory and read back at once).
bool plain_field(std::string_view line, std::size_t i, char comma, std::size_t& begin, std::size_t& length,
                 std::size_t& end) {
    const std::size_t n = line.size();
    if (i < n && line[i] == '"') {
        const std::size_t q = next_special(line, i + 1, true, comma);
        if (q >= n || line[q] != '"') return false;
        if (q + 1 < n && line[q + 1] != comma && line[q + 1] != '\t') return false;
        begin = i + 1;
        length = q - i - 1;
        end = q + 1;
        return true;
    }
    const std::size_t s = next_special(line, i, false, comma);
    if (s < n && line[s] != comma && line[s] != '\t') return false;
    begin = i;
    length = s - i;
    end = s;
    return true;
}

}  // namespace

// Any other field, byte decision by byte decision, added to the fields.
// Returns the separator that ends it, or the line's size.
std::size_t CsvSplitter::gathered_field(std::string_view line, std::size_t i) {
    const std::size_t n = line.size();
    Field cur(line, buffer_);
    cur.start(i);
    bool quoted = false;
    std::size_t end = n;
    while (i < n) {
        const std::size_t run = next_special(line, i, quoted, comma_);
        cur.append(i, run);
        if (run >= n) break;
        const char c = line[run];
        i = run + 1;
        if (c == comma_ || c == '\t') {  // outside quotes only: inside they joined the run
            end = run;
            break;
        }
        if (c == '"') {
            if (!quoted) {
                cur.drop_leading_blanks();
                quoted = true;
            } else if (run + 1 == n) {
                quoted = false;
            } else if (line[run + 1] == '"') {
                cur.append(run, run + 1);
                i = run + 2;
            } else {
                quoted = false;
                while (i < n && line[i] == ' ') ++i;
            }
        }
        // Bytes below TAB are dropped in both states.
    }
    fields_.push_back(cur.view());
    return end;
}

// UTF-16 lines, code unit by code unit. Each field is gathered in the
// buffer, which with the line's size as room never moves.
std::size_t CsvSplitter::split_utf16(std::string_view line, std::size_t max_fields) {
    buffer_.clear();
    buffer_.reserve(line.size());
    fields_.clear();
    const std::size_t n = line.size();
    const bool big = wide_ == 2;
    const auto unit = [&](std::size_t i) {
        return big ? utf16::code_unit<true>(line.data() + i) : utf16::code_unit<false>(line.data() + i);
    };
    const auto comma = static_cast<unsigned>(comma_);
    std::size_t i = 0;
    for (;;) {
        const std::size_t start = buffer_.size();
        bool quoted = false;
        bool separated = false;
        while (i < n) {
            if (i + 1 >= n) {  // a last odd byte
                buffer_.push_back(line[i++]);
                break;
            }
            const unsigned u = unit(i);
            if (!quoted && (u == '\t' || u == comma)) {
                separated = true;
                i += 2;
                break;
            }
            if (u < 0x09) {  // dropped in both states
                i += 2;
                continue;
            }
            if (u == '"') {
                if (!quoted) {
                    std::size_t k = start;
                    while (k + 1 < buffer_.size() && (big ? buffer_[k] == 0 && buffer_[k + 1] == ' '
                                                          : buffer_[k] == ' ' && buffer_[k + 1] == 0)) {
                        k += 2;
                    }
                    buffer_.erase(start, k - start);  // the blanks before the opening quote
                    quoted = true;
                    i += 2;
                } else if (i + 3 < n && unit(i + 2) == '"') {
                    buffer_.append(line.substr(i, 2));
                    i += 4;
                } else {
                    quoted = false;
                    i += 2;
                    while (i + 1 < n && unit(i) == ' ') i += 2;
                }
                continue;
            }
            buffer_.append(line.substr(i, 2));
            i += 2;
        }
        fields_.emplace_back(buffer_.data() + start, buffer_.size() - start);
        if (!separated || fields_.size() >= max_fields) break;
    }
    return fields_.size();
}

std::size_t CsvSplitter::split(std::string_view line, std::size_t max_fields) {
    if (wide_ != 0) return split_utf16(line, max_fields);
    // What the fields copy into the buffer is at most the line itself, so
    // with this room the buffer never moves and views into it stay valid.
    buffer_.clear();
    buffer_.reserve(line.size());
    fields_.clear();
    const std::size_t n = line.size();
    std::size_t i = 0;
    for (;;) {
        std::size_t begin = 0, length = 0, end = 0;
        if (plain_field(line, i, comma_, begin, length, end)) {
            fields_.emplace_back(line.data() + begin, length);
        } else {
            end = gathered_field(line, i);
        }
        if (end >= n || fields_.size() >= max_fields) break;
        i = end + 1;
    }
    return fields_.size();
}

}  // namespace lintavo
