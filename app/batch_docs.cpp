#include "app/batch_docs.h"

#include <cctype>

#include "app/batch_options.h"

namespace lintavo::batch::detail {

// A text as roff shows it literally: hyphens as minus signs (so options can
// be searched and copied), backslashes escaped, no line taken for a request.
std::string roff(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '-') {
            out += "\\-";
        } else if (c == '\\') {
            out += "\\e";
        } else {
            out += c;
        }
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string page_start(const std::string& name, const std::string& version, const std::string& date,
                       const std::string& summary, const std::string& synopsis, Language language) {
    const bool ja = language == Language::Japanese;
    std::string title;
    for (const char c : name) title += c == '-' ? std::string("\\-") : std::string(1, static_cast<char>(std::toupper(c)));
    // Japanese: groff's line breaking for it, left-aligned (no blanks to stretch).
    return ".TH " + title + " 1 \"" + date + "\" \"Lintavo " + version + "\" \"" +
           (ja ? "ユーザーコマンド\"\n.mso ja.tmac\n.ad l\n.nh\n" : "User Commands\"\n") +
           (ja ? ".SH 名前\n" : ".SH NAME\n") + roff(name) + " \\- " + summary + "\n" +
           (ja ? ".SH 書式\n.B " : ".SH SYNOPSIS\n.B ") + roff(name) + "\n" + synopsis + "\n";
}

std::string options_section(Language language) {
    const bool ja = language == Language::Japanese;
    std::string m = ja ? ".SH オプション\n" : ".SH OPTIONS\n";
    for (const OptionDoc& o : option_docs()) {
        m += ".TP\n";
        std::string names = "\\fB";
        if (*o.short_name != '\0') names += roff(o.short_name) + "\\fP, \\fB";
        names += roff(o.long_name) + "\\fP";
        if (o.value != nullptr && o.optional_value) names += std::string("[=\\fI") + o.value + "\\fP]";
        else if (o.value != nullptr) names += std::string(" \\fI") + o.value + "\\fP";
        m += names + "\n" + roff(ja ? o.help_ja : o.help) + (ja ? "。\n" : ".\n");
    }
    m += ja ? ".SH 終了ステータス\n" : ".SH EXIT STATUS\n";
    for (const ExitStatusDoc& e : exit_status_docs()) {
        m += ".TP\n.B " + std::to_string(e.status) + "\n" + roff(ja ? e.meaning_ja : e.meaning) + (ja ? "。\n" : ".\n");
    }
    return m;
}

}  // namespace lintavo::batch::detail

