// ConditionPlan: what the column conditions and the keyword filter need of
// the settings, made ready once for many records: the rows in use with
// their numbers made whole, the keywords prepared for searching, and the
// text model of the records. The run makes it (run/record_plan.h); it holds
// views into the settings it was made from.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/settings.h"
#include "engine/text/text_model.h"

namespace lintavo {

struct RowPlan {
    std::int64_t start = 0;   // 1-based byte position (for CSV the column), made whole
    std::int64_t length = 0;  // bytes, made whole
    int select = kCompareNone;
    int change = kConvertNone;
    std::string_view key;
    bool key_by_code = false;  // the key holds duplicate codes: equal bytes do not decide equality
    // "数値" with a comparison from "=" to "<>": field and key compare as
    // numbers (the key read as one is in the plan's number_keys).
    bool numeric = false;
};

struct KeywordPlan {
    Needle needle;
    bool must_contain = true;
    int row = 0;  // the keyword row (0 to 3) it comes from
};

struct ConditionPlan {
    Encoding encoding = Encoding::Cp932;  // of the records and of the texts below
    int rows_in_use = 0;  // rows 0 .. rows_in_use-1 take part
    int cut_rows = 0;     // leading rows with a length, cut from TEXT and fixed-length records
    std::int64_t csv_columns = 0;  // the last CSV column a row in use takes
    bool csv_in_order = true;      // row i takes CSV column i+1, for every row in use
    bool tabs_only = false;        // TSV: only TAB separates columns, a comma is a character
    std::array<RowPlan, kConditionRows> rows{};
    std::array<KeywordPlan, kKeywordRows> keywords{};
    int keyword_count = 0;  // keywords[0 .. keyword_count-1] hold the non-empty rows, in row order
    // The keys of the numeric rows read as numbers (read_decimal), empty
    // when a key is no number (then no field passes).
    std::array<std::string, kConditionRows> number_keys{};
};

}  // namespace lintavo
