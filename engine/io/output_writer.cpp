#include "engine/io/output_writer.h"

namespace lintavo {

OutputWriter::OutputWriter(ByteSink& sink, std::size_t buffer_size) : sink_(sink), buf_(buffer_size) {}

void OutputWriter::send(const char* p, std::size_t n) {
    if (failed_) return;
    if (!sink_.write(p, n)) {
        failed_ = true;
        // Part of the bytes may have gone out: the output is cut back to the
        // last record whose bytes all went out before.
        sink_.truncate(whole_sent_);
        return;
    }
    sent_ += n;
    // Every record completed so far lies inside what has gone out, or the
    // bytes sent end in the middle of a longer line after them.
    if (whole_ <= sent_) {
        whole_sent_ = whole_;
        records_sent_ = records_;
    }
}

bool OutputWriter::flush() {
    if (used_ > 0) send(buf_.data(), used_);
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
        send(p, n);
        return;
    }
    std::memcpy(buf_.data(), p, n);
    used_ = n;
}

void OutputWriter::write_slow(std::string_view line) {
    if (failed_) return;
    put(line.data(), line.size());
    put(end_, end_size_);
}

}  // namespace lintavo
