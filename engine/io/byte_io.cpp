#include "engine/io/byte_io.h"

#include <cerrno>

#include "engine/io/stop_signals.h"
#include "engine/system/files.h"

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
        const long long r = sys::read_some(fileno(f_), buf + got, n - got);
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
        const long long r = sys::write_some(fileno(f_), buf, n);
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
    return sys::truncate(fileno(f_), size);
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

std::unique_ptr<ByteSource> RunFiles::open_input(const std::string& path) {
    const int fd = sys::open_for_reading(path);
    if (fd < 0) return nullptr;
    const sys::Facts facts = sys::facts_of(fd);
    std::FILE* f = facts.kind == sys::Kind::Missing || facts.kind == sys::Kind::Folder ? nullptr : fdopen(fd, "rb");
    if (f == nullptr) {  // a folder opens on some systems but cannot be read
        sys::close(fd);
        return nullptr;
    }
    return std::make_unique<FileSource>(f, true, facts.size);
}

std::unique_ptr<ByteSink> RunFiles::open_output(const std::string& path) {
    in_use_ = false;
    // Opened without emptying it: another run may be writing it, which its
    // lock tells, and then the file is left as it is.
    const int fd = sys::open_for_writing(path);
    if (fd < 0) return nullptr;
    // The lock lasts until the file is closed; a file system without locks
    // is written unlocked.
    if (sys::lock_whole(fd) == sys::Lock::InUse) {
        in_use_ = true;
        sys::close(fd);
        return nullptr;
    }
    const sys::Facts facts = sys::facts_of(fd);
    std::FILE* f = nullptr;
    if (facts.kind != sys::Kind::Missing && (facts.kind != sys::Kind::Regular || sys::truncate(fd, 0))) f = fdopen(fd, "wb");
    if (f == nullptr) {
        sys::close(fd);
        return nullptr;
    }
    return std::make_unique<FileSink>(f, true);
}

bool RunFiles::same_file(const std::string& a, const std::string& b) { return sys::same_file(a, b); }

}  // namespace lintavo
