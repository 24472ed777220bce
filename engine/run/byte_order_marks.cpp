#include "engine/run/byte_order_marks.h"

#include "engine/settings.h"

namespace lintavo {

InputMark skip_mark(RecordReader& reader, Encoding read) {
    if (read == Encoding::Utf8) {
        const bool marked = reader.skip_prefix(utf8::kByteOrderMark);
        return {read, marked ? utf8::kByteOrderMark : std::string_view{}};
    }
    if (!is_utf16(read)) return {read, {}};
    if (reader.skip_prefix(utf16::kMarkLe)) return {Encoding::Utf16Le, utf16::kMarkLe};
    if (reader.skip_prefix(utf16::kMarkBe)) return {Encoding::Utf16Be, utf16::kMarkBe};
    return {Encoding::Utf16Le, {}};
}

std::string_view output_mark(int write_code, const InputMark& mark) {
    switch (write_code) {
        case kWriteSameCode: return mark.bytes;
        case kWriteUtf8Bom: return utf8::kByteOrderMark;
        case kWriteUtf16LeBom: return utf16::kMarkLe;
        default: return {};
    }
}

}  // namespace lintavo
