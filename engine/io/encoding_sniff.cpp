#include "engine/io/encoding_sniff.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/text/utf8.h"

namespace lintavo {

std::optional<int> sniff_read_code(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
    // Non-blocking: a FIFO chosen by mistake must not hang the window.
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    std::string head;
    bool ended = false;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        head.resize(kSniffBytes);
        std::size_t got = 0;
        while (got < head.size()) {
            const ssize_t r = read(fd, head.data() + got, head.size() - got);
            if (r < 0 && errno == EINTR) continue;
            if (r <= 0) {
                ended = r == 0;
                if (r < 0) got = 0;  // a file that cannot be read says nothing
                break;
            }
            got += static_cast<std::size_t>(r);
        }
        head.resize(got);
    }
    close(fd);
    switch (utf8::sniff(head, ended)) {
        case utf8::Sniffed::Utf8: return kReadUtf8;
        case utf8::Sniffed::NotUtf8: return kReadShiftJis;
        case utf8::Sniffed::Unknown: break;
    }
    return std::nullopt;
}

}  // namespace lintavo
