#include "engine/csv_split.h"

#include <array>

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
        std::size_t run = i;
        while (run < n && !kSpecial[static_cast<unsigned char>(line[run])]) ++run;
        if (quoted) {
            while (run < n && (line[run] == ',' || line[run] == '\t')) {
                ++run;
                while (run < n && !kSpecial[static_cast<unsigned char>(line[run])]) ++run;
            }
        }
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
