// Replacing a file on POSIX systems: a new file renamed over the old one.
#include "engine/system/files.h"

#include <cerrno>
#include <optional>
#include <random>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/io/stop_signals.h"
#include "engine/system/temporary_name.h"

namespace lintavo::sys {
namespace {

constexpr int kMostLinks = 40;  // as the system follows at most

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// A link in a sticky folder that everyone may write is followed only when
// the user or the folder's owner owns it: there anyone could have planted it.
bool may_follow(const struct stat& link, const std::string& folder) {
    struct stat dir {};
    if (stat(folder.c_str(), &dir) != 0) return false;
    const bool shared = (dir.st_mode & S_ISVTX) != 0 && (dir.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == geteuid() || link.st_uid == dir.st_uid;
}

// The path of the file that the links at `path` lead to (the path itself
// when it is no link), or nothing when a link may not be followed.
std::optional<std::string> final_path(std::string path) {
    for (int hops = 0; hops <= kMostLinks; ++hops) {
        struct stat st {};
        if (lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) return path;  // a new file (a dangling link creates its target)
            return std::nullopt;
        }
        if (!S_ISLNK(st.st_mode)) return path;
        const std::string folder = folder_of(path);
        if (!may_follow(st, folder)) return std::nullopt;
        std::string target(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
        const ssize_t n = readlink(path.c_str(), target.data(), target.size());
        if (n <= 0 || static_cast<std::size_t>(n) >= target.size()) return std::nullopt;
        target.resize(static_cast<std::size_t>(n));
        path = target.front() == '/' ? target : folder + "/" + target;
    }
    return std::nullopt;
}

bool write_all(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// The new file's owner, group and mode from the old file, set before any
// byte is written, so that nobody reads it who could not read the old one.
bool take_over(int fd, const struct stat& old) {
    struct stat now {};
    if (fstat(fd, &now) != 0) return false;
    if ((now.st_uid != old.st_uid || now.st_gid != old.st_gid) && fchown(fd, old.st_uid, old.st_gid) != 0) return false;
    return fchmod(fd, old.st_mode & 07777) == 0;  // after the owner: a change of owner clears set-id bits
}

void sync_folder(const std::string& folder) {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return;
    fsync(dir);
    ::close(dir);
}

}  // namespace

bool replace_file(const std::string& path, std::string_view bytes) {
    if (!names_a_file(path)) return false;
    const std::optional<std::string> target = final_path(path);
    if (!target) return false;
    struct stat old {};
    const bool exists = lstat(target->c_str(), &old) == 0;
    if (!exists && errno != ENOENT) return false;
    if (exists && !S_ISREG(old.st_mode)) return false;  // a device, a FIFO, a socket or a folder
    if (exists && faccessat(AT_FDCWD, target->c_str(), W_OK, AT_EACCESS) != 0) return false;

    const std::string folder = folder_of(*target);
    std::mt19937_64 random(std::random_device{}());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string temp = temporary_name(folder + "/", random);
        stop_signals::TemporaryFile removed_on_signal(temp);
        // Created with the final mode, or with the old mode as far as the
        // umask allows until it is set exactly.
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            exists ? (old.st_mode & 0777) : 0666);
        if (fd < 0) {
            removed_on_signal.release();
            if (errno == EEXIST) continue;
            return false;
        }
        bool ok = (!exists || take_over(fd, old)) && write_all(fd, bytes) && fsync(fd) == 0;
        ok = ::close(fd) == 0 && ok;
        ok = ok && rename(temp.c_str(), target->c_str()) == 0;
        if (!ok) unlink(temp.c_str());
        removed_on_signal.release();
        if (ok) sync_folder(folder);
        return ok;
    }
    return false;
}

}  // namespace lintavo::sys
