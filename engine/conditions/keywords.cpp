#include "engine/conditions/keywords.h"

#include "engine/text/byte_scan.h"

namespace lintavo {

int first_failed_keyword(std::string_view record, const ConditionPlan& plan, int row, std::size_t at) {
    for (int j = 0; j < plan.keyword_count; ++j) {
        const KeywordPlan& k = plan.keywords[j];
        const bool known = j == row && k.needle.whole_at(record, at);
        const bool found = known || k.needle.find_in(record) != std::string_view::npos;
        if (found != k.must_contain) return j;
    }
    return -1;
}

int KeywordScanner::first_failed(std::string_view record, std::string_view ahead, std::uint64_t generation,
                                 const ConditionPlan& plan) {
    // A keyword passed over for a record keeps its next place: the next
    // record that asks for it searches again from where that record starts.
    const char* const begin = record.data();
    const char* const end = begin + record.size();
    for (int j = 0; j < plan.keyword_count; ++j) {
        const KeywordPlan& k = plan.keywords[j];
        bool found;
        if (k.needle.by_code()) {
            found = k.needle.find_in(record) != std::string_view::npos;
        } else {
            const std::string_view bytes = k.needle.bytes();
            Cursor& c = cursors_[j];
            if (!c.valid || c.generation != generation || c.hit < begin) {
                const char* hit = scan::find(begin, begin + ahead.size(), bytes);
                c.hit = hit != nullptr ? hit : begin + ahead.size();
                c.generation = generation;
                c.valid = true;
            }
            // The bytes lie within the record: check that they are whole characters there.
            found = c.hit + bytes.size() <= end && (k.needle.whole_at(record, static_cast<std::size_t>(c.hit - begin)) ||
                                                    k.needle.find_in(record, 0) != std::string_view::npos);
        }
        if (found != k.must_contain) return j;
    }
    return -1;
}

}  // namespace lintavo
