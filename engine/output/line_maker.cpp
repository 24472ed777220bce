#include "engine/output/line_maker.h"

#include <array>
#include <charconv>

namespace lintavo {
namespace {

using Marks = std::array<Needle, kConditionRows + 1>;

Marks make_marks(Encoding e) {
    Marks m;
    for (int i = 0; i <= kConditionRows; ++i) m[static_cast<std::size_t>(i)] = Needle(ascii_form(e, "@" + std::to_string(i)), e);
    return m;
}

const Marks& marks(Encoding e) {
    static const Marks cp932 = make_marks(Encoding::Cp932);
    static const Marks utf8 = make_marks(Encoding::Utf8);
    static const Marks euc_jp = make_marks(Encoding::EucJp);
    static const Marks utf16le = make_marks(Encoding::Utf16Le);
    static const Marks utf16be = make_marks(Encoding::Utf16Be);
    switch (e) {
        case Encoding::Utf8: return utf8;
        case Encoding::EucJp: return euc_jp;
        case Encoding::Utf16Le: return utf16le;
        case Encoding::Utf16Be: return utf16be;
        case Encoding::Cp932: break;
    }
    return cp932;
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

// The same in UTF-16: the quote is a code unit, found from the field's own
// first byte; a last odd byte is kept as it is.
void append_quoted_utf16(std::string_view field, std::string& line, bool big) {
    const std::string_view quote = big ? std::string_view("\0\"", 2) : std::string_view("\"\0", 2);
    line.append(quote);
    std::size_t i = 0;
    for (; i + 1 < field.size(); i += 2) {
        line.append(field.substr(i, 2));
        if (field.substr(i, 2) == quote) line.append(quote);
    }
    line.append(field.substr(i));
    line.append(quote);
}

void join_quoted(const FieldList& fields, int rows_in_use, char separator, std::string& line, Encoding e) {
    if (is_utf16(e)) {
        const bool big = e == Encoding::Utf16Be;
        for (int i = 0; i < rows_in_use; ++i) {
            if (i > 0) utf16::append(line, static_cast<unsigned char>(separator), big);
            append_quoted_utf16(fields[static_cast<std::size_t>(i)], line, big);
        }
        return;
    }
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
    auto size = static_cast<std::size_t>(r.ptr - digits);
    char wide[2 * sizeof digits];
    if (is_utf16(encoding)) {  // each digit a code unit
        const bool big = encoding == Encoding::Utf16Be;
        for (std::size_t k = 0; k < size; ++k) {
            wide[2 * k + (big ? 0 : 1)] = 0;
            wide[2 * k + (big ? 1 : 0)] = digits[k];
        }
        size *= 2;
    }
    replace_first(line, m[0], std::string_view(is_utf16(encoding) ? wide : digits, size));
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
            join_quoted(fields, rows_in_use, ',', line, encoding);
            return line;
        case kWriteCsvTab:
            join_quoted(fields, rows_in_use, '\t', line, encoding);
            return line;
        default:
            return record;
    }
}

}  // namespace lintavo
