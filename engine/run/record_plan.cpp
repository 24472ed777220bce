#include "engine/run/record_plan.h"

#include "engine/text/decimal_text.h"
#include "engine/text/numeric.h"

namespace lintavo {
namespace {

// Positions and lengths far beyond any record behave alike; keeping them
// within +-2^62 keeps the arithmetic on them free of overflow.
std::int64_t bounded(std::int64_t v) {
    constexpr std::int64_t kLimit = std::int64_t{1} << 62;
    return v > kLimit ? kLimit : (v < -kLimit ? -kLimit : v);
}

// The texts a run compares, searches and fills in, from code page 932 into
// UTF-8 (an invalid byte stays that byte).
void texts_in_utf8(ExtractionSettings& s) {
    for (ConditionRow& r : s.conditions) r.txt_key = cp932::to_utf8(r.txt_key);
    for (KeywordRow& k : s.keywords) k.txt_keyword = cp932::to_utf8(k.txt_keyword);
    s.txt_hinagata = cp932::to_utf8(s.txt_hinagata);
}

// The same into EUC-JP: double-byte characters at their own JIS row and
// cell. A character EUC-JP cannot hold becomes "〓"; the run refuses such
// texts before it starts, where it needs them.
void texts_in_euc_jp(ExtractionSettings& s) {
    std::string out;
    const auto in_euc_jp = [&out](std::string& text) {
        euc_jp::from_cp932(text, out);
        text.swap(out);
    };
    for (ConditionRow& r : s.conditions) in_euc_jp(r.txt_key);
    for (KeywordRow& k : s.keywords) in_euc_jp(k.txt_keyword);
    in_euc_jp(s.txt_hinagata);
}

// The same into UTF-16: each character as its code point. An invalid byte
// becomes U+FFFD; the run refuses such texts before it starts, where it
// needs them.
void texts_in_utf16(ExtractionSettings& s, bool big) {
    std::string out;
    const auto in_utf16 = [&out, big](std::string& text) {
        out.clear();
        const char* p = text.data();
        const char* end = p + text.size();
        while (p < end) {
            const cp932::Unit u = cp932::unit_at(p, end);
            utf16::append(out, u.code >= 0xDC00 && u.code <= 0xDCFF ? 0xFFFD : u.code, big);
            p += u.size;
        }
        text.swap(out);
    };
    for (ConditionRow& r : s.conditions) in_utf16(r.txt_key);
    for (KeywordRow& k : s.keywords) in_utf16(k.txt_keyword);
    in_utf16(s.txt_hinagata);
}

// A template's line breaks are written as the file's lines end.
void template_lines_in_lf(std::string& hinagata) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < hinagata.size(); ++i) {
        if (hinagata[i] == '\r' && i + 1 < hinagata.size() && hinagata[i + 1] == '\n') continue;
        hinagata[out++] = hinagata[i];
    }
    hinagata.resize(out);
}

}  // namespace

Encoding write_encoding(int write_code, Encoding read) {
    switch (write_code) {
        case kWriteShiftJis: return Encoding::Cp932;
        case kWriteUtf8:
        case kWriteUtf8Bom: return Encoding::Utf8;
        case kWriteEucJp: return Encoding::EucJp;
        case kWriteUtf16LeBom: return Encoding::Utf16Le;
        default: return read;
    }
}

const RecordPlan& SettingsPlan::take(const ExtractionSettings& s) {
    settings_ = s;
    return make();
}

const RecordPlan& SettingsPlan::set_line_break(LineBreak lines) {
    lines_ = lines;
    return make();
}

const RecordPlan& SettingsPlan::set_encoding(Encoding read) {
    read_ = read;
    return make();
}

const RecordPlan& SettingsPlan::make() {
    if (read_ == Encoding::Cp932 && !lines_.is_lf()) {
        plan_ = make_plan(settings_, read_);
        return plan_;
    }
    texts_ = settings_;
    // In code page 932 a CR or LF byte is always that character.
    if (lines_.is_lf()) template_lines_in_lf(texts_.txt_hinagata);
    switch (read_) {
        case Encoding::Utf8: texts_in_utf8(texts_); break;
        case Encoding::EucJp: texts_in_euc_jp(texts_); break;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: texts_in_utf16(texts_, read_ == Encoding::Utf16Be); break;
        case Encoding::Cp932: break;
    }
    plan_ = make_plan(texts_, read_);
    return plan_;
}

RecordPlan make_plan(const ExtractionSettings& s, Encoding encoding) {
    RecordPlan p;
    p.encoding = encoding;
    p.type = s.cmb_type;
    p.tabs_only = s.cmb_type == kTypeTsv;
    p.record_length = whole_value(s.txt_RecordLength);
    p.rows_in_use = rows_in_use(s);
    while (p.cut_rows < kConditionRows && !s.conditions[p.cut_rows].txt_len.empty()) ++p.cut_rows;
    for (int i = 0; i < kConditionRows; ++i) {
        const ConditionRow& c = s.conditions[i];
        RowPlan& r = p.rows[i];
        r.start = bounded(whole_value(c.txt_ichi));
        r.length = bounded(whole_value(c.txt_len));
        r.select = c.cmb_select;
        r.change = c.cmb_change;
        r.key = c.txt_key;
        r.key_by_code = has_duplicate(encoding, c.txt_key);
        r.numeric = r.change == kConvertNumber && r.select >= kCompareEqual && r.select <= kCompareNotEqual;
        std::string& number = p.number_keys[static_cast<std::size_t>(i)];
        if (r.numeric && !read_decimal(trim_blanks(r.key, encoding), encoding, number)) number.clear();
        if (i >= p.rows_in_use) continue;
        if (r.select >= kCompareEqual && r.select <= kCompareNotNull) p.compares = true;
        if (r.start > p.csv_columns) p.csv_columns = r.start;
        if (r.start != i + 1) p.csv_in_order = false;
    }
    for (int j = 0; j < kKeywordRows; ++j) {
        const KeywordRow& k = s.keywords[j];
        if (k.txt_keyword.empty()) continue;
        p.keywords[p.keyword_count].needle = Needle(k.txt_keyword, encoding);
        p.keywords[p.keyword_count].must_contain = k.cmb_keyword == kKeywordContains;
        p.keywords[p.keyword_count].row = j;
        ++p.keyword_count;
    }
    p.write_mode = s.cmb_type_Write;
    p.hinagata = s.txt_hinagata;
    const bool writes_fields = p.write_mode >= kWriteJoined && p.write_mode <= kWriteCsvTab;
    p.fields_needed = p.rows_in_use > 0 && (p.compares || writes_fields);
    p.header = s.chk_header == 1 && p.type != kTypeFixed;
    return p;
}

}  // namespace lintavo
