#include "engine/line_maker.h"

#include <array>
#include <charconv>

#include "engine/cp932.h"

namespace lintavo {
namespace {

const std::array<cp932::Needle, kConditionRows + 1>& marks() {
    static const std::array<cp932::Needle, kConditionRows + 1> m = {
        cp932::Needle("@0"), cp932::Needle("@1"), cp932::Needle("@2"), cp932::Needle("@3"),
        cp932::Needle("@4"), cp932::Needle("@5"), cp932::Needle("@6"), cp932::Needle("@7")};
    return m;
}

void replace_first(std::string& line, const cp932::Needle& mark, std::string_view by) {
    const std::size_t at = mark.find_in(line);
    if (at != std::string::npos) line.replace(at, mark.bytes().size(), by.data(), by.size());
}

void join_quoted(const FieldList& fields, int rows_in_use, char separator, std::string& line) {
    for (int i = 0; i < rows_in_use; ++i) {
        if (i > 0) line.push_back(separator);
        line.push_back('"');
        line.append(fields[static_cast<std::size_t>(i)]);
        line.push_back('"');
    }
}

}  // namespace

void fill_template(std::string_view hinagata, const FieldList& fields, int rows_in_use, std::int64_t write_count,
                   std::string& line) {
    line.assign(hinagata);
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, write_count + 1);
    replace_first(line, marks()[0], std::string_view(digits, static_cast<std::size_t>(r.ptr - digits)));
    for (int i = 0; i < rows_in_use; ++i) replace_first(line, marks()[i + 1], fields[static_cast<std::size_t>(i)]);
}

std::string_view fnc_makeline(int mode, std::string_view record, const FieldList& fields, int rows_in_use,
                              std::string_view hinagata, std::int64_t write_count, std::string& line) {
    line.clear();
    switch (mode) {
        case kWriteJoined:
            for (int i = 0; i < rows_in_use; ++i) line.append(fields[static_cast<std::size_t>(i)]);
            return line;
        case kWriteTemplate:
            fill_template(hinagata, fields, rows_in_use, write_count, line);
            return line;
        case kWriteCsvComma:
            join_quoted(fields, rows_in_use, ',', line);
            return line;
        case kWriteCsvTab:
            join_quoted(fields, rows_in_use, '\t', line);
            return line;
        default:
            return record;
    }
}

}  // namespace lintavo
