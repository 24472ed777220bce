#include "engine/output_writer.h"

namespace lintavo {

OutputWriter::OutputWriter(ByteSink& sink, std::size_t buffer_size) : sink_(sink), buf_(buffer_size) {}

bool OutputWriter::flush() {
    if (!failed_ && used_ > 0 && !sink_.write(buf_.data(), used_)) failed_ = true;
    used_ = 0;
    return !failed_;
}

void OutputWriter::put(const char* p, std::size_t n) {
    if (failed_) return;
    if (n <= buf_.size() - used_ && n < buf_.size() / 4) {
        std::memcpy(buf_.data() + used_, p, n);
        used_ += n;
        return;
    }
    flush();
    if (n >= buf_.size() / 4) {  // a large block goes out directly
        if (!failed_ && !sink_.write(p, n)) failed_ = true;
        return;
    }
    std::memcpy(buf_.data(), p, n);
    used_ = n;
}

void OutputWriter::write_slow(std::string_view line) {
    if (failed_) return;
    put(line.data(), line.size());
    put("\r\n", 2);
}

}  // namespace lintavo
