#include "engine/io/encoding_sniff.h"

#include <cerrno>

#include "engine/system/files.h"

#include "engine/text/euc_jp.h"
#include "engine/text/utf16.h"
#include "engine/text/utf8.h"

namespace lintavo {
namespace {

// True when every unit of head is an EUC-JP character. A sequence cut off
// by the end of head does not count when the file goes on.
bool valid_euc_jp(std::string_view head, bool whole_file) {
    const char* p = head.data();
    const char* end = p + head.size();
    while (p < end) {
        if (static_cast<unsigned char>(*p) < 0x80) {
            ++p;
            continue;
        }
        const euc_jp::Unit u = euc_jp::unit_at(p, end);
        if (u.code >= 0xDC00 && u.code <= 0xDCFF) {
            if (whole_file || !euc_jp::cut_off(p, end)) return false;
            break;
        }
        p += u.size;
    }
    return true;
}

}  // namespace

std::optional<int> sniff_read_code(const std::string& path) {
    // Without waiting: a FIFO chosen by mistake must not hang the window.
    const int fd = sys::open_for_reading(path, true);
    if (fd < 0) return std::nullopt;
    std::string head;
    bool ended = false;
    if (sys::facts_of(fd).kind == sys::Kind::Regular) {
        head.resize(kSniffBytes);
        std::size_t got = 0;
        while (got < head.size()) {
            const long long r = sys::read_some(fd, head.data() + got, head.size() - got);
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
    sys::close(fd);
    // A mark, then UTF-16LE's CR LF at an even offset, then UTF-8, then EUC-JP.
    if (head.starts_with(utf16::kMarkLe) || head.starts_with(utf16::kMarkBe)) return kReadUtf16;
    if (head.starts_with(utf8::kByteOrderMark)) return kReadUtf8;
    const std::string_view crlf("\r\0\n\0", 4);
    for (std::size_t at = head.find(crlf); at != std::string::npos; at = head.find(crlf, at + 1)) {
        if (at % 2 == 0) return kReadUtf16;
    }
    switch (utf8::sniff(head, ended)) {
        case utf8::Sniffed::Utf8: return kReadUtf8;
        case utf8::Sniffed::NotUtf8: return valid_euc_jp(head, ended) ? kReadEucJp : kReadShiftJis;
        case utf8::Sniffed::Unknown: break;
    }
    return std::nullopt;
}

}  // namespace lintavo
