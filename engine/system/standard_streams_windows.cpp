// The standard streams on Windows: binary mode on all three, so that no
// byte is changed on its way (CR LF kept, Ctrl-Z read as a byte, LF written
// as LF), and NUL on each one the program was started without.
#include "engine/io/standard_streams.h"

#include <cstdio>

#include <windows.h>
#include <fcntl.h>
#include <io.h>

namespace lintavo {

ClosedStreams open_missing_standard_streams() {
    ClosedStreams closed;
    bool* const was_closed[] = {&closed.input, &closed.output, &closed.error};
    std::FILE* const streams[] = {stdin, stdout, stderr};
    for (int fd = 0; fd <= 2; ++fd) {
        const intptr_t h = _get_osfhandle(fd);
        if (h == -1 || h == -2 || h == 0) {  // -2: a GUI start gave the stream no handle
            *was_closed[fd] = true;
            if (std::freopen("NUL", fd == 0 ? "rb" : "wb", streams[fd]) == nullptr) continue;
        }
        _setmode(fd, _O_BINARY);
    }
    return closed;
}

}  // namespace lintavo
