// Output lines converted from the read file's encoding into the write
// file's, unit by unit. A unit the write encoding cannot hold is replaced:
// by "〓" in code page 932 and EUC-JP (a character it has no code for, or
// an invalid byte of the input), by U+FFFD in UTF-8 and UTF-16 (an invalid
// byte).
// Between code page 932 and EUC-JP a double-byte character keeps its JIS
// row and cell, and a half-width katakana gains or loses SS2; every other
// unit goes by its code value, in the form code page 932's codec prefers.
// CR and LF are units of their own in every encoding, so whole blocks of
// lines convert as the lines do.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/text/text_model.h"

namespace lintavo {

struct Utf8Forms;

class Transcoder {
public:
    Transcoder(Encoding from, Encoding to) : from_(from), to_(to) {}

    // The bytes converted, in the transcoder's own buffer until the next call.
    std::string_view convert(std::string_view in);
    // The units the last call replaced, and the byte offset in its input of
    // the first of them (std::string_view::npos when none).
    std::size_t replaced() const { return replaced_; }
    std::size_t first_replaced() const { return first_; }

private:
    char* cp932_by_forms(const Utf8Forms& forms, const char* p, const char* end, char* o);
    char* utf8_to_cp932(const char* p, const char* end, char* o);
    char* euc_jp_to_cp932(const char* p, const char* end, char* o);
    char* euc_jp_to_utf8(const char* p, const char* end, char* o);
    char* utf8_to_euc_jp(const char* p, const char* end, char* o);
    char* by_code(const char* p, const char* end, char* o);
    char* replace(char* o, std::size_t offset, std::size_t bytes = 1);
    void note_replacement(std::size_t offset) {
        if (replaced_++ == 0) first_ = offset;
    }

    Encoding from_;
    Encoding to_;
    std::string buf_;
    std::size_t replaced_ = 0;
    std::size_t first_ = std::string_view::npos;
};

}  // namespace lintavo
