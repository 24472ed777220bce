// Buffered writing of the output lines, each ended by CR LF or, for the
// records of a LF file, by LF (in UTF-16 two or four bytes). The first
// failure is kept; later writes do nothing. After a failure the output is
// cut back to the end of the last record whose bytes were all written (a
// full disk leaves no half line behind), where the sink allows it.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/io/byte_io.h"

namespace lintavo {

class OutputWriter {
public:
    explicit OutputWriter(ByteSink& sink, std::size_t buffer_size = std::size_t{256} << 10);

    // What ends each line from now on: "\r\n" (the start), "\n", or
    // their UTF-16 forms (up to four bytes).
    void set_line_end(std::string_view end) {
        end_size_ = end.size() < sizeof end_ ? end.size() : sizeof end_;
        std::memset(end_, 0, sizeof end_);
        std::memcpy(end_, end.data(), end_size_);
    }
    std::string_view line_end() const { return std::string_view(end_, end_size_); }

    // Appends one record's line and its line end.
    void write_line(std::string_view line) {
        if (line.size() + sizeof end_ <= buf_.size() - used_) {
            std::memcpy(buf_.data() + used_, line.data(), line.size());
            used_ += line.size();
            // All four bytes are stored whatever the line end: no branch here.
            std::memcpy(buf_.data() + used_, end_, sizeof end_);
            used_ += end_size_;
        } else {
            write_slow(line);
        }
        record_done(1);
    }
    // Appends bytes that are already the whole output lines of `records`
    // records (line ends included); a large block goes out without being copied.
    void write_bytes(const char* p, std::size_t n, std::int64_t records) {
        put(p, n);
        record_done(records);
    }
    // Writes out what is buffered; false when a write has failed.
    bool flush();
    bool failed() const { return failed_; }
    // The records whose lines are wholly in the output: all of them, or
    // after a failure those before the place the output was cut back to.
    std::int64_t records_out() const { return failed_ ? records_sent_ : records_; }

private:
    void record_done(std::int64_t records) {
        records_ += records;
        whole_ = sent_ + used_;
        if (used_ == 0 && !failed_) {  // went out straight away
            whole_sent_ = whole_;
            records_sent_ = records_;
        }
    }
    void write_slow(std::string_view line);
    void put(const char* p, std::size_t n);
    // Hands bytes to the sink; on the first failure cuts the output back.
    void send(const char* p, std::size_t n);

    ByteSink& sink_;
    std::vector<char> buf_;
    std::size_t used_ = 0;
    char end_[4] = {'\r', '\n', '\0', '\0'};
    std::size_t end_size_ = 2;
    bool failed_ = false;
    std::uint64_t sent_ = 0;         // bytes the sink has taken
    std::uint64_t whole_ = 0;        // where the last whole record ends (counting the buffer)
    std::uint64_t whole_sent_ = 0;   // the same among the bytes the sink has taken
    std::int64_t records_ = 0;
    std::int64_t records_sent_ = 0;
};

}  // namespace lintavo
