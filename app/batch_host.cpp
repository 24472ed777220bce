#include "app/batch_host.h"

#include <cerrno>

#include "app/progress_line.h"
#include "engine/messages.h"
#include "engine/system/files.h"

namespace lintavo::batch {

namespace {
constexpr std::size_t kPlainLineColumns = 200;  // a log line is never cut
}  // namespace

void BatchHost::show_message(std::string_view text) {
    if (text.starts_with(msg::kReadFailed)) read_failed_ = true;
    if (output_closed_ && text == msg::kWriteFailed) return;  // the reader has all it wanted
    end_progress();
    std::fwrite(text.data(), 1, text.size(), stderr);  // every byte, a NUL in a path too
    std::fputc('\n', stderr);
}

// Blanks from the end of `line` to the last column but one (the last would
// wrap on some consoles); the line's width counted as its characters.
std::string BatchHost::blanks_after(const std::string& line) const {
    std::size_t width = 0;
    for (const char c : line) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return std::string(columns_ > width + 1 ? columns_ - width - 1 : 0, ' ');
}

void BatchHost::show_counts(const RunCounts& counts) { counts_ = counts; }

void BatchHost::process_events() {
    // Redrawn ten times a second at most, a plain line every five seconds:
    // quick enough to follow, rare enough to cost the run nothing.
    if (counts_.input_size < 0 && counts_.bytes_read == 0) return;  // nothing opened or read yet
    const auto now = std::chrono::steady_clock::now();
    const auto period = drawing_ == ProgressDrawing::Redraw ? std::chrono::milliseconds(100) : std::chrono::milliseconds(5000);
    if (drawn_once_ && now - last_draw_ < period) return;
    drawn_once_ = true;
    last_draw_ = now;
    draw_progress();
}

void BatchHost::draw_progress() {
    const ProgressFigures f{counts_, std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count()};
    if (drawing_ == ProgressDrawing::Redraw) {
        const std::string line = progress_text(f, columns_, true);
        if (erases_) {
            std::fprintf(stderr, "\r%s\033[K", line.c_str());
        } else {  // blanks over what a longer line left
            std::fprintf(stderr, "\r%s%s", line.c_str(), blanks_after(line).c_str());
        }
        progress_shown_ = true;
    } else {
        std::fprintf(stderr, "%s\n", progress_text(f, kPlainLineColumns, false).c_str());
    }
    std::fflush(stderr);
}

void BatchHost::end_progress() {
    if (!progress_shown_) return;
    // The summary or a message takes the line.
    std::fputs(erases_ ? "\r\033[K" : ("\r" + blanks_after("") + "\r").c_str(), stderr);
    std::fflush(stderr);
    progress_shown_ = false;
}

namespace {

// Standard output: a reader that goes away is no failure of the run. When
// it is a regular file, a failed write cuts it back to its last whole
// record, never before where this run's output began.
class StdoutSink : public FileSink {
public:
    explicit StdoutSink(BatchHost& host) : FileSink(stdout, false), host_(host) {
        began_ = sys::write_position(fileno(stdout));
    }
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
    bool truncate(std::uint64_t size) override {
        if (began_ < 0) return false;
        return sys::truncate(fileno(stdout), static_cast<std::uint64_t>(began_) + size);
    }

private:
    BatchHost& host_;
    long long began_ = -1;  // where this run's output began, for a regular file
};

// The file behind a standard stream and the file at a path are one file.
bool stream_is(std::FILE* stream, const std::string& path) { return sys::same_file(fileno(stream), path); }

bool streams_are_one_file() { return sys::same_file(fileno(stdin), fileno(stdout)); }

}  // namespace

std::unique_ptr<ByteSource> BatchFiles::open_input(const std::string& path) {
    if (is_stdin(path)) return closed_.input ? nullptr : std::make_unique<FileSource>(stdin, false);
    return RunFiles::open_input(path);
}

std::unique_ptr<ByteSink> BatchFiles::open_output(const std::string& path) {
    if (is_stdout(path)) return closed_.output ? nullptr : std::make_unique<StdoutSink>(host_);
    return RunFiles::open_output(path);
}

bool BatchFiles::same_file(const std::string& a, const std::string& b) {
    if (is_stdin(a) && is_stdout(b)) return streams_are_one_file();
    if (is_stdin(a)) return stream_is(stdin, b);
    if (is_stdout(b)) return stream_is(stdout, a);
    return RunFiles::same_file(a, b);
}

}  // namespace lintavo::batch
