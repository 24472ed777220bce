#include "engine/csv_split.h"

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

namespace lintavo {
namespace {

// Bytes that need a decision: below TAB (dropped), TAB, "," and '"'.
constexpr std::array<bool, 256> make_special() {
    std::array<bool, 256> t{};
    for (int c = 0; c < 0x09; ++c) t[c] = true;
    t['\t'] = true;
    t[','] = true;
    t['"'] = true;
    return t;
}
constexpr std::array<bool, 256> kSpecial = make_special();

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
// special byte, inside quotes only '"' and the bytes that are dropped.
std::size_t next_special(std::string_view line, std::size_t i, bool quoted) {
    const char* p = line.data();
    const std::size_t n = line.size();
    for (; i + 8 <= n; i += 8) {
        std::uint64_t x;
        std::memcpy(&x, p + i, 8);
        std::uint64_t m = equal(x, '"') | below(x, 0x09);
        if (!quoted) m |= equal(x, ',') | equal(x, '\t');
        if (m != 0) {
            if constexpr (std::endian::native == std::endian::little) return i + static_cast<std::size_t>(std::countr_zero(m)) / 8;
            break;
        }
    }
    for (; i < n; ++i) {
        const char c = p[i];
        if (kSpecial[static_cast<unsigned char>(c)] && (!quoted || (c != ',' && c != '\t'))) return i;
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
    template <typename Piece>
    Piece piece() const {
        if (in_buffer_) return {offset_, buffer_.size() - offset_, true};
        return {begin_, end_ - begin_, false};
    }

private:
    std::string_view line_;
    std::string& buffer_;
    bool in_buffer_ = false;
    std::size_t begin_ = 0, end_ = 0, offset_ = 0;
};

}  // namespace

std::size_t CsvSplitter::split(std::string_view line, std::size_t max_fields) {
    buffer_.clear();
    pieces_.clear();
    fields_.clear();
    const std::size_t n = line.size();
    Field cur(line, buffer_);
    cur.start(0);
    bool quoted = false;
    std::size_t i = 0;
    bool stopped = false;
    while (i < n) {
        const std::size_t run = next_special(line, i, quoted);
        cur.append(i, run);
        if (run >= n) break;
        const char c = line[run];
        i = run + 1;
        if (c == ',' || c == '\t') {  // outside quotes only: inside they joined the run
            pieces_.push_back(cur.piece<Piece>());
            if (pieces_.size() >= max_fields) {
                stopped = true;
                break;
            }
            cur.start(i);
        } else if (c == '"') {
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
    if (!stopped) pieces_.push_back(cur.piece<Piece>());
    fields_.reserve(pieces_.size());
    for (const Piece& p : pieces_) {
        fields_.push_back(p.in_buffer ? std::string_view(buffer_).substr(p.offset, p.length)
                                      : line.substr(p.offset, p.length));
    }
    return fields_.size();
}

}  // namespace lintavo
