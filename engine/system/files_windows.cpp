// The file operations on Windows: wide-character names, binary mode,
// LockFileEx, file identity by volume and file index.
#include "engine/system/files.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "engine/system/windows_text.h"

namespace lintavo::sys {

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr std::size_t kLargestCall = std::size_t{1} << 30;  // ReadFile and WriteFile take a DWORD

HANDLE handle_of(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

int descriptor_of(HANDLE h, int flags) {
    if (h == INVALID_HANDLE_VALUE) return -1;
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(h), flags | _O_BINARY);
    if (fd < 0) CloseHandle(h);
    return fd;
}

Facts facts_from(HANDLE h) {
    if (h == INVALID_HANDLE_VALUE || h == nullptr) return {};
    if (GetFileType(h) != FILE_TYPE_DISK) return {Kind::Other, -1};
    FILE_STANDARD_INFO info{};
    if (!GetFileInformationByHandleEx(h, FileStandardInfo, &info, sizeof info)) return {};
    if (info.Directory) return {Kind::Folder, -1};
    return {Kind::Regular, static_cast<long long>(info.EndOfFile.QuadPart)};
}

// A handle that only asks about the file (folders open too); closed by its owner.
class Probe {
public:
    explicit Probe(const std::string& path)
        : h_(names_a_file(path) ? CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr)
                                : INVALID_HANDLE_VALUE) {}
    ~Probe() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    Probe(const Probe&) = delete;
    Probe& operator=(const Probe&) = delete;
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

// A file's volume and its 128-bit id on it; the older 64-bit index where a
// file system gives no such id. A volume of 0 is taken as any volume: wine
// tells none for standard streams, and two files of one id on two volumes
// taken for one only refuse a run, never harm a file.
struct Identity {
    unsigned long long volume = 0;
    unsigned char id[16] = {};
    bool operator==(const Identity& o) const {
        return (volume == o.volume || volume == 0 || o.volume == 0) && std::memcmp(id, o.id, sizeof id) == 0;
    }
};

bool identity_of(HANDLE h, bool regular_only, Identity& id) {
    if (h == INVALID_HANDLE_VALUE || h == nullptr) return false;
    if (regular_only && facts_from(h).kind != Kind::Regular) return false;
    FILE_ID_INFO file_id{};
    if (GetFileInformationByHandleEx(h, FileIdInfo, &file_id, sizeof file_id)) {
        id.volume = file_id.VolumeSerialNumber;
        std::memcpy(id.id, &file_id.FileId, sizeof id.id);
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return false;
    id.volume = info.dwVolumeSerialNumber;
    std::memcpy(id.id, &info.nFileIndexLow, sizeof info.nFileIndexLow);
    std::memcpy(id.id + 4, &info.nFileIndexHigh, sizeof info.nFileIndexHigh);
    return true;
}

void set_errno_from_last_error() {
    switch (GetLastError()) {
        case ERROR_BROKEN_PIPE:
        case ERROR_NO_DATA:
        case ERROR_PIPE_NOT_CONNECTED: errno = EPIPE; break;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: errno = ENOSPC; break;
        case ERROR_OPERATION_ABORTED: errno = EINTR; break;  // a stop request cancelled the wait
        case ERROR_ACCESS_DENIED:
        case ERROR_LOCK_VIOLATION: errno = EACCES; break;
        default: errno = EIO; break;
    }
}

}  // namespace

int open_for_reading(const std::string& path, bool /*no_wait*/) {
    if (!names_a_file(path)) return -1;
    // A folder does not open without FILE_FLAG_BACKUP_SEMANTICS, as it should not.
    return descriptor_of(CreateFileW(wide(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr),
                         _O_RDONLY);
}

int open_for_writing(const std::string& path) {
    if (!names_a_file(path)) return -1;
    return descriptor_of(CreateFileW(wide(path).c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr),
                         _O_WRONLY);
}

int close(int fd) { return ::_close(fd); }

Facts facts_of(int fd) { return facts_from(handle_of(fd)); }

Facts facts_of(const std::string& path) {
    const Probe probe(path);
    return facts_from(probe.get());
}

long long read_some(int fd, char* buf, std::size_t n) {
    DWORD got = 0;
    if (ReadFile(handle_of(fd), buf, static_cast<DWORD>(std::min(n, kLargestCall)), &got, nullptr)) return got;
    const DWORD e = GetLastError();
    if (e == ERROR_BROKEN_PIPE || e == ERROR_HANDLE_EOF) return 0;  // the writer closed its end
    set_errno_from_last_error();
    return -1;
}

long long write_some(int fd, const char* buf, std::size_t n) {
    DWORD put = 0;
    if (WriteFile(handle_of(fd), buf, static_cast<DWORD>(std::min(n, kLargestCall)), &put, nullptr)) return put;
    set_errno_from_last_error();
    return -1;
}

bool truncate(int fd, std::uint64_t size) { return _chsize_s(fd, static_cast<long long>(size)) == 0; }

long long write_position(int fd) {
    const HANDLE h = handle_of(fd);
    if (facts_from(h).kind != Kind::Regular) return -1;
    LARGE_INTEGER zero{}, at{};
    return SetFilePointerEx(h, zero, &at, FILE_CURRENT) ? static_cast<long long>(at.QuadPart) : -1;
}

Lock lock_whole(int fd) {
    OVERLAPPED from_start{};
    if (LockFileEx(handle_of(fd), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &from_start)) {
        return Lock::Held;
    }
    return GetLastError() == ERROR_LOCK_VIOLATION ? Lock::InUse : Lock::Unsupported;
}

bool same_file(const std::string& a, const std::string& b) {
    const Probe pa(a), pb(b);
    Identity ia, ib;
    return identity_of(pa.get(), false, ia) && identity_of(pb.get(), false, ib) && ia == ib;
}

bool same_file(int fd, const std::string& path) {
    const Probe pb(path);
    Identity ia, ib;
    return identity_of(handle_of(fd), true, ia) && identity_of(pb.get(), false, ib) && ia == ib;
}

bool same_file(int a, int b) {
    Identity ia, ib;
    return identity_of(handle_of(a), true, ia) && identity_of(handle_of(b), false, ib) && ia == ib;
}

const char* find_last(const char* begin, const char* end, char c) {
    while (end != begin) {
        if (*--end == c) return end;
    }
    return nullptr;
}

}  // namespace lintavo::sys
