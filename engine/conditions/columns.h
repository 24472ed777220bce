// Column conditions: cutting a record into the field list, converting the
// fields and comparing them with the rows' comparison values.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/conditions/csv_split.h"
#include "engine/conditions/condition_plan.h"

namespace lintavo {

// The fields of the current record; entry i belongs to condition row i.
// A row with no field reads as the empty text. Entries are views into the
// record or into the list's own buffers, valid until the next record.
class FieldList {
public:
    std::string_view operator[](std::size_t i) const { return i < fields_.size() ? fields_[i] : std::string_view{}; }
    std::size_t size() const { return fields_.size(); }

    std::vector<std::string_view> fields_;
    CsvSplitter csv_;
    std::array<std::string, kConditionRows> converted_;
    mutable std::string number_;  // a field read as a number, for comparing it
};

// Cuts the leading rows that have a length from a TEXT or fixed-length
// record: row j gets the bytes from its start position for its length,
// cut short at the end of the record (a start past the end gives the empty
// text). Positions count bytes, so a part may begin or end inside a
// double-byte character; its bytes are kept as they are.
void fnc_rec2ary(std::string_view record, const ConditionPlan& plan, FieldList& fields);

// Splits a CSV record and gives each row in use the column its start names
// (the empty text for a column past the end of the line); the columns past
// the last one a row takes are not split. Returns the number of columns split.
std::size_t fnc_csv2ary(std::string_view record, const ConditionPlan& plan, FieldList& fields);

// Converts the fields of the rows in use as their rows ask.
void fnc_change(const ConditionPlan& plan, FieldList& fields);

// The first row in use whose comparison fails, or -1 when every row passes.
int first_failed_row(const ConditionPlan& plan, const FieldList& fields);

// True when every row in use passes its comparison.
inline bool fnc_compare(const ConditionPlan& plan, const FieldList& fields) { return first_failed_row(plan, fields) < 0; }

// One field's conversion and one comparison, as the rows apply them.
std::string_view convert_field(std::string_view field, int conversion, std::string& scratch,
                               Encoding encoding = Encoding::Cp932);
bool compare_field(std::string_view field, int comparison, std::string_view key, bool key_by_code,
                   Encoding encoding = Encoding::Cp932);
// A comparison of a "数値" row: the field (its blanks removed) read as a
// number into `scratch` and compared with the row's key read as one; a
// field or key that is not a number fails every comparison.
bool compare_number(std::string_view field, int comparison, std::string_view number_key, Encoding encoding,
                    std::string& scratch);

}  // namespace lintavo
