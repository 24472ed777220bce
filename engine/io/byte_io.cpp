#include "engine/io/byte_io.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/io/stop_signals.h"

namespace lintavo {

FileSource::FileSource(std::FILE* f, bool owned, long long size) : f_(f), owned_(owned), size_(size) {
    std::setvbuf(f_, nullptr, _IONBF, 0);  // the reader has its own large buffer
}

FileSource::~FileSource() {
    if (owned_) std::fclose(f_);
}

long long FileSource::read(char* buf, std::size_t n) {
    // Reads until n bytes or the end, as a large read of a file would; a
    // pipe hands out what it has. A stop signal ends a read that waits.
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::read(fileno(f_), buf + got, n - got);
        if (r > 0) {
            got += static_cast<std::size_t>(r);
            if (size_ < 0) break;  // not a regular file: hand out what came
            continue;
        }
        if (r == 0) break;
        if (errno == EINTR) {
            if (stop_signals::received() != 0) break;
            continue;
        }
        if (got == 0) return -1;
        break;  // the failure shows again at the next read
    }
    return static_cast<long long>(got);
}

FileSink::FileSink(std::FILE* f, bool owned) : f_(f), owned_(owned) {
    std::setvbuf(f_, nullptr, _IONBF, 0);  // the writer has its own large buffer
}

FileSink::~FileSink() {
    if (owned_ && f_ != nullptr) std::fclose(f_);
}

bool FileSink::write(const char* buf, std::size_t n) {
    if (errno_ != 0) return false;
    while (n > 0) {
        const ssize_t r = ::write(fileno(f_), buf, n);
        if (r > 0) {
            buf += r;
            n -= static_cast<std::size_t>(r);
            continue;
        }
        // A write that waits on a reader goes on after a signal, unless
        // the signal asked for a stop.
        if (r < 0 && errno == EINTR && stop_signals::received() == 0) continue;
        errno_ = r < 0 ? errno : EIO;
        return false;
    }
    return true;
}

bool FileSink::truncate(std::uint64_t size) {
    if (!owned_ || f_ == nullptr) return false;
    return ftruncate(fileno(f_), static_cast<off_t>(size)) == 0;
}

bool FileSink::close() {
    bool ok = errno_ == 0;
    errno = 0;
    if (owned_) {
        const int r = std::fclose(f_);
        f_ = nullptr;
        if (r != 0 && ok) {
            errno_ = errno != 0 ? errno : EIO;
            ok = false;
        }
    } else if (std::fflush(f_) != 0 && ok) {
        errno_ = errno != 0 ? errno : EIO;
        ok = false;
    }
    return ok;
}

namespace {

// A NUL byte ends a name for the system; a path holding one names no file.
bool names_a_file(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

}  // namespace

std::unique_ptr<ByteSource> RunFiles::open_input(const std::string& path) {
    if (!names_a_file(path)) return nullptr;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat st {};
    if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {  // a folder opens but cannot be read
        ::close(fd);
        return nullptr;
    }
    std::FILE* f = fdopen(fd, "rb");
    if (f == nullptr) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FileSource>(f, true, S_ISREG(st.st_mode) ? static_cast<long long>(st.st_size) : -1);
}

std::unique_ptr<ByteSink> RunFiles::open_output(const std::string& path) {
    in_use_ = false;
    if (!names_a_file(path)) return nullptr;
    // Opened without emptying it: another run may be writing it, which its
    // lock tells, and then the file is left as it is.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    // The lock lasts until the file is closed; a file system without locks
    // is written unlocked.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        in_use_ = true;
        ::close(fd);
        return nullptr;
    }
    struct stat st {};
    std::FILE* f = nullptr;
    if (fstat(fd, &st) == 0 && (!S_ISREG(st.st_mode) || ftruncate(fd, 0) == 0)) f = fdopen(fd, "wb");
    if (f == nullptr) {
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<FileSink>(f, true);
}

bool RunFiles::same_file(const std::string& a, const std::string& b) {
    if (!names_a_file(a) || !names_a_file(b)) return false;
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return !ec && same;
}

}  // namespace lintavo
