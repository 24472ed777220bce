#include "engine/output/line_maker.h"

#include <array>
#include <charconv>

namespace lintavo {
namespace {

using Marks = std::array<Needle, kConditionRows + 1>;

Marks make_marks(Encoding e) {
    return {Needle("@0", e), Needle("@1", e), Needle("@2", e), Needle("@3", e),
            Needle("@4", e), Needle("@5", e), Needle("@6", e), Needle("@7", e)};
}

const Marks& marks(Encoding e) {
    static const Marks cp932 = make_marks(Encoding::Cp932);
    static const Marks utf8 = make_marks(Encoding::Utf8);
    static const Marks euc_jp = make_marks(Encoding::EucJp);
    return e == Encoding::Utf8 ? utf8 : e == Encoding::EucJp ? euc_jp : cp932;
}

void replace_first(std::string& line, const Needle& mark, std::string_view by) {
    const std::size_t at = mark.find_in(line);
    if (at != std::string::npos) line.replace(at, mark.bytes().size(), by.data(), by.size());
}

// A quote inside a field is written doubled, so that any CSV reader reads
// the field back as it was. The quote is below 0x40 and so never the second
// byte of a character: a plain byte search finds it.
void append_quoted(std::string_view field, std::string& line) {
    line.push_back('"');
    for (std::size_t at = field.find('"'); at != std::string_view::npos; at = field.find('"')) {
        line.append(field.substr(0, at + 1));
        line.push_back('"');
        field.remove_prefix(at + 1);
    }
    line.append(field);
    line.push_back('"');
}

void join_quoted(const FieldList& fields, int rows_in_use, char separator, std::string& line) {
    for (int i = 0; i < rows_in_use; ++i) {
        if (i > 0) line.push_back(separator);
        append_quoted(fields[static_cast<std::size_t>(i)], line);
    }
}

}  // namespace

void fill_template(std::string_view hinagata, const FieldList& fields, int rows_in_use, std::int64_t write_count,
                   std::string& line, Encoding encoding) {
    const Marks& m = marks(encoding);
    line.assign(hinagata);
    char digits[24];
    const auto r = std::to_chars(digits, digits + sizeof digits, write_count + 1);
    replace_first(line, m[0], std::string_view(digits, static_cast<std::size_t>(r.ptr - digits)));
    for (int i = 0; i < rows_in_use; ++i) replace_first(line, m[i + 1], fields[static_cast<std::size_t>(i)]);
}

std::string_view fnc_makeline(int mode, std::string_view record, const FieldList& fields, int rows_in_use,
                              std::string_view hinagata, std::int64_t write_count, std::string& line,
                              Encoding encoding) {
    line.clear();
    switch (mode) {
        case kWriteJoined:
            for (int i = 0; i < rows_in_use; ++i) line.append(fields[static_cast<std::size_t>(i)]);
            return line;
        case kWriteTemplate:
            fill_template(hinagata, fields, rows_in_use, write_count, line, encoding);
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
