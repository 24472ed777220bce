// RecordPlan: the settings made ready for the records of a run: the
// conditions' plan, and what the run itself needs (the layout of the
// records, the write mode, what each record needs). A plan holds views into
// the settings it was made from; the run makes a new plan whenever the
// settings change.
#pragma once

#include <cstdint>
#include <string_view>

#include "engine/conditions/condition_plan.h"
#include "engine/settings.h"

namespace lintavo {

struct RecordPlan : ConditionPlan {
    int type = kTypeText;
    std::int64_t record_length = 0;
    int write_mode = kWriteAsRead;
    std::string_view hinagata;
    bool fields_needed = false;  // some comparison or the write mode looks at the fields
    bool compares = false;       // some row in use has a comparison
    bool header = false;         // the first record is a header line (TEXT and CSV only)
};

// The plan for records in `encoding`, whose texts the settings already hold
// in that encoding.
RecordPlan make_plan(const ExtractionSettings& s, Encoding encoding = Encoding::Cp932);

}  // namespace lintavo
