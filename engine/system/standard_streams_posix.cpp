// The standard streams on POSIX systems.
#include "engine/io/standard_streams.h"

#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

namespace lintavo {

ClosedStreams open_missing_standard_streams() {
    ClosedStreams closed;
    bool* const was_closed[] = {&closed.input, &closed.output, &closed.error};
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        *was_closed[fd] = true;
        // The lowest free number is taken: this one, as those below are open.
        const int got = open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (got >= 0 && got != fd) {
            dup2(got, fd);
            close(got);
        }
    }
    return closed;
}

}  // namespace lintavo
