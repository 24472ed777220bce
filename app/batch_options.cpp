#include "app/batch_options.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdlib>
#include <string_view>

#include "engine/system/console.h"

namespace lintavo::batch {
namespace {

// Each option's text or flag among the options, in the order of the table.
// An option without a value either sets its flag or writes its `bare` text.
struct OptionTarget {
    std::optional<std::string> Options::*text;
    bool Options::*flag;
    const char* bare;  // the value of an option whose value is left out
};

constexpr std::size_t kOptionCount = 14;
constexpr const char* kReadCodes = "shift-jis utf-8 euc-jp utf-16";
constexpr const char* kWriteCodes = "same shift-jis utf-8 utf-8-bom euc-jp utf-16le-bom";
constexpr const char* kProgressWhen = "auto always never";

const std::array<OptionDoc, kOptionCount> kDocs = {{
    {"-i", "--input", "PATH", false, "the file to read, instead of the pattern's; \"-\" reads standard input", true,
     nullptr,
     "パターンの代わりに読込むファイル。「-」は標準入力"},
    {"-o", "--output", "PATH", false, "the file to write, instead of the pattern's; \"-\" writes standard output",
     true, nullptr,
     "パターンの代わりに書出すファイル。「-」は標準出力"},
    {"", "--read-code", "CODE", false,
     "the encoding of the file to read, instead of the pattern's: shift-jis (code page 932), utf-8 (a byte "
     "order mark at its start is skipped), euc-jp or utf-16 (the byte order from the mark at its start, "
     "little-endian without one)",
     false, kReadCodes,
     "パターンの代わりの読込みファイルの文字コード: shift-jis (コードページ932)、utf-8 (先頭のバイトオーダーマークは読み飛ばす)、euc-jp または utf-16 (バイト順は先頭のマークによる。マークがなければリトルエンディアン)"},
    {"", "--write-code", "CODE", false,
     "the encoding of the file to write, instead of the pattern's: same (as the file read, with its byte order "
     "mark), shift-jis, utf-8, utf-8-bom, euc-jp or utf-16le-bom; characters it cannot hold are replaced and "
     "counted in a warning",
     false, kWriteCodes,
     "パターンの代わりの書出しファイルの文字コード: same (読込みと同じ、バイトオーダーマークも)、shift-jis、utf-8、utf-8-bom、euc-jp または utf-16le-bom。表せない文字は置き換えて警告で数える"},
    {"", "--header", nullptr, false,
     "the first line of TEXT and CSV input is a header: written first (in every output format but the "
     "template), counted, never tested (of --header and --no-header the last one given holds)",
     false, nullptr,
     "TEXT と CSV の1行目は見出し: 最初に書出し (パターンに当てはめる書出し方法以外)、数えるが条件は調べない (--header と --no-header は最後のものが有効)"},
    {"", "--no-header", nullptr, false, "the first line is a record like any other", false, nullptr,
     "1行目もほかの行と同じレコード"},
    {"", "--preview", "N", true,
     "run nothing and write no file, but show what a run would do with the first N records read (20 when "
     "--preview is given alone, at most 1000000): a table on standard output, columns separated by TAB: the "
     "record's number, ○ written, × held back or 見出し (the header line), the test that held it back, the "
     "converted fields @1 to @n and the line written; \\, TAB, CR, LF, other control characters and invalid "
     "bytes are written as \\\\, \\t, \\r, \\n and \\xNN",
     false, nullptr,
     "実行もファイルの書出しもせず、読込んだ先頭 N 件で実行が何をするかを示す (--preview だけなら 20、最大 1000000): 標準出力に TAB 区切りの表で、件目、○ 書出し・× 書出さない・見出し、書出さない理由の条件、変換後の @1 から @n、書出す行。\\、TAB、CR、LF、その他の制御文字と不正なバイトは \\\\、\\t、\\r、\\n、\\xNN と書く"},
    {"", "--only-written", nullptr, false,
     "with --preview: show only the records a run would write, searching the whole file for the first N",
     false, nullptr, "--preview と共に: 実行が書出すレコードだけを示す。先頭 N 件をファイル全体から探す"},
    {"", "--save-pattern", "PATH", false,
     "save the settings as a pattern file after a successful run (or a preview)", true, nullptr,
     "実行 (またはプレビュー) が成功したあとで設定をパターンファイルに保存する"},
    {"", "--no-run", nullptr, false, "load (and save) only, do not run", false, nullptr,
     "読込み (と保存) だけで実行しない"},
    {"", "--progress", "WHEN", true,
     "show how far the run has come on standard error: auto (the default) only when it is a terminal, "
     "always (also --progress alone: on a terminal one line redrawn in place, else a plain line every few "
     "seconds), or never",
     false, kProgressWhen,
     "標準エラー出力に進み具合を示す: auto (既定) は端末のときだけ、always (--progress だけでも同じ: 端末では1行を書き直し、それ以外は数秒ごとに1行)、never"},
    {"-q", "--quiet", nullptr, false, "print no summary (the progress is still shown)", false, nullptr,
     "件数の要約を出さない (進み具合は出す)"},
    {"-h", "--help", nullptr, false, "show this help", false, nullptr,
     "このヘルプを示す"},
    {"", "--version", nullptr, false, "show the version", false, nullptr,
     "バージョンを示す"},
}};

const std::array<OptionTarget, kOptionCount> kTargets = {{
    {&Options::input, nullptr, nullptr},
    {&Options::output, nullptr, nullptr},
    {&Options::read_code_name, nullptr, nullptr},
    {&Options::write_code_name, nullptr, nullptr},
    {&Options::header_line, nullptr, "1"},
    {&Options::header_line, nullptr, "0"},
    {&Options::preview_when, nullptr, "20"},
    {nullptr, &Options::only_written, nullptr},
    {&Options::save_pattern, nullptr, nullptr},
    {nullptr, &Options::no_run, nullptr},
    {&Options::progress_when, nullptr, "always"},
    {nullptr, &Options::quiet, nullptr},
    {nullptr, &Options::help, nullptr},
    {nullptr, &Options::version, nullptr},
}};

const std::array<ExitStatusDoc, 4> kExitStatuses = {{
    {0, "the run (and the save) succeeded", "実行 (と保存) が成功した"},
    {1, "the run or the save failed, or the pattern's settings did not pass the run's checks",
     "実行か保存が失敗した、またはパターンの設定が実行前の確認を通らなかった"},
    {2, "a bad command line, or a pattern file that cannot be found or read",
     "コマンドラインが正しくない、またはパターンファイルが見つからないか読めない"},
    {130, "stopped by Ctrl-C (SIGINT; SIGTERM gives 143, SIGHUP 129): the output keeps its whole records, "
          "nothing is saved",
     "Ctrl-C で中止した (SIGINT。SIGTERM では 143、SIGHUP では 129): 書出しファイルには完全なレコードだけが残り、"
     "何も保存しない"},
}};

// The texts of the usage and the command line's errors, in both languages.
struct Texts {
    const char* usage_head;
    const char* usage_notes;
    const char* exit_status;
    const char* unknown_option;
    const char* takes_no_value;
    const char* needs_a_value;
    const char* takes;  // "--x takes a, b or c, not: v"
    const char* or_word;
    const char* not_word;
    const char* preview_number;
    const char* no_pattern;
    const char* two_patterns;
    const char* see_help;
};

const Texts kEnglish = {
    "usage: lintavo-batch [OPTIONS] PATTERN\n"
    "Runs the extraction of a saved pattern file without the window.\n"
    "Options override the pattern's settings:\n",
    "Text and CSV lines end at CR LF or CR, or at LF when the first 64 KiB of the file hold\n"
    "a LF and no CR; the lines written end the same way.\n"
    "For CSV input a row's start position is the column it takes. Conversion 05 (数値)\n"
    "trims half- and full-width blanks and compares field and value as decimal numbers.\n"
    "Relative paths, in the pattern and on the command line, are taken from the current folder.\n"
    "Inside a pattern \"-\" is a file named \"-\"; only -i - and -o - mean the standard streams.\n",
    "Exit status:\n",
    "unknown option: ",
    "option takes no value: ",
    "option needs a value: ",
    " takes ",
    " or ",
    ", not: ",
    "--preview takes a number from 1 to 1000000, not: ",
    "no pattern file given",
    "more than one pattern file given",
    "Try 'lintavo-batch --help' for more information.",
};

const Texts kJapanese = {
    "使い方: lintavo-batch [オプション] パターン\n"
    "保存した抽出パターンファイルの抽出を、ウィンドウなしで実行する。\n"
    "オプションはパターンの設定に優先する:\n",
    "TEXT と CSV の行は CR LF か CR で終わる。ファイルの先頭 64 KiB に LF があって CR がなければ\n"
    "LF で終わる。書出す行も同じ改行で終わる。\n"
    "CSV を読込むとき、行の開始位置はその行が取る列の番号。変換 05 (数値) は半角と全角の\n"
    "空白を両端から除き、項目と比較内容を10進の数として比べる。\n"
    "相対パスは、パターンの中でもコマンドラインでも、カレントフォルダーから数える。\n"
    "パターンの中の「-」は「-」という名前のファイル。標準入出力は -i - と -o - だけ。\n",
    "終了ステータス:\n",
    "不明なオプションです: ",
    "値を取らないオプションです: ",
    "値が必要なオプションです: ",
    " の値は ",
    " か ",
    " のどれかです。指定された値: ",
    "--preview の値は 1 から 1000000 までの数です。指定された値: ",
    "パターンファイルが指定されていません",
    "パターンファイルが2つ以上指定されています",
    "詳しくは lintavo-batch --help",
};

const Texts& texts(Language language) { return language == Language::Japanese ? kJapanese : kEnglish; }

// "a, b or c" (or "a、b か c") for the blank-separated choices.
std::string choices_text(const char* choices, Language language) {
    std::string words = choices;
    const std::size_t last = words.rfind(' ');
    std::string out;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] != ' ') out += words[i];
        else out += i == last ? texts(language).or_word : (language == Language::Japanese ? "、" : ", ");
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

// A Japanese text (UTF-8) broken into lines of at most `width` columns, a
// wide character taking two: between two Japanese characters, or at a
// blank, never inside a word of Latin letters and digits, and never before
// "、" or "。".
std::string wrapped_ja(const std::string& text, std::size_t indent, std::size_t width) {
    std::string out;
    std::size_t column = indent;
    for (std::size_t at = 0; at < text.size();) {
        // The next piece: a blank, a run of other ASCII characters, or one wide character.
        std::size_t size = 0;
        std::size_t wide = 0;
        const auto lead = static_cast<unsigned char>(text[at]);
        if (lead >= 0x80) {
            size = std::min<std::size_t>(lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4, text.size() - at);
            wide = size >= 3 ? 2 : 1;
        } else if (lead == ' ') {
            size = wide = 1;
        } else {
            while (at + size < text.size() && static_cast<unsigned char>(text[at + size]) < 0x80 && text[at + size] != ' ') ++size;
            wide = size;
        }
        const std::string_view piece(text.data() + at, size);
        at += size;
        if (column + wide > width && column > indent && piece != "、" && piece != "。") {
            out += "\n" + std::string(indent, ' ');
            column = indent;
            if (piece == " ") continue;
        }
        out += piece;
        column += wide;
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

Language locale_language() {
    return sys::user_language().starts_with("ja") ? Language::Japanese : Language::English;
}

std::string see_help(Language language) { return texts(language).see_help; }

std::optional<Options> parse_options(const std::vector<std::string>& args, std::string& error, Language language) {
    const Texts& t = texts(language);
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
            error = t.unknown_option + a;
            return std::nullopt;
        }
        if (kDocs[k].value == nullptr) {
            if (inline_value) {
                error = t.takes_no_value + name;
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
                error = t.needs_a_value + name;
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
            error = std::string(kDocs[k].long_name) + t.takes + choices_text(kDocs[k].choices, language) + t.not_word + value;
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
            error = t.preview_number + *opt.preview_when;
            return std::nullopt;
        }
    }
    if (opt.help || opt.version) return opt;
    if (positional.size() != 1) {
        error = positional.empty() ? t.no_pattern : t.two_patterns;
        return std::nullopt;
    }
    opt.pattern = positional[0];
    return opt;
}

std::string usage(Language language) {
    const Texts& t = texts(language);
    const bool ja = language == Language::Japanese;
    std::string u = t.usage_head;
    for (const OptionDoc& o : kDocs) {
        std::string left = "  ";
        left += *o.short_name != '\0' ? std::string(o.short_name) + ", " : "    ";
        left += o.long_name;
        if (o.value != nullptr) left += o.optional_value ? std::string("[=") + o.value + "]" : std::string(" ") + o.value;
        if (left.size() < 26) left.resize(26, ' ');
        u += left + " " + (ja ? wrapped_ja(o.help_ja, 26 + 1, 79) : wrapped(o.help, 26 + 1, 79)) + "\n";
    }
    u += t.usage_notes;
    u += t.exit_status;
    for (const ExitStatusDoc& e : kExitStatuses) {
        std::string left = "  " + std::to_string(e.status);
        left.resize(7, ' ');
        u += left + (ja ? wrapped_ja(e.meaning_ja, 7, 79) : wrapped(e.meaning, 7, 79)) + "\n";
    }
    return u;
}

}  // namespace lintavo::batch
