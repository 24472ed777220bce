// The command line of lintavo-batch: one option table, the source of the
// parser, `--help`, the manual page and the shell completion.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace lintavo::batch {

// When the progress is drawn on standard error.
enum class ProgressMode {
    Auto,    // only when standard error is a terminal
    Always,  // redrawn on a terminal, else a plain line every few seconds
    Never,
};

struct Options {
    std::string pattern;
    std::optional<std::string> input;
    std::optional<std::string> output;
    std::optional<std::string> save_pattern;
    bool no_run = false;
    std::optional<std::string> progress_when;  // --progress's value as given
    ProgressMode progress = ProgressMode::Auto;
    // --read-code and --write-code as given, and the list entries they name
    // (cmb_code, cmb_code_Write).
    std::optional<std::string> read_code_name;
    std::optional<std::string> write_code_name;
    std::optional<int> read_code;
    std::optional<int> write_code;
    std::optional<std::string> header_line;  // "1" --header, "0" --no-header: the last one given
    std::optional<std::string> preview_when;  // --preview's value as given
    std::optional<std::int64_t> preview;      // the records it shows
    bool only_written = false;                // the preview shows the records a run writes

    bool quiet = false;
    bool help = false;
    bool version = false;
};

// One option as the help and the manual describe it.
struct OptionDoc {
    const char* short_name;  // "-i", or empty
    const char* long_name;   // "--input"
    const char* value;       // the value's name ("PATH"), or nullptr for a flag
    bool optional_value;     // the value may be left out; given only as --name=VALUE
    const char* help;        // one line, without a full stop
    bool file_value;         // the value names a file (for the completion)
    const char* choices;     // the values it takes, separated by blanks, or nullptr for any
    const char* help_ja;     // the help in Japanese
};

// The language of the help, the manual and the messages of the command line.
enum class Language { English, Japanese };

// Japanese when the locale (LC_ALL, else LC_MESSAGES, else LANG: the first
// that is set and not empty) begins with "ja", else English.
Language locale_language();

// The place of `value` among the blank-separated `choices`, or -1.
int choice_index(const char* choices, const std::string& value);

// The exit statuses, as the help and the manual list them.
struct ExitStatusDoc {
    int status;
    const char* meaning;
    const char* meaning_ja;
};

std::span<const OptionDoc> option_docs();
std::span<const ExitStatusDoc> exit_status_docs();

// Reads the arguments after the program name; on a bad command line returns
// nothing and sets `error` (one line, in `language`).
std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error,
                                     Language language = Language::English);

// The usage text, made from the option table.
std::string usage(Language language = Language::English);

// The line after the error of a bad command line, which points to --help.
std::string see_help(Language language);

}  // namespace lintavo::batch
