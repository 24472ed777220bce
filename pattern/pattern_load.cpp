// Loading a pattern file.
#include <cerrno>
#include <new>
#include <vector>

#include "engine/system/files.h"
#include "engine/text/cp932.h"
#include "engine/text/numeric.h"
#include "pattern/pattern_file.h"

namespace lintavo::pattern {
namespace {

std::string row_key(std::string_view prefix, int row) {
    return std::string(prefix) + std::to_string(row + 1000).substr(1);
}

// The characters of a value by position (from 1), counting code page 932 units.
class Positions {
public:
    explicit Positions(std::string_view value) : value_(value), starts_(cp932::unit_offsets(value)) {}
    // Characters first..last (inclusive; last 0 for the end of the value).
    std::string_view chars(std::size_t first, std::size_t last = 0) const {
        const std::size_t count = starts_.size() - 1;
        if (first > count) return {};
        const std::size_t b = starts_[first - 1];
        const std::size_t e = (last == 0 || last > count) ? value_.size() : starts_[last];
        return value_.substr(b, e - b);
    }

private:
    std::string_view value_;
    std::vector<std::size_t> starts_;
};

std::string position_text(std::string_view field) {
    const double v = numeric_value(field);
    return v == 0 ? std::string() : plain_decimal(v);
}

class Loader {
public:
    Loader(ExtractionSettings& s, LoadListener* listener) : s_(s), listener_(listener) {}

    void line(std::string_view text) {
        ++number_;
        if (in_template_) {
            // The lines after the marker, joined by CR LF: the saver ends the
            // template with the one CR LF that ends its last line.
            if (template_lines_++ > 0) s_.txt_hinagata.append("\r\n");
            s_.txt_hinagata.append(text);
        } else {
            key_line(text);
        }
        if (text.substr(0, kMarker.size()) == kMarker) in_template_ = true;
    }

private:
    void key_line(std::string_view text) {
        if (auto v = fnc_read(text, "READFILE")) {
            s_.txt_ReadFile = cp932::to_utf8(*v);
            s_.path_bytes.read_file = *v;
        } else if (auto v = fnc_read(text, "READFILETYPE")) {
            if (choice(*v, kReadFileTypes.size(), "READFILETYPE", s_.cmb_type) && listener_) {
                listener_->read_file_type_set(s_.cmb_type);
            }
        } else if (auto v = fnc_read(text, "RECORDLENGTH")) {
            set_text(s_.txt_RecordLength, TextField::RecordLength, *v);
        } else if (auto v = fnc_read(text, "WRITEFILE")) {
            s_.txt_WriteFile = cp932::to_utf8(*v);
            s_.path_bytes.write_file = *v;
        } else if (auto v = fnc_read(text, "WRITEFILETYPE")) {
            if (choice(*v, kWriteModes.size(), "WRITEFILETYPE", s_.cmb_type_Write) && listener_) {
                listener_->write_mode_set(s_.cmb_type_Write);
            }
        } else if (auto v = fnc_read(text, "READFILECODE")) {
            named_choice(*v, kReadCodes.size(), "READFILECODE", s_.cmb_code);
        } else if (auto v = fnc_read(text, "WRITEFILECODE")) {
            named_choice(*v, kWriteCodes.size(), "WRITEFILECODE", s_.cmb_code_Write);
        } else if (auto v = fnc_read(text, "HEADERLINE")) {
            named_choice(*v, 2, "HEADERLINE", s_.chk_header);
        } else {
            for (int i = 0; i < kConditionRows; ++i) {
                if (auto v = fnc_read(text, row_key("ITEM", i))) return item(i, *v);
            }
            for (int j = 0; j < kKeywordRows; ++j) {
                if (auto v = fnc_read(text, row_key("KEYWORD", j))) return keyword(j, *v);
            }
        }
    }

    void item(int i, std::string_view value) {
        if (value.empty()) return;
        const Positions p(value);
        ConditionRow& row = s_.conditions[i];
        set_text(row.txt_ichi, start_field(i), position_text(p.chars(1, 6)));
        set_text(row.txt_len, length_field(i), position_text(p.chars(8, 13)));
        const std::string key = row_key("ITEM", i);
        two_digit_choice(p.chars(15, 16), kComparisons.size(), key + " (比較条件)", row.cmb_select);
        two_digit_choice(p.chars(18, 19), kConversions.size(), key + " (変換)", row.cmb_change);
        set_text(row.txt_key, key_field(i), p.chars(21));
    }

    void keyword(int j, std::string_view value) {
        if (value.empty()) return;
        const Positions p(value);
        KeywordRow& row = s_.keywords[j];
        choice(p.chars(1, 1), kKeywordKinds.size(), row_key("KEYWORD", j), row.cmb_keyword);
        set_text(row.txt_keyword, keyword_field(j), p.chars(10));
    }

    void set_text(std::string& text, TextField field, std::string_view value) {
        text.assign(value);
        s_.set_unencodable(field, false);  // bytes from a file are held as they are
    }

    // "99" is how the saver writes a list with no entry chosen.
    void two_digit_choice(std::string_view field, std::size_t size, const std::string& what, int& index) {
        if (whole_value(field) == 99) {
            index = kNoEntry;
            return;
        }
        choice(field, size, what, index);
    }

    bool choice(std::string_view field, std::size_t size, const std::string& what, int& index) {
        const std::int64_t v = whole_value(field);
        if (!valid_choice(v, size)) return ignore(v, what);
        index = static_cast<int>(v);
        return true;
    }

