#include "engine/byte_io.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

#include <unistd.h>

namespace lintavo {

FileSource::FileSource(std::FILE* f, bool owned, long long size) : f_(f), owned_(owned), size_(size) {
    std::setvbuf(f_, nullptr, _IONBF, 0);  // the reader has its own large buffer
}

FileSource::~FileSource() {
    if (owned_) std::fclose(f_);
}

long long FileSource::read(char* buf, std::size_t n) {
    const std::size_t got = std::fread(buf, 1, n, f_);
    if (got == 0 && std::ferror(f_)) return -1;
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
    errno = 0;
    if (std::fwrite(buf, 1, n, f_) != n) {
        errno_ = errno != 0 ? errno : EIO;
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

std::unique_ptr<ByteSource> RunFiles::open_input(const std::string& path) {
    std::error_code ec;
    const auto st = std::filesystem::status(path, ec);
    if (ec || std::filesystem::is_directory(st)) return nullptr;  // a folder opens but cannot be read
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return nullptr;
    long long size = -1;
    if (std::filesystem::is_regular_file(st)) size = static_cast<long long>(std::filesystem::file_size(path, ec));
    return std::make_unique<FileSource>(f, true, ec ? -1 : size);
}

std::unique_ptr<ByteSink> RunFiles::open_output(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return nullptr;
    return std::make_unique<FileSink>(f, true);
}

bool RunFiles::same_file(const std::string& a, const std::string& b) {
    std::error_code ec;
    const bool same = std::filesystem::equivalent(a, b, ec);
    return !ec && same;
}

}  // namespace lintavo
