// The keyword filter: whether the record as read contains the keywords.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "engine/conditions/condition_plan.h"

namespace lintavo {

// fnc_keyword for a record in which the bytes of keyword row `row` (an
// index into plan.keywords, or -1 for none) are known to occur first at
// `at`, so that the row needs no search when they are whole characters there.
bool fnc_keyword_at(std::string_view record, const ConditionPlan& plan, int row, std::size_t at);

// True when every non-empty keyword row passes: "を含む" rows need their
// keyword in the record, the others need it absent. The whole record is
// searched, unit by unit by code values.
inline bool fnc_keyword(std::string_view record, const ConditionPlan& plan) { return fnc_keyword_at(record, plan, -1, 0); }

// The keyword test for a run: each keyword's bytes are searched over all
// the input held ahead of the record, not record by record, and the next
// place found is remembered, so most records need no search at all. Only a
// record that holds the bytes is searched character by character.
class KeywordScanner {
public:
    // Forgets what was found (the keywords changed).
    void reset() { cursors_ = {}; }
    // fnc_keyword for `record`, which starts `ahead` (the input held from
    // the record on); `generation` changes whenever held bytes may move.
    bool pass(std::string_view record, std::string_view ahead, std::uint64_t generation, const ConditionPlan& plan);

private:
    struct Cursor {
        const char* hit = nullptr;  // next place of the bytes, or the end of `ahead` when none
        std::uint64_t generation = 0;
        bool valid = false;
    };
    std::array<Cursor, kKeywordRows> cursors_{};
};

}  // namespace lintavo
