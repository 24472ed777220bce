// Buffered writing of the output lines, each ended by CR LF or, for the
// records of a LF file, by LF. The first
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

    // What ends each line from now on: "\r\n" (the start) or "\n".
    void set_line_end(std::string_view end) {
        end_size_ = end.size() < 2 ? end.size() : 2;
        end_[0] = end_size_ > 0 ? end[0] : '\0';
        end_[1] = end_size_ > 1 ? end[1] : '\0';
    }
    std::string_view line_end() const { return std::string_view(end_, end_size_); }

    // Appends one record's line and its line end.
    void write_line(std::string_view line) {
        if (line.size() + 2 <= buf_.size() - used_) {
            std::memcpy(buf_.data() + used_, line.data(), line.size());
            used_ += line.size();
            // Both bytes are stored whatever the line end: no branch here.
            buf_[used_] = end_[0];
            buf_[used_ + 1] = end_[1];
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
    char end_[2] = {'\r', '\n'};
    std::size_t end_size_ = 2;
    bool failed_ = false;
    std::uint64_t sent_ = 0;         // bytes the sink has taken
    std::uint64_t whole_ = 0;        // where the last whole record ends (counting the buffer)
    std::uint64_t whole_sent_ = 0;   // the same among the bytes the sink has taken
    std::int64_t records_ = 0;
    std::int64_t records_sent_ = 0;
};

}  // namespace lintavo
