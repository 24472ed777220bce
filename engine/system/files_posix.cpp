// The file operations on POSIX systems.
#include "engine/system/files.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lintavo::sys {

namespace {

Facts facts_from(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return {Kind::Regular, static_cast<long long>(st.st_size)};
    return {S_ISDIR(st.st_mode) ? Kind::Folder : Kind::Other, -1};
}

bool same_identity(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// A standard stream on a terminal or a pipe is no file another name could reach.
bool regular(const struct stat& st) { return S_ISREG(st.st_mode); }

bool stat_path(const std::string& path, struct stat& st) { return names_a_file(path) && ::stat(path.c_str(), &st) == 0; }

}  // namespace

int open_for_reading(const std::string& path, bool no_wait) {
    if (!names_a_file(path)) return -1;
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (no_wait ? O_NONBLOCK : 0));
}

int open_for_writing(const std::string& path) {
    if (!names_a_file(path)) return -1;
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
}

int close(int fd) { return ::close(fd); }

Facts facts_of(int fd) {
    struct stat st {};
    return fstat(fd, &st) == 0 ? facts_from(st) : Facts{};
}

Facts facts_of(const std::string& path) {
    struct stat st {};
    return stat_path(path, st) ? facts_from(st) : Facts{};
}

long long read_some(int fd, char* buf, std::size_t n) { return ::read(fd, buf, n); }

long long write_some(int fd, const char* buf, std::size_t n) { return ::write(fd, buf, n); }

bool truncate(int fd, std::uint64_t size) { return ftruncate(fd, static_cast<off_t>(size)) == 0; }

long long write_position(int fd) {
    struct stat st {};
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return -1;
    const int flags = fcntl(fd, F_GETFL);
    // Appending writes at the end, wherever the offset stands.
    if (flags != -1 && (flags & O_APPEND) != 0) return st.st_size;
    return lseek(fd, 0, SEEK_CUR);
}

Lock lock_whole(int fd) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) return Lock::Held;
    return errno == EWOULDBLOCK ? Lock::InUse : Lock::Unsupported;
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa {}, sb {};
    return stat_path(a, sa) && stat_path(b, sb) && same_identity(sa, sb);
}

bool same_file(int fd, const std::string& path) {
    struct stat sa {}, sb {};
    return fstat(fd, &sa) == 0 && regular(sa) && stat_path(path, sb) && same_identity(sa, sb);
}

bool same_file(int a, int b) {
    struct stat sa {}, sb {};
    return fstat(a, &sa) == 0 && regular(sa) && fstat(b, &sb) == 0 && same_identity(sa, sb);
}

const char* find_last(const char* begin, const char* end, char c) {
    return static_cast<const char*>(memrchr(begin, c, static_cast<std::size_t>(end - begin)));
}

}  // namespace lintavo::sys
