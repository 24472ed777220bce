#include "engine/io/record_reader.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>

#include "engine/io/stop_signals.h"

namespace lintavo {

RecordReader::RecordReader(ByteSource& source, std::size_t chunk) : RecordReader(source, nullptr, chunk) {}

RecordReader::RecordReader(std::shared_ptr<ByteSource> source, std::size_t chunk)
    : RecordReader(*source, source, chunk) {}

RecordReader::RecordReader(ByteSource& source, std::shared_ptr<ByteSource> owner, std::size_t chunk)
    : source_(source), chunk_(chunk < 1 ? 1 : chunk) {
    // Room for a leftover record part as large as a chunk before each one.
    // Where no thread can be started, the reader reads on its own.
    if (source.may_read_ahead()) {
        try {
            ahead_ = std::make_unique<ReadAhead>(source, chunk_, chunk_, std::move(owner));
        } catch (const std::system_error&) {
            ahead_.reset();
        }
    }
}

RecordReader::~RecordReader() {
    stop();  // the thread ends before the memory goes
    std::free(own_);
}

void RecordReader::stop() {
    ahead_.reset();
    in_chunk_ = false;
    buf_ = own_;
    begin_ = end_ = 0;
    eof_ = true;
    ++generation_;
}

void RecordReader::end_input() {
    eof_ = true;
    // A read ended by a stop signal is no end of the input: the part of a
    // record held is not a record.
    if (stop_signals::received() != 0) begin_ = end_;
}

void RecordReader::own_room(std::size_t bytes) {
    if (capacity_ >= bytes) return;
    // A record longer than the buffer doubles it, so that a record costs
    // about its own size.
    std::size_t want = capacity_ < chunk_ ? chunk_ : capacity_;
    while (want < bytes) want *= 2;
    void* grown = std::realloc(own_, want);
    if (grown == nullptr) throw std::bad_alloc();
    own_ = static_cast<char*>(grown);
    capacity_ = want;
}

void RecordReader::give_back_chunk() {
    if (!in_chunk_) return;
    ahead_->give_back(chunk_held_);
    in_chunk_ = false;
}

bool RecordReader::fill() {
    if (eof_) return false;
    ++generation_;
    return ahead_ ? fill_ahead() : fill_here();
}

bool RecordReader::fill_here() {
    if (begin_ > 0) {  // keep the part of a record held so far at the front
        std::memmove(own_, own_ + begin_, end_ - begin_);
        end_ -= begin_;
        begin_ = 0;
    }
    own_room(end_ + chunk_);
    buf_ = own_;
    const long long got = source_.read(buf_ + end_, chunk_);
    if (got <= 0) {
        failed_ = got < 0;
        end_input();
        return false;
    }
    end_ += static_cast<std::size_t>(got);
    bytes_read_ += static_cast<std::uint64_t>(got);
    return true;
}

bool RecordReader::fill_ahead() {
    const ReadAhead::Chunk next = ahead_->take();
    if (next.size == 0) {
        failed_ = next.failed;
        end_input();
        ahead_->give_back(next);
        return false;
    }
    const std::size_t left = end_ - begin_;
    if (left <= chunk_) {
        // The leftover goes into the room before the new chunk's bytes.
        char* front = next.data - left;
        if (left > 0) std::memcpy(front, buf_ + begin_, left);
        give_back_chunk();
        chunk_held_ = next;
        in_chunk_ = true;
        buf_ = front;
    } else {
        // A long record: gathered in the own buffer.
        if (in_chunk_) {
            own_room(left + next.size);
            std::memcpy(own_, buf_ + begin_, left);
            give_back_chunk();
        } else {
            std::memmove(own_, own_ + begin_, left);
            own_room(left + next.size);
        }
        std::memcpy(own_ + left, next.data, next.size);
        ahead_->give_back(next);
        buf_ = own_;
    }
    begin_ = 0;
    end_ = left + next.size;
    bytes_read_ += static_cast<std::uint64_t>(next.size);
    return true;
}

// After a failed read the whole records held are still handed out; the
// part of one is not.
bool RecordReader::at_end() {
    while (begin_ == end_) {
        if (!fill()) return true;
    }
    return false;
}

bool RecordReader::skip_prefix(std::string_view prefix) {
    while (!failed_ && end_ - begin_ < prefix.size()) {
        if (!fill()) break;
    }
    if (!held().starts_with(prefix)) return false;
    begin_ += prefix.size();
    return true;
}

LineBreak RecordReader::sniff_line_break(Encoding e) {
    // A CR among the first bytes decides at once, so that a CR LF stream
    // (a pipe) is not held back; a LF decides once no CR can follow.
    std::size_t looked = 0;
    for (;;) {
        const std::string_view head = held().substr(0, LineBreak::kSniffBytes);
        if (LineBreak::has_cr(head, e, looked) || head.size() == LineBreak::kSniffBytes) break;
        looked = head.size() & ~std::size_t{1};
        if (!fill()) break;
    }
    break_ = LineBreak::of(held().substr(0, LineBreak::kSniffBytes), e);
    return break_;
}

// A UTF-16 line: its end is the code unit CR or LF at an even offset from
// the line's first byte (lines begin at even offsets from the mark).
bool RecordReader::next_line_utf16(std::string_view& record) {
    if (at_end()) return false;
    const bool big = break_.wide() == 2;
    const bool lf_file = break_.is_lf();
    const char t = lf_file ? '\n' : '\r';
    const auto unit = [&](std::size_t i) {
        const char* p = buf_ + begin_ + i;
        return big ? utf16::code_unit<true>(p) : utf16::code_unit<false>(p);
    };
    std::size_t from = 0;  // even; the code units before it end nothing
    for (;;) {
        const std::size_t held = end_ - begin_;
        const char* base = buf_ + begin_;
        std::size_t found = held;
        std::size_t k = from;
        while (k + 1 < held) {
            const std::size_t skip = big ? 1 : 0;  // the byte of the unit that holds t
            const void* hit = std::memchr(base + k + skip, t, held - k - skip);
            if (hit == nullptr) {
                k = held & ~std::size_t{1};
                break;
            }
            const std::size_t u = static_cast<std::size_t>(static_cast<const char*>(hit) - base) - skip;
            if (u % 2 != 0) {
                k = u + 1;
            } else if (u + 1 >= held) {
                k = u;  // its other byte is not read yet
                break;
            } else if (unit(u) != static_cast<unsigned>(t)) {
                k = u + 2;
            } else {
                found = u;
                break;
            }
        }
        if (found < held) {
            // A CR as the last unit held: a LF may follow in the bytes not yet read.
            if (!lf_file && found + 4 > held && !eof_) {
                from = found;
                fill();
                if (failed_) return false;
                continue;
            }
            std::size_t record_end = found;
            std::size_t next = found + 2;
            if (lf_file && found >= 2 && unit(found - 2) == '\r') record_end = found - 2;
            if (!lf_file && found + 4 <= held && unit(found + 2) == '\n') next = found + 4;
            record = std::string_view(base, record_end);
            begin_ += next;
            return true;
        }
        from = k;
        if (!fill()) {
            if (failed_) return false;
            record = std::string_view(buf_ + begin_, end_ - begin_);  // last line without terminator
            begin_ = end_;
            return true;
        }
    }
}

bool RecordReader::next_line(std::string_view& record) {
    if (break_.wide() != 0) return next_line_utf16(record);
    if (at_end()) return false;
    const char terminator = break_.byte();
    std::size_t scan = begin_;
    for (;;) {
        const void* hit = std::memchr(buf_ + scan, terminator, end_ - scan);
        if (hit != nullptr) {
            const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - buf_);
            if (!break_.is_lf() && at + 1 == end_ && !eof_) {  // a LF may follow in the bytes not yet read
                const std::size_t offset = at - begin_;
                fill();
                if (failed_) return false;
                scan = begin_ + offset;
                continue;
            }
            const char* line = buf_ + begin_;
            record = std::string_view(line, static_cast<std::size_t>(break_.record_end(line, buf_ + at) - line));
            begin_ = static_cast<std::size_t>(break_.after(buf_ + at, buf_ + end_) - buf_);
            return true;
        }
        const std::size_t offset = end_ - begin_;
        if (!fill()) {
            if (failed_) return false;
            record = std::string_view(buf_ + begin_, end_ - begin_);  // last line without terminator
            begin_ = end_;
            return true;
        }
        scan = begin_ + offset;
    }
}

bool RecordReader::next_block(std::size_t length, std::string_view& record) {
    if (at_end()) return false;
    while (end_ - begin_ < length) {  // fill() grows the buffer as the block needs
        if (!fill()) {
            if (failed_) return false;
            break;
        }
    }
    const std::size_t n = end_ - begin_ < length ? end_ - begin_ : length;
    record = std::string_view(buf_ + begin_, n);
    begin_ += n;
    return true;
}

}  // namespace lintavo
