// Saving a pattern file.
#include <cstdio>
#include <filesystem>
#include <random>

#include "engine/cp932.h"
#include "engine/text_join.h"
#include "pattern/pattern_file.h"

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

}  // namespace

std::optional<std::string> pattern_bytes(const ExtractionSettings& s, std::string& out) {
    std::string read_file, write_file;
    if (!cp932::from_utf8(s.txt_ReadFile, read_file)) return unencodable("読込みファイル");
    if (s.holds_unencodable(TextField::RecordLength)) return unencodable(field_name(TextField::RecordLength));
    for (int i = 0; i < kConditionRows; ++i) {
        for (TextField f : {start_field(i), length_field(i), key_field(i)}) {
            if (s.holds_unencodable(f)) return unencodable(field_name(f));
        }
    }
    for (int j = 0; j < kKeywordRows; ++j) {
        if (s.holds_unencodable(keyword_field(j))) return unencodable(field_name(keyword_field(j)));
    }
    if (!cp932::from_utf8(s.txt_WriteFile, write_file)) return unencodable("書出しファイル");
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
    line(kMarker);
    out.append(s.txt_hinagata);
    if (!s.txt_hinagata.ends_with(kCrLf)) out.append(kCrLf);
    return std::nullopt;
}

std::optional<std::string> save_pattern(const std::string& path, const ExtractionSettings& s) {
    std::string bytes;
    if (auto failure = pattern_bytes(s, bytes)) return failure;
    const auto failure = [&path] { return "抽出パターンファイルを保存できません: " + path; };

    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(path);
    if (fs::is_symlink(target, ec)) {  // replace the file the link names, not the link
        const fs::path resolved = fs::weakly_canonical(target, ec);
        if (ec) return failure();
        target = resolved;
    }
    if (fs::is_directory(target, ec)) return failure();
    std::random_device rd;
    const fs::path temp = target.parent_path() / ("." + target.filename().string() + ".lintavo-" +
                                                   std::to_string(rd()) + ".tmp");
    std::FILE* f = std::fopen(temp.c_str(), "wbx");
    if (f == nullptr) return failure();
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    const bool closed = std::fclose(f) == 0;
    if (written && closed) {
        const auto old = fs::status(target, ec);
        if (!ec && fs::exists(old)) fs::permissions(temp, old.permissions(), ec);
        fs::rename(temp, target, ec);
        if (!ec) return std::nullopt;
    }
    fs::remove(temp, ec);
    return failure();
}

}  // namespace lintavo::pattern
