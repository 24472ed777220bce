// Output lines converted from the read file's encoding into the write
// file's, unit by unit. A unit the write encoding cannot hold is replaced:
// by "〓" in code page 932 (a character it has no code for, or a byte of a
// UTF-8 input outside any valid sequence), by U+FFFD in UTF-8 (an invalid
// byte of a code page 932 input). Characters with two codes in code page
// 932 are written in their preferred form. CR and LF are units of their
// own in both encodings, so whole blocks of lines convert as the lines do.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/text/text_model.h"

namespace lintavo {

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
    char* cp932_to_utf8(const char* p, const char* end, char* o);
    char* utf8_to_cp932(const char* p, const char* end, char* o);
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