    // An encoding, and the header setting, always name an entry: -1 is no
    // choice of one.
    void named_choice(std::string_view field, std::size_t size, const std::string& what, int& index) {
        const std::int64_t v = whole_value(field);
        if (v < 0 || static_cast<std::uint64_t>(v) >= size) {
            ignore(v, what);
            return;
        }
        index = static_cast<int>(v);
    }

    bool ignore(std::int64_t v, const std::string& what) {
        if (listener_) listener_->ignored(number_, what + ": 一覧にない番号 " + std::to_string(v) + " を無視しました");
        return false;
    }

    ExtractionSettings& s_;
    LoadListener* listener_;
    std::int64_t number_ = 0;
    bool in_template_ = false;
    std::size_t template_lines_ = 0;
};

}  // namespace

std::optional<std::string_view> fnc_read(std::string_view line, std::string_view key) {
    if (line.size() < key.size() + 1 || line[key.size()] != '=') return std::nullopt;
    for (std::size_t i = 0; i < key.size(); ++i) {
        char c = line[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != key[i]) return std::nullopt;
    }
    return line.substr(key.size() + 1);
}

void apply_pattern(std::string_view bytes, ExtractionSettings& s, LoadListener* listener) {
    // What a saver may leave out starts from its default, so that a pattern
    // does the same whatever was set before it was loaded.
    const ExtractionSettings defaults;
    s.txt_hinagata.clear();
    s.set_unencodable(TextField::Template, false);
    s.cmb_code = defaults.cmb_code;
    s.cmb_code_Write = defaults.cmb_code_Write;
    s.chk_header = defaults.chk_header;
    Loader loader(s, listener);
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\r', pos);
        if (end == std::string_view::npos) end = bytes.size();
        loader.line(bytes.substr(pos, end - pos));
        pos = end + 1;
        if (pos < bytes.size() && bytes[pos] == '\n' && end < bytes.size()) ++pos;
    }
}

namespace {

// The whole file at path, read in one piece of its own size (a pattern's
// template may be large: the bytes and the template made of them are all the
// memory a load needs). False when it cannot be opened or read.
bool read_whole_file(const std::string& path, std::string& bytes) {
    const int fd = sys::open_for_reading(path);
    if (fd < 0) return false;
    bool ok = false;
    const sys::Facts facts = sys::facts_of(fd);
    if (facts.kind != sys::Kind::Missing && facts.kind != sys::Kind::Folder) {
        // One byte more than the file holds, to see its end without growing.
        bytes.reserve(facts.kind == sys::Kind::Regular ? static_cast<std::size_t>(facts.size) + 1 : std::size_t{64} << 10);
        for (;;) {
            if (bytes.capacity() == bytes.size()) bytes.reserve(bytes.size() * 2);
            const std::size_t old = bytes.size();
            bytes.resize(bytes.capacity());
            const long long r = sys::read_some(fd, bytes.data() + old, bytes.size() - old);
            bytes.resize(old + static_cast<std::size_t>(r > 0 ? r : 0));
            if (r > 0) continue;
            if (r < 0 && errno == EINTR) continue;
            ok = r == 0;
            break;
        }
    }
    sys::close(fd);
    return ok;
}

}  // namespace

std::optional<std::string> proc_ReadPattern(const std::string& path, ExtractionSettings& s, LoadListener* listener) {
    const auto failure = [&path] { return "抽出パターンファイルを開けません: " + path; };
    try {
        std::string bytes;
        if (!read_whole_file(path, bytes)) return failure();
        // Applied to a copy that takes the place of the settings only when
        // the whole file is applied: memory running out changes nothing.
        std::string old_template = std::move(s.txt_hinagata);
        std::optional<ExtractionSettings> next;
        try {
            next.emplace(s);
        } catch (...) {
            s.txt_hinagata = std::move(old_template);
            throw;
        }
        s.txt_hinagata = std::move(old_template);
        apply_pattern(bytes, *next, listener);
        bytes = std::string();
        s = std::move(*next);
    } catch (const std::bad_alloc&) {
        return failure();
    }
    return std::nullopt;
}

bool carries_a_key(std::string_view line) {
    for (const char* key :
         {"READFILE", "READFILETYPE", "RECORDLENGTH", "WRITEFILE", "WRITEFILETYPE", "READFILECODE", "WRITEFILECODE",
          "HEADERLINE"}) {
        if (fnc_read(line, key)) return true;
    }
    for (int i = 0; i < kConditionRows; ++i) {
        if (fnc_read(line, row_key("ITEM", i))) return true;
    }
    for (int j = 0; j < kKeywordRows; ++j) {
        if (fnc_read(line, row_key("KEYWORD", j))) return true;
    }
    return false;
}

bool starts_like_a_pattern(const std::string& path) {
    // The longest key and its equals sign are all the first line must show.
    constexpr std::size_t kEnough = 32;
    const int fd = sys::open_for_reading(path, true);
    if (fd < 0) return false;
    char buf[kEnough];
    const long long got = sys::facts_of(fd).kind == sys::Kind::Regular ? sys::read_some(fd, buf, kEnough) : 0;
    sys::close(fd);
    std::string_view line(buf, static_cast<std::size_t>(got > 0 ? got : 0));
    line = line.substr(0, line.find('\r'));
    return carries_a_key(line);
}

bool pattern_file_exists(const std::string& path) {
    return sys::facts_of(path).kind == sys::Kind::Regular;
}

}  // namespace lintavo::pattern
