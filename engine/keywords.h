// The keyword filter: whether the record as read contains the keywords.
#pragma once

#include <string_view>

#include "engine/record_plan.h"

namespace lintavo {

// True when every non-empty keyword row passes: "を含む" rows need their
// keyword in the record, the others need it absent. The whole record is
// searched, unit by unit by code values.
inline bool fnc_keyword(std::string_view record, const RecordPlan& plan) {
    bool pass = true;
    for (int j = 0; j < plan.keyword_count; ++j) {
        const KeywordPlan& k = plan.keywords[j];
        const bool found = k.needle.find_in(record) != std::string_view::npos;
        if (found != k.must_contain) pass = false;
    }
    return pass;
}

}  // namespace lintavo
