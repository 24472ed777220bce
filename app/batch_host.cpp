#include "app/batch_host.h"

#include <cerrno>

#include "engine/messages.h"

namespace lintavo::batch {

void BatchHost::show_message(std::string_view text) {
    if (output_closed_ && text == msg::kWriteFailed) return;  // the reader has all it wanted
    end_progress();
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

void BatchHost::show_counts(const RunCounts& counts) { counts_ = counts; }

void BatchHost::process_events() {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_draw_ < std::chrono::milliseconds(250)) return;
    last_draw_ = now;
    draw_progress();
}

void BatchHost::draw_progress() {
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double mb = static_cast<double>(counts_.bytes_read) / 1e6;
    std::string percent;
    if (counts_.input_size > 0) {
        const double p = 100.0 * static_cast<double>(counts_.bytes_read) / static_cast<double>(counts_.input_size);
        percent = std::to_string(static_cast<int>(p > 100 ? 100 : p)) + "% ";
    }
    std::fprintf(stderr, "\r%s%s %s %.1f MB/s   ", percent.c_str(),
                 msg::count_caption(msg::kReadCount, counts_.read).c_str(),
                 msg::count_caption(msg::kWriteCount, counts_.written).c_str(), seconds > 0 ? mb / seconds : 0.0);
    std::fflush(stderr);
    progress_shown_ = true;
}

void BatchHost::end_progress() {
    if (!progress_shown_) return;
    draw_progress();
    std::fputc('\n', stderr);
    progress_shown_ = false;
}

namespace {

// Standard output: a reader that goes away is no failure of the run.
class StdoutSink : public FileSink {
public:
    explicit StdoutSink(BatchHost& host) : FileSink(stdout, false), host_(host) {}
    bool write(const char* buf, std::size_t n) override {
        const bool ok = FileSink::write(buf, n);
        if (!ok && error() == EPIPE) host_.set_output_closed();
        return ok;
    }
    bool close() override {
        const bool ok = FileSink::close();
        if (!ok && error() == EPIPE) host_.set_output_closed();
        return ok;
    }

private:
    BatchHost& host_;
};

}  // namespace

std::unique_ptr<ByteSource> BatchFiles::open_input(const std::string& path) {
    if (path == "-") return std::make_unique<FileSource>(stdin, false);
    return RunFiles::open_input(path);
}

std::unique_ptr<ByteSink> BatchFiles::open_output(const std::string& path) {
    if (path == "-") return std::make_unique<StdoutSink>(host_);
    return RunFiles::open_output(path);
}

bool BatchFiles::same_file(const std::string& a, const std::string& b) {
    if (a == "-" || b == "-") return false;
    return RunFiles::same_file(a, b);
}

}  // namespace lintavo::batch
