// ExtractionSettings: the complete description of one extraction, with its
// seven condition rows, four keyword rows and the fixed lists whose entries
// the settings choose by index.
//
// Texts hold bytes in code page 932 as the run and the pattern file use
// them, whatever the encodings of the files read and written. The three
// file paths are the exception: they hold the name the operating system
// uses (UTF-8 here), so that any file can be named.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace lintavo {

inline constexpr int kConditionRows = 7;
inline constexpr int kKeywordRows = 4;
inline constexpr int kNoEntry = -1;  // a list with no entry chosen (only a pattern file gives it)

// Entry texts of the fixed lists (UTF-8), addressed by index.
inline constexpr std::array<std::string_view, 4> kReadFileTypes = {"TEXT", "CSV", "固定長", "TSV"};
inline constexpr std::array<std::string_view, 5> kWriteModes = {
    "そのまま書き出す", "桁位置を指定したものだけ書き出す", "パターンに当てはめて書き出す",
    "CSVとして書き出す(カンマ)", "CSVとして書き出す(TAB)"};
inline constexpr std::array<std::string_view, 9> kComparisons = {
    "", "=", "<=", "=>", "<", ">", "<>", "IS NULL", "<> NULL"};
inline constexpr std::array<std::string_view, 6> kConversions = {
    "", "左つめ", "LTRIM", "RTRIM", "先頭ゼロ空白", "数値"};
inline constexpr std::array<std::string_view, 2> kKeywordKinds = {"を含む", "を含まない"};
inline constexpr std::array<std::string_view, 4> kReadCodes = {"Shift-JIS", "UTF-8", "EUC-JP", "UTF-16"};
inline constexpr std::array<std::string_view, 6> kWriteCodes = {"読込みと同じ", "Shift-JIS", "UTF-8", "UTF-8 (BOM付き)",
                                                               "EUC-JP", "UTF-16LE (BOM付き)"};

enum ReadFileType : int { kTypeText = 0, kTypeCsv = 1, kTypeFixed = 2, kTypeTsv = 3 };

// CSV and TSV records are split into columns (TSV: at TAB alone); TEXT and
// fixed-length records are cut by positions.
inline bool splits_columns(int type) { return type == kTypeCsv || type == kTypeTsv; }
enum WriteMode : int { kWriteAsRead = 0, kWriteJoined = 1, kWriteTemplate = 2, kWriteCsvComma = 3, kWriteCsvTab = 4 };
enum Comparison : int {
    kCompareNone = 0, kCompareEqual, kCompareLessEqual, kCompareGreaterEqual, kCompareLess,
    kCompareGreater, kCompareNotEqual, kCompareIsNull, kCompareNotNull
};
enum Conversion : int { kConvertNone = 0, kConvertTrim, kConvertLtrim, kConvertRtrim, kConvertLeadingBlank, kConvertNumber };
enum KeywordKind : int { kKeywordContains = 0, kKeywordLacks = 1 };
// "UTF-16" reads either byte order: the file's mark says which (none: little-endian).
enum ReadCode : int { kReadShiftJis = 0, kReadUtf8 = 1, kReadEucJp = 2, kReadUtf16 = 3 };
enum WriteCode : int {
    kWriteSameCode = 0, kWriteShiftJis = 1, kWriteUtf8 = 2, kWriteUtf8Bom = 3, kWriteEucJp = 4, kWriteUtf16LeBom = 5
};

// True when index names an entry of a list of `size` entries, or is -1.
inline bool valid_choice(long long index, std::size_t size) {
    return index == kNoEntry || (index >= 0 && static_cast<std::size_t>(index) < size);
}

struct ConditionRow {
    std::string txt_ichi;  // start position (TEXT, fixed length) or in-use mark (CSV)
    std::string txt_len;   // length in bytes
    int cmb_select = 0;    // Comparison
    std::string txt_key;   // comparison value, used as typed
    int cmb_change = 0;    // Conversion
    bool operator==(const ConditionRow&) const = default;
};

struct KeywordRow {
    std::string txt_keyword;
    int cmb_keyword = 0;  // KeywordKind
    bool operator==(const KeywordRow&) const = default;
};

// Names a code page 932 text of the settings, for the messages that say
// which text holds a character code page 932 cannot hold.
enum class TextField : int {
    RecordLength = 0,
    Template,
    Start0,
    Length0 = Start0 + kConditionRows,
    Key0 = Length0 + kConditionRows,
    Keyword0 = Key0 + kConditionRows,
    Count = Keyword0 + kKeywordRows
};
inline TextField start_field(int row) { return static_cast<TextField>(static_cast<int>(TextField::Start0) + row); }
inline TextField length_field(int row) { return static_cast<TextField>(static_cast<int>(TextField::Length0) + row); }
inline TextField key_field(int row) { return static_cast<TextField>(static_cast<int>(TextField::Key0) + row); }
inline TextField keyword_field(int row) { return static_cast<TextField>(static_cast<int>(TextField::Keyword0) + row); }

// The name of a text in messages ("書出しパターン", "@2の比較内容", "キーワード1", ...).
std::string field_name(TextField field);

// The bytes a pattern file held for the two paths. Code values cannot tell
// NEC and IBM duplicate codes apart, so a path saved unchanged is written
// with these bytes: they stand while the path is still the name they were
// read as. A note on how the paths were written, not a setting: settings
// that differ only here are the same settings.
struct PathBytes {
    std::string read_file;
    std::string write_file;
    bool operator==(const PathBytes&) const { return true; }
};

struct ExtractionSettings {
    std::string txt_ReadFile;
    int cmb_type = kTypeText;
    int cmb_code = kReadShiftJis;        // ReadCode: the read file's encoding
    int cmb_code_Write = kWriteSameCode;  // WriteCode: the write file's encoding
    int chk_header = 0;  // 1: the first line of TEXT and CSV input is a header, kept at the top of the output
    std::string txt_RecordLength = "100";
    std::array<ConditionRow, kConditionRows> conditions{};
    std::array<KeywordRow, kKeywordRows> keywords{};
    std::string txt_WriteFile;
    int cmb_type_Write = kWriteAsRead;
    std::string txt_hinagata;  // lines end with CR LF
    std::string txt_pattern;   // path of the last pattern file chosen in the window; never saved
    PathBytes path_bytes;

    // Texts that were typed with characters code page 932 cannot hold: one
    // bit per TextField. Their bytes hold "?" there and must not be used
    // where the characters matter.
    std::uint64_t unencodable = 0;

    bool holds_unencodable(TextField f) const { return (unencodable >> static_cast<int>(f)) & 1; }
    void set_unencodable(TextField f, bool on) {
        const std::uint64_t bit = std::uint64_t{1} << static_cast<int>(f);
        unencodable = on ? (unencodable | bit) : (unencodable & ~bit);
    }

    bool operator==(const ExtractionSettings&) const = default;
};

// Rows in use: rows 0, 1, ... up to, not including, the first row whose
// start position is empty.
int rows_in_use(const ExtractionSettings& s);

}  // namespace lintavo