namespace lintavo::batch {
namespace {

using detail::page_start;
using detail::roff;

// FILES and SEE ALSO, the same on both pages.
std::string page_end(const std::string& other_page) {
    return ".SH FILES\n"
           ".TP\n.I /usr/share/doc/lintavo/examples\n"
           "sample data files and pattern files.\n"
           ".PP\nLintavo keeps no settings of its own: it reads and writes only the files named.\n"
           ".SH SEE ALSO\n.BR " + roff(other_page) + " (1)\n";
}

// What both pages say of pattern files.
const char* const kPatternFormat =
    ".SH PATTERN FILE\n"
    "A pattern file holds the settings of one extraction.\n"
    "It is a code page 932 (Shift\\-JIS) text file of KEY=value lines,\n"
    "each ending in CR LF, as the window saves it:\n"
    ".TP\n.B READFILE=\\fIpath\\fP\nthe file to read.\n"
    ".TP\n.B READFILETYPE=\\fIn\\fP\n0 text lines, 1 CSV, 2 fixed\\-length records, 3 TSV (TAB\\-separated: a comma is an ordinary character).\n"
    ".TP\n.B RECORDLENGTH=\\fIn\\fP\nthe record length of fixed\\-length input, in bytes.\n"
    ".TP\n.BR ITEM000= \" to \" ITEM006=\n"
    "the seven column conditions: start position and length (each six characters,\n"
    "right\\-aligned), comparison and conversion (two digits each), the comparison value.\n"
    "For CSV input the start position is the number of the column the row takes (1 for the\n"
    "first), in any order; the length is not used.\n"
    "Comparisons: 00 none, 01 =, 02 <=, 03 =>, 04 <, 05 >, 06 <>, 07 IS NULL, 08 <> NULL.\n"
    "Conversions: 00 none, 01 blanks trimmed at both ends, 02 LTRIM, 03 RTRIM,\n"
    "04 leading characters before the first 0 or blank made blanks,\n"
    "05 \\[u6570]\\[u5024] (number): half\\-width and full\\-width blanks trimmed at both ends, then\n"
    "01 to 06 compare field and value as exact decimal numbers: an optional sign, digits\n"
    "(half\\-width or full\\-width), thousands separators between digits, an optional point and\n"
    "digits, so that 12,000 => 10000 holds and 8500 => 10000 does not; a field that is no\n"
    "number fails them, and a value that is no number stops the run before it starts.\n"
    ".TP\n.BR KEYWORD000= \" to \" KEYWORD003=\n"
    "the four keyword conditions: 0 (contains) or 1 (does not contain),\n"
    "a comma and seven blanks, the keyword.\n"
    ".TP\n.B WRITEFILE=\\fIpath\\fP\nthe file to write.\n"
    ".TP\n.B WRITEFILETYPE=\\fIn\\fP\n"
    "the output format: 0 the record as read, 1 the cut columns joined,\n"
    "2 the template below, 3 quoted CSV with commas, 4 quoted CSV with TABs.\n"
    ".TP\n.B READFILECODE=\\fIn\\fP\n"
    "the encoding of the file to read: 0 Shift\\-JIS (code page 932), 1 UTF\\-8; written only when not 0.\n"
    ".TP\n.B WRITEFILECODE=\\fIn\\fP\n"
    "the encoding of the file to write: 0 as the file read, 1 Shift\\-JIS, 2 UTF\\-8,\n"
    "3 UTF\\-8 with a byte order mark; written only when not 0.\n"
    "A character the file to write cannot hold is replaced by \\(lq\\[u3013]\\(rq in Shift\\-JIS\n"
    "and by U+FFFD in UTF\\-8, and a warning counts them.\n"
    ".TP\n.B HEADERLINE=1\n"
    "the first line of text and CSV input is a header line: written first, in the output format\n"
    "(but not through the template), counted, and never tested; written only when on.\n"
    ".TP\n.B [WRITEPATTERN]\nthe marker line; the lines after it are the output template\n"
    "(its last line ended by CR LF as every line is).\n"
    ".PP\n"
    "The pattern file itself stays code page 932, whatever the files' encodings.\n"
    "Text and CSV records end at CR LF or at a lone CR; in a file whose first 64 KiB hold\n"
    "a LF and no CR they end at LF. The lines written end as the file's do.\n"
    "Keys are matched without regard to case; lines that carry no key are ignored.\n"
    "Relative paths in a pattern are taken from the current folder.\n"
    "Inside a pattern, \\(lq\\-\\(rq is a file named \\(lq\\-\\(rq; only the options\n"
    ".B \"\\-i \\-\"\nand\n.B \"\\-o \\-\"\nmean the standard streams.\n";

const char* const kSamplesNote =
    "The samples are installed in\n.IR /usr/share/doc/lintavo/examples .\n"
    "Their patterns name their files relative to that folder (as\n.IR samples/customers.csv ),\n"
    "so run the examples from it, and write the output elsewhere (that folder is not\n"
    "yours to write in).\n"
    "In the source tree, run them from the project folder.\n"
    ".PP\n.RS\ncd /usr/share/doc/lintavo/examples\n.RE\n.PP\n";

}  // namespace

std::string batch_manual_page(const std::string& version, const std::string& date) {
    std::string m = page_start("lintavo-batch", version, date, "run a saved Lintavo extraction pattern without the window",
                               "[\\fIOPTIONS\\fP] \\fIPATTERN\\fP", Language::English);
    m += ".SH DESCRIPTION\n"
         ".B lintavo\\-batch\n"
         "loads the pattern file\n.I PATTERN\n"
         "as the window saves it, runs its extraction over the file to read and writes the\n"
         "records that pass its conditions to the file to write, in the pattern's output format.\n"
         "Every byte that passes through unchanged stays exactly as it was.\n"
         "Messages and the summary (the read and written counts) go to standard error,\n"
         "so that the output can be written to standard output.\n";
    m += detail::options_section(Language::English);
    m += kPatternFormat;
    m += ".SH EXAMPLES\n";
    m += kSamplesNote;
    m += "The date and level of the sample log's lines that hold ERROR, as quoted CSV on\n"
         "standard output:\n"
         ".PP\n.RS\nlintavo\\-batch \\-o \\- samples/text\\-errors.ptn\n.RE\n"
         ".PP\n"
         "The customers of the sample CSV file who live in Tokyo, through the pattern's\n"
         "template, into a file of your choice:\n"
         ".PP\n.RS\nlintavo\\-batch \\-o /tmp/tokyo.txt samples/csv\\-tokyo.ptn\n.RE\n"
         ".PP\n"
         "The same pattern on another file, saved as a new pattern without running:\n"
         ".PP\n.RS\n.nf\nlintavo\\-batch \\-\\-no\\-run \\-i other.csv \\e\n    \\-\\-save\\-pattern /tmp/other.ptn samples/csv\\-tokyo.ptn\n.fi\n.RE\n";
    m += page_end("lintavo");
    return m;
}

std::string window_manual_page(const std::string& version, const std::string& date) {
    std::string m = page_start("lintavo", version, date, "pull records out of Japanese text files", "[\\fIPATTERN\\fP]",
                                   Language::English);
    m += ".SH DESCRIPTION\n"
         ".B lintavo\n"
         "opens the window in which you name a file to read (text lines, CSV or fixed\\-length\n"
         "records, in code page 932 or UTF\\-8), up to seven column conditions and four keyword\n"
         "conditions, a file to write and one of five output formats, and run the extraction.\n"
         "The settings can be saved as a pattern file and loaded again; the File menu holds\n"
         "those commands.\n"
         ".PP\n"
         "The View menu's preview (F5) shows, for the first 1000 records (or 16 MiB) of the file\n"
         "to read, what a run would do with each: written or held back, the first condition that\n"
         "held it back, its fields after conversion and the line written, with a ruler of byte\n"
         "positions for text and fixed\\-length records.\n"
         "It writes nothing and refreshes itself shortly after a setting changes.\n"
         ".PP\n"
         "The command line, its words joined with single blanks, names a pattern file that\n"
         "is loaded at start.\n"
         "The program takes no options: every word belongs to the pattern file's name.\n"
         "A name that is no existing file ends the program after its message.\n";
    m += ".SH EXIT STATUS\n"
         ".TP\n.B 0\nthe window was closed.\n"
         ".TP\n.B 1\nthe pattern file named on the command line was not found.\n";
    m += kPatternFormat;
    m += ".SH EXAMPLES\n";
    m += kSamplesNote;
    m += "Open the window with the sample CSV pattern loaded:\n"
         ".PP\n.RS\nlintavo samples/csv\\-tokyo.ptn\n.RE\n";
    m += page_end("lintavo-batch");
    return m;
}

std::string batch_completion() {
    std::string words;
    std::string file_options;
    std::string choice_cases;
    for (const OptionDoc& o : option_docs()) {
        if (o.choices != nullptr && !o.optional_value) {
            choice_cases += std::string("        ") + o.long_name + ")\n"
                            "            COMPREPLY=($(compgen -W '" + o.choices + "' -- \"$cur\"))\n"
                            "            return ;;\n";
        }
        for (const char* name : {o.short_name, o.long_name}) {
            if (*name == '\0') continue;
            if (!words.empty()) words += ' ';
            words += name;
            if (o.value != nullptr && o.file_value) {
                if (!file_options.empty()) file_options += '|';
                file_options += name;
            }
        }
    }
    return "# bash completion for lintavo-batch: its options, and file names for\n"
           "# PATTERN and for the options that name a file.\n"
           "_lintavo_batch() {\n"
           "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
           "    case $prev in\n"
           "        " + file_options + ")\n"
           "            compopt -o filenames 2>/dev/null\n"
           "            COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "            return ;;\n" + choice_cases +
           "    esac\n"
           "    if [[ $cur == -* ]]; then\n"
           "        COMPREPLY=($(compgen -W '" + words + "' -- \"$cur\"))\n"
           "        return\n"
           "    fi\n"
           "    compopt -o filenames 2>/dev/null\n"
           "    COMPREPLY=($(compgen -f -- \"$cur\"))\n"
           "}\n"
           "complete -F _lintavo_batch lintavo-batch\n";
}

}  // namespace lintavo::batch
