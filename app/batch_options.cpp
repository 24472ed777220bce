#include "app/batch_options.h"

#include <array>
#include <cstddef>

namespace lintavo::batch {
namespace {

// Each option's text or flag among the options, in the order of the table.
struct OptionTarget {
    std::optional<std::string> Options::*text;
    bool Options::*flag;
    const char* bare;  // the value of an option whose value is left out
};


constexpr std::size_t kOptionCount = 8;

const std::array<OptionDoc, kOptionCount> kDocs = {{
    {"-i", "--input", "PATH", false, "the file to read, instead of the pattern's; \"-\" reads standard input", true},
    {"-o", "--output", "PATH", false, "the file to write, instead of the pattern's; \"-\" writes standard output", true},
    {"", "--save-pattern", "PATH", false, "save the settings as a pattern file after a successful run", true},
    {"", "--no-run", nullptr, false, "load (and save) only, do not run", false},
    {"", "--progress", "WHEN", true,
     "show how far the run has come on standard error: auto (the default) only when it is a terminal, "
     "always (also --progress alone: on a terminal one line redrawn in place, else a plain line every few "
     "seconds), or never",
     false},
    {"-q", "--quiet", nullptr, false, "print no summary (the progress is still shown)", false},
    {"-h", "--help", nullptr, false, "show this help", false},
    {"", "--version", nullptr, false, "show the version", false},
}};

const std::array<OptionTarget, kOptionCount> kTargets = {{
    {&Options::input, nullptr, nullptr},
    {&Options::output, nullptr, nullptr},
    {&Options::save_pattern, nullptr, nullptr},
    {nullptr, &Options::no_run, nullptr},
    {&Options::progress_when, nullptr, "always"},
    {nullptr, &Options::quiet, nullptr},
    {nullptr, &Options::help, nullptr},
    {nullptr, &Options::version, nullptr},
}};

const std::array<ExitStatusDoc, 4> kExitStatuses = {{
    {0, "the run (and the save) succeeded"},
    {1, "the run or the save failed, or the pattern's settings did not pass the run's checks"},
    {2, "a bad command line, or a pattern file that cannot be found or read"},
    {130, "stopped by Ctrl-C (SIGINT; SIGTERM gives 143, SIGHUP 129): the output keeps its whole records, "
          "nothing is saved"},
}};

// The place of an option in the table, or kOptionCount.
std::size_t find(const std::string& name) {
    for (std::size_t k = 0; k < kOptionCount; ++k) {
        const OptionDoc& o = kDocs[k];
        if (name == o.long_name || (*o.short_name != '\0' && name == o.short_name)) return k;
    }
    return kOptionCount;
}

// A text broken into lines of at most `width` columns, the lines after the
// first indented by `indent` blanks.
std::string wrapped(const std::string& text, std::size_t indent, std::size_t width) {
    std::string out;
    std::size_t column = indent;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        const std::size_t word = end - at;
        if (column > indent && column + 1 + word > width) {
            out += "\n" + std::string(indent, ' ');
            column = indent;
        } else if (column > indent) {
            out += ' ';
            ++column;
        }
        out.append(text, at, word);
        column += word;
        at = end + 1;
    }
    return out;
}

}  // namespace

std::span<const OptionDoc> option_docs() { return kDocs; }
std::span<const ExitStatusDoc> exit_status_docs() { return kExitStatuses; }

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error) {
    Options opt;
    std::vector<std::string> positional;
    bool options_end = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (options_end || a == "-" || a.empty() || a[0] != '-') {
            positional.push_back(a);
            continue;
        }
        if (a == "--") {
            options_end = true;
            continue;
        }
        std::string name = a;
        std::optional<std::string> inline_value;
        if (const std::size_t eq = a.find('='); a.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = a.substr(0, eq);
            inline_value = a.substr(eq + 1);
        }
        const std::size_t k = find(name);
        if (k == kOptionCount) {
            error = "unknown option: " + a;
            return std::nullopt;
        }
        if (kDocs[k].value == nullptr) {
            if (inline_value) {
                error = "option takes no value: " + name;
                return std::nullopt;
            }
            opt.*(kTargets[k].flag) = true;
            continue;
        }
        if (!inline_value && kDocs[k].optional_value) {
            inline_value = kTargets[k].bare;
        } else if (!inline_value) {
            if (i + 1 >= args.size()) {
                error = "option needs a value: " + name;
                return std::nullopt;
            }
            inline_value = args[++i];
        }
        opt.*(kTargets[k].text) = *inline_value;
    }
    if (opt.progress_when) {
        const std::string& when = *opt.progress_when;
        if (when == "auto") opt.progress = ProgressMode::Auto;
        else if (when == "always") opt.progress = ProgressMode::Always;
        else if (when == "never") opt.progress = ProgressMode::Never;
        else {
            error = "--progress takes auto, always or never, not: " + when;
            return std::nullopt;
        }
    }
    if (opt.help || opt.version) return opt;
    if (positional.size() != 1) {
        error = positional.empty() ? "no pattern file given" : "more than one pattern file given";
        return std::nullopt;
    }
    opt.pattern = positional[0];
    return opt;
}

std::string usage() {
    std::string u =
        "usage: lintavo-batch [OPTIONS] PATTERN\n"
        "Runs the extraction of a saved pattern file without the window.\n"
        "Options override the pattern's settings:\n";
    for (const OptionDoc& o : kDocs) {
        std::string left = "  ";
        left += *o.short_name != '\0' ? std::string(o.short_name) + ", " : "    ";
        left += o.long_name;
        if (o.value != nullptr) left += o.optional_value ? std::string("[=") + o.value + "]" : std::string(" ") + o.value;
        if (left.size() < 26) left.resize(26, ' ');
        u += left + " " + wrapped(o.help, 26 + 1, 79) + "\n";
    }
    u += "Relative paths, in the pattern and on the command line, are taken from the current folder.\n"
         "Inside a pattern \"-\" is a file named \"-\"; only -i - and -o - mean the standard streams.\n"
         "Exit status:\n";
    for (const ExitStatusDoc& e : kExitStatuses) {
        std::string left = "  " + std::to_string(e.status);
        left.resize(7, ' ');
        u += left + wrapped(e.meaning, 7, 79) + "\n";
    }
    return u;
}

}  // namespace lintavo::batch
