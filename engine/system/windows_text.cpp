#include "engine/system/windows_text.h"

#include <windows.h>

namespace lintavo::sys {

std::wstring wide(const std::string& text) {
    if (text.empty()) return {};
    const int n = static_cast<int>(text.size());
    UINT page = CP_UTF8;
    int size = MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, text.data(), n, nullptr, 0);
    if (size <= 0) {
        page = CP_ACP;
        size = MultiByteToWideChar(page, 0, text.data(), n, nullptr, 0);
    }
    std::wstring w(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) MultiByteToWideChar(page, page == CP_UTF8 ? MB_ERR_INVALID_CHARS : 0, text.data(), n, w.data(), size);
    return w;
}

std::string utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int n = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), n, nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text.data(), n, s.data(), size, nullptr, nullptr);
    return s;
}

}  // namespace lintavo::sys
