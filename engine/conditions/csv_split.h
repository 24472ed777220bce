// Splitting one line of a CSV input file into its fields.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/text/text_model.h"

namespace lintavo {

// Splits CSV lines. Both "," and TAB separate fields, anywhere in a line
// (TSV lines: TAB alone, and a comma is an ordinary character);
// a double quote opens a quoted part (leading blanks of the field before
// it are dropped), "" inside quotes is one quote, a closing quote ends the
// quoted part and the blanks after it are skipped; bytes 0x00 to 0x08 are
// dropped; an unclosed quote runs to the end of the line. All these
// characters are below 0x40 and so never the second byte of a character:
// the split works on bytes and keeps every other byte as it is. In UTF-16
// the same rules hold for code units (U+0000 to U+0008 dropped), read from
// the line's first byte; a last odd byte is kept as it is.
//
// Fields are views into the line where they are a plain part of it, and into
// the splitter's own buffer otherwise; they stay valid until the next split.
class CsvSplitter {
public:
    // Splits the line and returns the number of fields, at least 1. With
    // max_fields, stops after that many fields (the fields found are the
    // same as those of a full split).
    std::size_t split(std::string_view line, std::size_t max_fields = static_cast<std::size_t>(-1));
    // TSV: only TAB separates.
    void set_tabs_only(bool on) { comma_ = on ? '\t' : ','; }
    // The lines' encoding: only UTF-16 splits otherwise than on bytes.
    void set_encoding(Encoding e) { wide_ = is_utf16(e) ? (e == Encoding::Utf16Be ? 2 : 1) : 0; }
    std::size_t size() const { return fields_.size(); }
    std::string_view operator[](std::size_t i) const { return fields_[i]; }
    const std::vector<std::string_view>& fields() const { return fields_; }

private:
    std::size_t gathered_field(std::string_view line, std::size_t i);
    std::size_t split_utf16(std::string_view line, std::size_t max_fields);

    std::string buffer_;
    std::vector<std::string_view> fields_;
    char comma_ = ',';  // the separator beside TAB: ',' for CSV, TAB again for TSV
    int wide_ = 0;      // 0 bytes, 1 UTF-16LE, 2 UTF-16BE
};

}  // namespace lintavo
