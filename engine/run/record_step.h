// One record's way through the conditions to the line it is written as: cut
// or split into its fields, converted, compared, searched for the keywords,
// made into the line. The record pass and the preview both take these
// steps, so that what the preview shows is what the run does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/conditions/columns.h"
#include "engine/output/line_maker.h"
#include "engine/run/record_plan.h"

namespace lintavo {

// What the tests decided on a record: kept, or held back by the first test
// that failed in the run's order (condition rows first, then keyword rows).
struct Verdict {
    int failed_row = -1;      // the condition row (0 to 6) that failed
    int failed_keyword = -1;  // else the keyword row (0 to 3) that failed
    bool kept() const { return failed_row < 0 && failed_keyword < 0; }
};

class RecordStep {
public:
    // Cuts (TEXT, fixed length) or splits (CSV) the record into its fields
    // and converts them.
    void cut(std::string_view record, const RecordPlan& plan) {
        if (splits_columns(plan.type)) fnc_csv2ary(record, plan, fields_);
        else fnc_rec2ary(record, plan, fields_);
        fnc_change(plan, fields_);
    }

    // The verdict on a record whose fields are cut where the comparisons
    // need them. `first_failed_keyword()` gives the first keyword that fails
    // (an index into plan.keywords) or -1; it is asked only when every
    // condition row passed.
    template <typename KeywordTest>
    Verdict test(const RecordPlan& plan, KeywordTest&& first_failed_keyword) const {
        Verdict v;
        if (plan.compares) v.failed_row = first_failed_row(plan, fields_);
        if (v.failed_row < 0 && plan.keyword_count > 0) {
            const int k = first_failed_keyword();
            if (k >= 0) v.failed_keyword = plan.keywords[k].row;
        }
        return v;
    }

    // The line to write for the record (without its line end), valid until the
    // next call; `write_count` is the number of lines written before it.
    std::string_view line(std::string_view record, const RecordPlan& plan, std::int64_t write_count) {
        return fnc_makeline(plan.write_mode, record, fields_, plan.rows_in_use, plan.hinagata, write_count, line_,
                            plan.encoding);
    }

    const FieldList& fields() const { return fields_; }

private:
    FieldList fields_;
    std::string line_;
};

}  // namespace lintavo
