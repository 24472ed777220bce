// CSV splitting on arbitrary lines: the first byte says how many columns
// the rows in use ask for (0 for all), the rest is the line. There is
// always at least one field, each row in use holds its column (the empty
// text past the line's end), a split stopped early gives the first fields of
// the full split, and a line without quotes and dropped bytes is its fields
// joined by its separators.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/conditions/columns.h"
#include "engine/conditions/csv_split.h"
#include "engine/conditions/condition_plan.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const int rows = data[0] % (lintavo::kConditionRows + 1);
    const std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);

    // CSV or TSV, as the next bit says.
    const bool tabs_only = (data[0] / (2 * (lintavo::kConditionRows + 1))) % 2 == 1;
    lintavo::CsvSplitter full;
    full.set_tabs_only(tabs_only);
    const std::size_t n = full.split(line);
    if (n < 1 || n != full.size()) std::abort();
    const std::vector<std::string> all(full.fields().begin(), full.fields().end());

    lintavo::ConditionPlan plan;
    plan.rows_in_use = rows;
    plan.csv_columns = rows;
    plan.csv_in_order = (data[0] / (lintavo::kConditionRows + 1)) % 2 == 0;  // both ways of giving out the columns
    plan.tabs_only = tabs_only;
    for (int i = 0; i < rows; ++i) plan.rows[static_cast<std::size_t>(i)].start = i + 1;
    lintavo::FieldList fields;
    const std::size_t got = lintavo::fnc_csv2ary(line, plan, fields);
    const std::size_t want = rows == 0 ? 1 : std::min<std::size_t>(n, static_cast<std::size_t>(rows));
    if (got < 1 || got != want) std::abort();
    for (std::size_t i = 0; i < static_cast<std::size_t>(rows); ++i) {
        if (fields[i] != (i < got ? std::string_view(all[i]) : std::string_view())) std::abort();
    }

    const bool plain = std::none_of(line.begin(), line.end(), [](char c) { return c == '"' || static_cast<unsigned char>(c) < 0x09; });
    if (plain) {
        std::string joined = all[0];
        std::size_t at = all[0].size();
        for (std::size_t i = 1; i < all.size(); ++i) {
            joined += line[at];  // the separator that ended the field before
            joined += all[i];
            at += 1 + all[i].size();
        }
        if (joined != line) std::abort();
    }
    return 0;
}
