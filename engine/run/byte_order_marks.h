// Byte order marks: the one a file read begins with, which belongs to no
// record (and for UTF-16 gives the byte order), and the one written first.
// Only UTF-8 and UTF-16 files have a mark; EF BB BF at the start of a code
// page 932 or EUC-JP file are data.
#pragma once

#include <string_view>

#include "engine/io/record_reader.h"
#include "engine/text/text_model.h"

namespace lintavo {

struct InputMark {
    Encoding encoding;       // the read encoding; UTF-16 in the byte order of its mark
    std::string_view bytes;  // the mark the file began with, or empty
};

// Before the first record: skips the mark of a UTF-8 or UTF-16 file. A
// UTF-16 file without one is read as little-endian.
InputMark skip_mark(RecordReader& reader, Encoding read);

// What the output begins with: FF FE for "UTF-16LE (BOM付き)", EF BB BF for
// "UTF-8 (BOM付き)", the file's own mark for "読込みと同じ", else nothing.
std::string_view output_mark(int write_code, const InputMark& mark);

}  // namespace lintavo
