#include "app/batch_options.h"

#include <array>
#include <cstddef>
#include <string_view>

namespace lintavo::batch {
namespace {

// Each option's text or flag among the options, in the order of the table.
// An option without a value either sets its flag or writes its `bare` text.
struct OptionTarget {
    std::optional<std::string> Options::*text;
    bool Options::*flag;
    const char* bare;  // the value of an option whose value is left out
};

constexpr std::size_t kOptionCount = 13;
constexpr const char* kReadCodes = "shift-jis utf-8";
constexpr const char* kWriteCodes = "same shift-jis utf-8 utf-8-bom";
constexpr const char* kProgressWhen = "auto always never";

const std::array<OptionDoc, kOptionCount> kDocs = {{
    {"-i", "--input", "PATH", false, "the file to read, instead of the pattern's; \"-\" reads standard input", true,
     nullptr},
    {"-o", "--output", "PATH", false, "the file to write, instead of the pattern's; \"-\" writes standard output",
     true, nullptr},
    {"", "--read-code", "CODE", false,
     "the encoding of the file to read, instead of the pattern's: shift-jis (code page 932) or utf-8 "
     "(a byte order mark at its start is skipped)",
     false, kReadCodes},
    {"", "--write-code", "CODE", false,
     "the encoding of the file to write, instead of the pattern's: same (as the file read, with its byte order "
     "mark), shift-jis, utf-8 or utf-8-bom; characters it cannot hold are replaced and counted in a warning",
     false, kWriteCodes},
    {"", "--header", nullptr, false,
     "the first line of TEXT and CSV input is a header: written first (in every output format but the "
     "template), counted, never tested (of --header and --no-header the last one given holds)",
     false, nullptr},
    {"", "--no-header", nullptr, false, "the first line is a record like any other", false, nullptr},
    {"", "--preview", "N", true,
     "run nothing and write no file, but show what a run would do with the first N records read (20 when "
     "--preview is given alone, at most 1000000): a table on standard output, columns separated by TAB: the "
     "record's number, ○ written, × held back or 見出し (the header line), the test that held it back, the "
     "converted fields @1 to @n and the line written; \\, TAB, CR, LF, other control characters and invalid "
     "bytes are written as \\\\, \\t, \\r, \\n and \\xNN",
     false, nullptr},
    {"", "--save-pattern", "PATH", false,
     "save the settings as a pattern file after a successful run (or a preview)", true, nullptr},
    {"", "--no-run", nullptr, false, "load (and save) only, do not run", false, nullptr},
    {"", "--progress", "WHEN", true,
     "show how far the run has come on standard error: auto (the default) only when it is a terminal, "
     "always (also --progress alone: on a terminal one line redrawn in place, else a plain line every few "
     "seconds), or never",
     false, kProgressWhen},
    {"-q", "--quiet", nullptr, false, "print no summary (the progress is still shown)", false, nullptr},
    {"-h", "--help", nullptr, false, "show this help", false, nullptr},
    {"", "--version", nullptr, false, "show the version", false, nullptr},
}};

const std::array<OptionTarget, kOptionCount> kTargets = {{
    {&Options::input, nullptr, nullptr},
    {&Options::output, nullptr, nullptr},
    {&Options::read_code_name, nullptr, nullptr},
    {&Options::write_code_name, nullptr, nullptr},
    {&Options::header_line, nullptr, "1"},
    {&Options::header_line, nullptr, "0"},
    {&Options::preview_when, nullptr, "20"},
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

// "a, b or c" for the blank-separated choices.
std::string choices_text(const char* choices) {
    std::string words = choices;
    const std::size_t last = words.rfind(' ');
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] != ' ') out += words[i];
        else out += i == last ? " or " : ", ";
    }
    return out;
}

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

constexpr std::int64_t kMostPreviewed = 1000000;

// --preview's N: decimal digits only, from 1 to kMostPreviewed.
std::optional<std::int64_t> preview_count(const std::string& text) {
    if (text.empty() || text.size() > 7) return std::nullopt;
    std::int64_t n = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    if (n < 1 || n > kMostPreviewed) return std::nullopt;
    return n;
}

}  // namespace

std::span<const OptionDoc> option_docs() { return kDocs; }

int choice_index(const char* choices, const std::string& value) {
    int index = 0;
    std::string_view rest = choices;
    while (!rest.empty()) {
        const std::size_t end = rest.find(' ');
        if (rest.substr(0, end) == value) return index;
        if (end == std::string_view::npos) break;
        rest.remove_prefix(end + 1);
        ++index;
    }
    return -1;
}
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
            if (kTargets[k].flag != nullptr) opt.*(kTargets[k].flag) = true;
            else opt.*(kTargets[k].text) = kTargets[k].bare;
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
    // Each value that must be one of a list, as its place in the list.
    std::array<int, kOptionCount> chosen{};
    for (std::size_t k = 0; k < kOptionCount; ++k) {
        if (kDocs[k].choices == nullptr || !(opt.*(kTargets[k].text))) continue;
        const std::string& value = *(opt.*(kTargets[k].text));
        chosen[k] = choice_index(kDocs[k].choices, value);
        if (chosen[k] < 0) {
            error = std::string(kDocs[k].long_name) + " takes " + choices_text(kDocs[k].choices) + ", not: " + value;
            return std::nullopt;
        }
    }
    constexpr ProgressMode kModes[] = {ProgressMode::Auto, ProgressMode::Always, ProgressMode::Never};
    if (opt.progress_when) opt.progress = kModes[chosen[find("--progress")]];
    if (opt.read_code_name) opt.read_code = chosen[find("--read-code")];
    if (opt.write_code_name) opt.write_code = chosen[find("--write-code")];
    if (opt.preview_when) {
        opt.preview = preview_count(*opt.preview_when);
        if (!opt.preview) {
            error = "--preview takes a number from 1 to " + std::to_string(kMostPreviewed) + ", not: " + *opt.preview_when;
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
    u += "Text and CSV lines end at CR LF or CR, or at LF when the first 64 KiB of the file hold\n"
         "a LF and no CR; the lines written end the same way.\n"
         "For CSV input a row's start position is the column it takes. Conversion 05 (数値)\n"
         "trims half- and full-width blanks and compares field and value as decimal numbers.\n"
         "Relative paths, in the pattern and on the command line, are taken from the current folder.\n"
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
