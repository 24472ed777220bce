// Buffered writing of the output lines, each ended by CR LF. The first
// failure is kept; later writes do nothing.
#pragma once

#include <cstring>
#include <string_view>
#include <vector>

#include "engine/byte_io.h"

namespace lintavo {

class OutputWriter {
public:
    explicit OutputWriter(ByteSink& sink, std::size_t buffer_size = std::size_t{256} << 10);

    // Appends the line and CR LF.
    void write_line(std::string_view line) {
        if (line.size() + 2 <= buf_.size() - used_) {
            std::memcpy(buf_.data() + used_, line.data(), line.size());
            used_ += line.size();
            buf_[used_++] = '\r';
            buf_[used_++] = '\n';
            return;
        }
        write_slow(line);
    }
    // Appends bytes that are already whole output lines (CR LF included);
    // a large block goes out without being copied.
    void write_bytes(const char* p, std::size_t n) {
        if (n <= buf_.size() - used_ && n < buf_.size() / 4) {
            std::memcpy(buf_.data() + used_, p, n);
            used_ += n;
            return;
        }
        put(p, n);
    }
    // Writes out what is buffered; false when a write has failed.
    bool flush();
    bool failed() const { return failed_; }

private:
    void write_slow(std::string_view line);
    void put(const char* p, std::size_t n);

    ByteSink& sink_;
    std::vector<char> buf_;
    std::size_t used_ = 0;
    bool failed_ = false;
};

}  // namespace lintavo
