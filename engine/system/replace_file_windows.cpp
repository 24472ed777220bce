// Replacing a file on Windows: a new file in the same folder, flushed, then
// ReplaceFileW (which keeps the old file's attributes and security), or
// MoveFileExW for a new file.
#include "engine/system/files.h"

#include <random>

#include <windows.h>

#include "engine/io/stop_signals.h"
#include "engine/system/temporary_name.h"
#include "engine/system/windows_text.h"

namespace lintavo::sys {
namespace {

// The folder part of a path, with its separator: "C:\a\", "C:", "\\server\share\", or "".
std::string folder_prefix(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    if (slash != std::string::npos) return path.substr(0, slash + 1);
    if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
    return {};
}

bool write_all(HANDLE h, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD put = 0;
        const DWORD n = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), std::size_t{1} << 30));
        if (!WriteFile(h, bytes.data(), n, &put, nullptr) || put == 0) return false;
        bytes.remove_prefix(put);
    }
    return true;
}

// The user could write the existing file in place (not read-only, not
// denied, not held open by a program that shares no writing).
bool writable_in_place(const std::wstring& path) {
    const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes) {
    if (!names_a_file(path)) return false;
    const std::wstring target = wide(path);
    const DWORD attributes = GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    if (exists && (facts_of(path).kind != Kind::Regular || !writable_in_place(target))) return false;

    const std::string folder = folder_prefix(path);
    std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = temporary_name(folder, random);
        const std::wstring wtemp = wide(temp);
        stop_signals::TemporaryFile removed_on_signal(temp);
        const HANDLE h = CreateFileW(wtemp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            removed_on_signal.release();
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return false;
        }
        bool ok = write_all(h, bytes) && FlushFileBuffers(h);
        ok = CloseHandle(h) && ok;
        if (ok && exists) {
            // ReplaceFileW fails on some shares and file systems; a plain
            // replacing move is the way there.
            ok = ReplaceFileW(target.c_str(), wtemp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) ||
                 MoveFileExW(wtemp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
        } else if (ok) {
            ok = MoveFileExW(wtemp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH);
        }
        if (!ok) DeleteFileW(wtemp.c_str());
        removed_on_signal.release();
        return ok;
    }
    return false;
}

}  // namespace lintavo::sys
