// RecordPlan: the settings made ready for the records of a run (numbers
// made whole, keywords prepared for searching, what each record needs).
// A plan holds views into the settings it was made from; the run makes a new
// plan whenever the settings change.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/settings.h"
#include "engine/text/text_model.h"

namespace lintavo {

struct RowPlan {
    std::int64_t start = 0;   // 1-based byte position, made whole
    std::int64_t length = 0;  // bytes, made whole
    int select = kCompareNone;
    int change = kConvertNone;
    std::string_view key;
    bool key_by_code = false;  // the key holds duplicate codes: equal bytes do not decide equality
};

struct KeywordPlan {
    Needle needle;
    bool must_contain = true;
};

struct RecordPlan {
    Encoding encoding = Encoding::Cp932;  // of the records and of the texts below
    int type = kTypeText;
    std::int64_t record_length = 0;
    int rows_in_use = 0;  // rows 0 .. rows_in_use-1 take part
    int cut_rows = 0;     // leading rows with a length, cut from TEXT and fixed-length records
    std::array<RowPlan, kConditionRows> rows{};
    std::array<KeywordPlan, kKeywordRows> keywords{};
    int keyword_count = 0;  // keywords[0 .. keyword_count-1] hold the non-empty rows, in row order
    int write_mode = kWriteAsRead;
    std::string_view hinagata;
    bool fields_needed = false;  // some comparison or the write mode looks at the fields
    bool compares = false;       // some row in use has a comparison
};

// The plan for records in `encoding`, whose texts the settings already hold
// in that encoding.
RecordPlan make_plan(const ExtractionSettings& s, Encoding encoding = Encoding::Cp932);

}  // namespace lintavo
