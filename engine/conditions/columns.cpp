#include "engine/conditions/columns.h"

#include "engine/text/decimal_text.h"

namespace lintavo {
namespace {

// The UTF-16 code unit at i (i + 1 inside s).
unsigned code_unit(std::string_view s, std::size_t i, Encoding e) {
    return e == Encoding::Utf16Be ? utf16::code_unit<true>(s.data() + i) : utf16::code_unit<false>(s.data() + i);
}

// A blank is the byte " ", in UTF-16 the unit U+0020. A field is read from
// its own first byte.
std::string_view trim_left(std::string_view s, Encoding e) {
    std::size_t b = 0;
    if (is_utf16(e)) {
        while (b + 2 <= s.size() && code_unit(s, b, e) == ' ') b += 2;
    } else {
        while (b < s.size() && s[b] == ' ') ++b;
    }
    return s.substr(b);
}

std::string_view trim_right(std::string_view s, Encoding e) {
    std::size_t end = s.size();
    if (is_utf16(e)) {
        if (end % 2 != 0) return s;  // it ends in an odd byte, no blank
        while (end >= 2 && code_unit(s, end - 2, e) == ' ') end -= 2;
    } else {
        while (end > 0 && s[end - 1] == ' ') --end;
    }
    return s.substr(0, end);
}

// Every unit before the first "0" or blank becomes one blank; from that
// character on the field stays as it is.
std::string_view blank_before_zero(std::string_view s, std::string& out, Encoding encoding) {
    std::size_t stop = 0;
    std::size_t units = 0;
    if (is_utf16(encoding)) {
        const char* end = s.data() + s.size();
        while (stop < s.size()) {
            const TextUnit u = unit_at(encoding, s.data() + stop, end);
            if (u.code == '0' || u.code == ' ') break;
            units += u.invalid() ? u.size : 1;
            stop += u.size;
        }
        if (stop == 0) return s;
        out.clear();  // the scratch keeps its room: no allocation per record
        for (std::size_t k = 0; k < units; ++k) utf16::append(out, ' ', encoding == Encoding::Utf16Be);
    } else {
        while (stop < s.size() && s[stop] != '0' && s[stop] != ' ') ++stop;
        if (stop == 0) return s;
        // "0" and the blank always start a unit in these encodings.
        out.assign(unit_count(encoding, s.substr(0, stop)), ' ');
    }
    out.append(s.substr(stop));
    return out;
}

// Whether an order (<0, 0, >0) of field and key passes a comparison from "=" to "<>".
bool in_order(int comparison, int order) {
    switch (comparison) {
        case kCompareEqual: return order == 0;
        case kCompareNotEqual: return order != 0;
        case kCompareLessEqual: return order <= 0;
        case kCompareGreaterEqual: return order >= 0;
        case kCompareLess: return order < 0;
        case kCompareGreater: return order > 0;
        default: return true;
    }
}

}  // namespace

void fnc_rec2ary(std::string_view record, const ConditionPlan& plan, FieldList& fields) {
    fields.fields_.clear();
    const auto n = static_cast<std::int64_t>(record.size());
    for (int j = 0; j < plan.cut_rows; ++j) {
        const RowPlan& r = plan.rows[j];
        // The part [start-1, start-1+length) of the record, kept inside it.
        const std::int64_t begin = r.start - 1;
        std::int64_t b = begin < 0 ? 0 : begin;
        std::int64_t e = r.length <= 0 ? begin : (r.length > n - begin ? n : begin + r.length);
        if (b > n) b = n;
        if (e < b) e = b;
        fields.fields_.push_back(record.substr(static_cast<std::size_t>(b), static_cast<std::size_t>(e - b)));
    }
}

std::size_t fnc_csv2ary(std::string_view record, const ConditionPlan& plan, FieldList& fields) {
    fields.csv_.set_tabs_only(plan.tabs_only);
    fields.csv_.set_encoding(plan.encoding);
    const std::size_t n = fields.csv_.split(record, static_cast<std::size_t>(plan.csv_columns));
    if (plan.csv_in_order) {  // rows 1, 2, 3, ... as most patterns have them
        fields.fields_.assign(fields.csv_.fields().begin(), fields.csv_.fields().end());
        return n;
    }
    const auto in_use = static_cast<std::size_t>(plan.rows_in_use);
    fields.fields_.resize(in_use);
    for (std::size_t i = 0; i < in_use; ++i) {
        // Columns below 1 never pass the run's checks.
        const auto column = static_cast<std::uint64_t>(plan.rows[i].start);
        fields.fields_[i] = column - 1 < n ? fields.csv_[static_cast<std::size_t>(column - 1)] : std::string_view{};
    }
    return n;
}

std::string_view convert_field(std::string_view field, int conversion, std::string& scratch, Encoding encoding) {
    switch (conversion) {
        case kConvertTrim: return trim_right(trim_left(field, encoding), encoding);
        case kConvertLtrim: return trim_left(field, encoding);
        case kConvertRtrim: return trim_right(field, encoding);
        case kConvertLeadingBlank: return blank_before_zero(field, scratch, encoding);
        case kConvertNumber: return trim_blanks(field, encoding);
        default: return field;
    }
}

bool compare_number(std::string_view field, int comparison, std::string_view number_key, Encoding encoding,
                    std::string& scratch) {
    if (number_key.empty() || !read_decimal(trim_blanks(field, encoding), encoding, scratch)) return false;
    return in_order(comparison, compare_decimal(scratch, number_key));
}

bool compare_field(std::string_view field, int comparison, std::string_view key, bool key_by_code, Encoding encoding) {
    switch (comparison) {
        case kCompareEqual: return key_by_code ? compare(encoding, field, key) == 0 : field == key;
        case kCompareNotEqual: return key_by_code ? compare(encoding, field, key) != 0 : field != key;
        case kCompareLessEqual:
        case kCompareGreaterEqual:
        case kCompareLess:
        case kCompareGreater: return in_order(comparison, compare(encoding, field, key));
        case kCompareIsNull: return trim_left(field, encoding).empty();
        case kCompareNotNull: return !trim_left(field, encoding).empty();
        default: return true;
    }
}

void fnc_change(const ConditionPlan& plan, FieldList& fields) {
    const auto in_use = static_cast<std::size_t>(plan.rows_in_use);
    if (fields.fields_.size() < in_use) fields.fields_.resize(in_use);  // a row with no field has the empty text
    for (std::size_t i = 0; i < in_use; ++i) {
        const int change = plan.rows[i].change;
        if (change != kConvertNone) fields.fields_[i] = convert_field(fields.fields_[i], change, fields.converted_[i], plan.encoding);
    }
}

int first_failed_row(const ConditionPlan& plan, const FieldList& fields) {
    // The rows combine by conjunction: the first that fails decides.
    for (int i = 0; i < plan.rows_in_use; ++i) {
        const RowPlan& r = plan.rows[i];
        if (r.select == kCompareNone) continue;  // most rows of most runs: no call for them
        const std::string_view field = fields[static_cast<std::size_t>(i)];
        if (r.numeric) {
            if (!compare_number(field, r.select, plan.number_keys[static_cast<std::size_t>(i)], plan.encoding, fields.number_)) return i;
        } else if (!compare_field(field, r.select, r.key, r.key_by_code, plan.encoding)) {
            return i;
        }
    }
    return -1;
}

}  // namespace lintavo
