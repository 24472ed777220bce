// The line written for a kept record, in the five write modes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/conditions/columns.h"

namespace lintavo {

// Builds the line to write (without its line end) for write mode `mode`:
// 0 (and any other value) the record; 1 the fields of the rows in use
// joined; 2 the template with "@0" and "@1".."@7" replaced; 3 and 4 the
// fields in double quotes (a quote inside one doubled) separated by "," or TAB. The result is the record
// itself or a view into `line`, valid until the next call.
std::string_view fnc_makeline(int mode, std::string_view record, const FieldList& fields, int rows_in_use,
                              std::string_view hinagata, std::int64_t write_count, std::string& line,
                              Encoding encoding = Encoding::Cp932);

// The template with its marks replaced: the first "@0" by write_count + 1,
// then for each row in use the first "@" + (row+1) by the row's field, each
// search over the whole current text, on character boundaries.
void fill_template(std::string_view hinagata, const FieldList& fields, int rows_in_use, std::int64_t write_count,
                   std::string& line, Encoding encoding = Encoding::Cp932);

}  // namespace lintavo
