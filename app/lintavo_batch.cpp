// lintavo-batch: runs a saved extraction pattern without the window.
#include <cerrno>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "app/batch_host.h"
#include "app/batch_options.h"
#include "app/batch_preview.h"
#include "engine/messages.h"
#include "engine/io/standard_streams.h"
#include "engine/io/stop_signals.h"
#include "engine/system/console.h"
#include "engine/run/preview.h"
#include "engine/version.h"
#include "pattern/pattern_file.h"

namespace {

using namespace lintavo;

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

void print_error(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }

// Prints each ignored value of the pattern file as "PATTERN:LINE: what".
class WarningPrinter : public pattern::LoadListener {
public:
    explicit WarningPrinter(std::string path) : path_(std::move(path)) {}
    void ignored(std::int64_t line, const std::string& what) override {
        print_error(path_ + ":" + std::to_string(line) + ": " + what);
    }

private:
    std::string path_;
};

batch::ProgressDrawing progress_drawing(batch::ProgressMode mode) {
    const bool terminal = sys::is_terminal(fileno(stderr));
    switch (mode) {
        case batch::ProgressMode::Never: return batch::ProgressDrawing::None;
        case batch::ProgressMode::Auto: return terminal ? batch::ProgressDrawing::Redraw : batch::ProgressDrawing::None;
        case batch::ProgressMode::Always: break;
    }
    return terminal ? batch::ProgressDrawing::Redraw : batch::ProgressDrawing::Lines;
}

// --preview: the table on standard output, no file written; 0, or the
// status to end with.
int preview(const batch::Options& opt, ExtractionSettings& settings, ClosedStreams closed) {
    if (closed.output) {  // the table would be lost
        print_error(std::string(msg::kCannotOpenOutput) + "-");
        return kFailed;
    }
    batch::BatchHost host(settings, batch::ProgressDrawing::None, 0);
    batch::BatchFiles files(host, opt.input == "-", false, closed);
    batch::PreviewTable table(stdout);
    PreviewLimits limits;
    limits.records = *opt.preview;
    limits.written_only = opt.only_written;
    const PreviewResult r = lintavo::preview(settings, files, limits, table);
    errno = 0;
    const bool written = std::fflush(stdout) == 0 && std::ferror(stdout) == 0;
    const int write_error = errno;
    if (r.failure) {
        print_error(*r.failure);
        return kFailed;
    }
    // A reader that went away (a pipe to "head") had all it wanted.
    if (!written && write_error != EPIPE) {
        print_error(std::string(msg::kWriteFailed));
        return kFailed;
    }
    return kOk;
}

int run(const batch::Options& opt, ClosedStreams closed) {
    if (!pattern::pattern_file_exists(opt.pattern)) {
        print_error("抽出パターンファイルが見つかりません");
        return kBadUsage;
    }
    ExtractionSettings settings;  // as the window starts: every list at entry 0, record length "100"
    WarningPrinter warnings(opt.pattern);
    if (auto failure = pattern::proc_ReadPattern(opt.pattern, settings, &warnings)) {
        print_error(*failure);
        return kBadUsage;
    }
    if (opt.input) settings.txt_ReadFile = *opt.input;
    if (opt.output) settings.txt_WriteFile = *opt.output;
    // The options' names in the order of the lists' entries.
    if (opt.read_code) settings.cmb_code = *opt.read_code;
    if (opt.write_code) settings.cmb_code_Write = *opt.write_code;
    if (opt.header_line) settings.chk_header = *opt.header_line == "1" ? 1 : 0;

    if (opt.preview) {
        if (const int status = preview(opt, settings, closed); status != kOk) return status;
    } else if (!opt.no_run) {
        batch::BatchHost host(settings, progress_drawing(opt.progress), sys::terminal_columns(fileno(stderr)),
                             sys::erases_lines(fileno(stderr)));
        // Only the options' "-" means a standard stream.
        batch::BatchFiles files(host, opt.input == "-", opt.output == "-", closed);
        const RunResult result = cmd_select_Click(host, files);
        host.end_progress();
        if (result.outcome != RunOutcome::CheckFailed && !opt.quiet) {
            print_error(msg::count_caption(msg::kReadCount, result.counts.read));
            print_error(msg::count_caption(msg::kWriteCount, result.counts.written));
        }
        // Stopped by a signal: the files are closed; the program ends as
        // the signal asked, and saves nothing.
        if (const int signal = stop_signals::received()) stop_signals::end_by(signal);
        if (result.outcome != RunOutcome::Finished && !host.only_reader_gone()) return kFailed;
    }
    if (opt.save_pattern) {
        if (auto failure = pattern::save_pattern(*opt.save_pattern, settings)) {
            print_error(*failure);
            return kFailed;
        }
    }
    return kOk;
}

}  // namespace

int main(int argc, char** argv) {
    const ClosedStreams closed = open_missing_standard_streams();
    sys::prepare_console();  // a closed pipe shows as a failed write, handled by the run
    stop_signals::install();
    const std::vector<std::string> args = sys::arguments(argc, argv);
    std::string error;
    const batch::Language language = batch::locale_language();
    const auto opt = batch::parse_options(args, error, language);
    if (!opt) {  // one line, and where to read more (as GNU programs do)
        print_error("lintavo-batch: " + error);
        print_error(batch::see_help(language));
        return kBadUsage;
    }
    if (opt->help) {
        std::fputs(batch::usage(language).c_str(), stdout);
        return kOk;
    }
    if (opt->version) {
        std::printf("lintavo-batch %s\n", version_number().c_str());
        return kOk;
    }
    try {
        return run(*opt, closed);
    } catch (const std::bad_alloc&) {
        print_error("メモリが足りません");
        return kFailed;
    }
}
