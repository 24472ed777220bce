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
    explicit OutputWriter(ByteSink& sink, std::size_t buffer_size = std::size_t{1} << 20);

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
