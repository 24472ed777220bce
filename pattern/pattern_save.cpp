// Saving a pattern file.
#include "engine/text/cp932.h"
#include "engine/text_join.h"
#include "pattern/pattern_file.h"
#include "engine/system/files.h"

namespace lintavo::pattern {
namespace {

constexpr std::string_view kCrLf = "\r\n";

// A text right-aligned in six characters; a longer text keeps its last six.
std::string six(std::string_view text) {
    const std::vector<std::size_t> starts = cp932::unit_offsets(text);
    const std::size_t units = starts.size() - 1;
    if (units >= 6) return std::string(text.substr(starts[units - 6]));
    return join({std::string(6 - units, ' '), text});
}

// A list index as the last two digits of index + 100 (-1 gives 99).
std::string two_digits(int index) {
    const std::string s = std::to_string(index + 100);
    return s.substr(s.size() - 2);
}

std::string row_number(int row) { return std::to_string(row + 1000).substr(1); }

std::string unencodable(const std::string& name) { return "Shift-JISで表せない文字があります: " + name; }
std::string unsavable(const std::string& name) { return "抽出パターンに保存できない文字があります: " + name; }

// A path's bytes in the file: those a pattern file held for it while it is
// unchanged, else its name in code page 932. A line break would end the
// line (and a CR or LF in a name is no name a user means).
std::optional<std::string> path_bytes(const std::string& name, const std::string& kept, const char* field,
                                      std::string& out) {
    if (name.find_first_of("\r\n") != std::string::npos) return unsavable(field);
    if (!kept.empty() && cp932::to_utf8(kept) == name) {
        out = kept;
        return std::nullopt;
    }
    if (!cp932::from_utf8(name, out)) return unencodable(field);
    return std::nullopt;
}

// The first text that the pattern file cannot hold, in the order of the file.
std::optional<std::string> check_text(const ExtractionSettings& s, TextField f, const std::string& text) {
    if (text.find('\r') != std::string::npos) return unsavable(field_name(f));  // a CR ends a line of the file
    if (s.holds_unencodable(f)) return unencodable(field_name(f));
    return std::nullopt;
}

}  // namespace

std::optional<std::string> pattern_bytes(const ExtractionSettings& s, std::string& out) {
    std::string read_file, write_file;
    if (auto failure = path_bytes(s.txt_ReadFile, s.path_bytes.read_file, "読込みファイル", read_file)) return failure;
    if (auto failure = check_text(s, TextField::RecordLength, s.txt_RecordLength)) return failure;
    for (int i = 0; i < kConditionRows; ++i) {
        const ConditionRow& r = s.conditions[i];
        if (auto failure = check_text(s, start_field(i), r.txt_ichi)) return failure;
        if (auto failure = check_text(s, length_field(i), r.txt_len)) return failure;
        if (auto failure = check_text(s, key_field(i), r.txt_key)) return failure;
    }
    for (int j = 0; j < kKeywordRows; ++j) {
        if (auto failure = check_text(s, keyword_field(j), s.keywords[j].txt_keyword)) return failure;
    }
    if (auto failure = path_bytes(s.txt_WriteFile, s.path_bytes.write_file, "書出しファイル", write_file)) return failure;
    if (s.holds_unencodable(TextField::Template)) return unencodable(field_name(TextField::Template));

    out.clear();
    const auto line = [&out](std::string_view a, std::string_view b = {}) {
        out.append(a);
        out.append(b);
        out.append(kCrLf);
    };
    line("READFILE=", read_file);
    line("READFILETYPE=", std::to_string(s.cmb_type));
    line("RECORDLENGTH=", s.txt_RecordLength);
    for (int i = 0; i < kConditionRows; ++i) {
        const ConditionRow& r = s.conditions[i];
        line(join({"ITEM", row_number(i), "=", six(r.txt_ichi), ",", six(r.txt_len), ",", two_digits(r.cmb_select), ",",
                   two_digits(r.cmb_change), ","}),
             r.txt_key);
    }
    for (int j = 0; j < kKeywordRows; ++j) {
        const KeywordRow& k = s.keywords[j];
        // One digit; a list with no entry chosen is written as 1, which the
        // run treats alike ("を含まない").
        const int kind = k.cmb_keyword == kKeywordContains ? 0 : 1;
        line(join({"KEYWORD", row_number(j), "=", std::to_string(kind), ",       "}), k.txt_keyword);
    }
    line("WRITEFILE=", write_file);
    line("WRITEFILETYPE=", std::to_string(s.cmb_type_Write));
    // The encodings only when not the first entries: a pattern that keeps
    // to code page 932 is written as it always was.
    if (s.cmb_code != kReadShiftJis) line("READFILECODE=", std::to_string(s.cmb_code));
    if (s.cmb_code_Write != kWriteSameCode) line("WRITEFILECODE=", std::to_string(s.cmb_code_Write));
    if (s.chk_header == 1) line("HEADERLINE=", "1");  // off is how every older pattern reads
    line(kMarker);
    // The template's last line is ended like every line; the loader takes
    // that CR LF back off, so a template survives any number of saves.
    out.append(s.txt_hinagata);
    out.append(kCrLf);
    return std::nullopt;
}

std::optional<std::string> save_pattern(const std::string& path, const ExtractionSettings& s) {
    std::string bytes;
    if (auto failure = pattern_bytes(s, bytes)) return failure;
    if (!sys::replace_file(path, bytes)) return "抽出パターンファイルを保存できません: " + path;
    return std::nullopt;
}

}  // namespace lintavo::pattern
