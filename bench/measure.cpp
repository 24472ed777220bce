// Runs one command with its standard output sent to a file and prints its
// wall-clock seconds and the peak resident memory of the largest process
// it ran (a shell pipeline counts its biggest member).
//   measure OUTPUT COMMAND [ARG...]
// Prints "SECONDS PEAK_KIB EXIT_STATUS" on standard error.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: measure OUTPUT COMMAND [ARG...]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("fork");
        return 2;
    }
    if (child == 0) {
        const int fd = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || dup2(fd, 1) < 0) {
            std::perror(argv[1]);
            _exit(127);
        }
        close(fd);
        execvp(argv[2], argv + 2);
        std::perror(argv[2]);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) {
        std::perror("wait4");
        return 2;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);  // includes the members of a pipeline that the shell waited for
    const long peak = usage.ru_maxrss > children.ru_maxrss ? usage.ru_maxrss : children.ru_maxrss;
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    std::fprintf(stderr, "%.4f %ld %d\n", seconds, peak, code);
    return 0;
}
