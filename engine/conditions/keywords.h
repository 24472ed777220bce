// The keyword filter: whether the record as read contains the keywords.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/conditions/condition_plan.h"

namespace lintavo {

// The first of the non-empty keyword rows that fails (an index into
// plan.keywords), or -1 when all pass: "を含む" rows need their keyword in
// the record, the others need it absent. The whole record is searched,
// unit by unit by code values. The bytes of plan.keywords[row] (row -1 for
// none) are known to occur first at `at`, so that it needs no search when
// they are whole characters there.
int first_failed_keyword(std::string_view record, const ConditionPlan& plan, int row = -1, std::size_t at = 0);

// True when every non-empty keyword row passes.
inline bool fnc_keyword(std::string_view record, const ConditionPlan& plan) { return first_failed_keyword(record, plan) < 0; }

// The keyword test for a run: each keyword's bytes are searched over all
// the input held ahead of the record, not record by record, and the next
// place found is remembered, so most records need no search at all. Only a
// record that holds the bytes is searched character by character.
class KeywordScanner {
public:
    // Forgets what was found (the keywords changed).
    void reset() { cursors_ = {}; }
    // first_failed_keyword for `record`, which starts `ahead` (the input
    // held from the record on); `generation` changes whenever held bytes may move.
    int first_failed(std::string_view record, std::string_view ahead, std::uint64_t generation, const ConditionPlan& plan);

private:
    struct Cursor {
        const char* hit = nullptr;  // next place of the bytes, or the end of `ahead` when none
        std::uint64_t generation = 0;
        bool valid = false;
    };
    std::array<Cursor, kKeywordRows> cursors_{};
};

}  // namespace lintavo
