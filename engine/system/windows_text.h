// Text at the border of the Windows API: the program's UTF-8 strings and the
// system's UTF-16 ones.
#pragma once

#include <string>

namespace lintavo::sys {

// UTF-8 to UTF-16. Bytes that are no UTF-8 are read in the ANSI code page
// (code page 932 on a Japanese Windows), as an older program would have
// written them.
std::wstring wide(const std::string& text);
std::string utf8(const std::wstring& text);

}  // namespace lintavo::sys
