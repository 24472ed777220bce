// The file operations that differ between POSIX systems and Windows, behind
// one interface. Paths are the program's own strings: the bytes the system
// takes on POSIX, UTF-8 on Windows (turned into UTF-16 for the system).
// Files are opened in binary mode, never inherited by child processes, and
// are read and written through C file descriptors on both systems.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace lintavo::sys {

enum class Kind { Missing, Regular, Folder, Other };  // Other: a pipe, a terminal, a device

struct Facts {
    Kind kind = Kind::Missing;
    long long size = -1;  // regular files only
};

// A NUL byte ends a name for the system; a path holding one names no file.
inline bool names_a_file(const std::string& path) { return !path.empty() && path.find('\0') == std::string::npos; }

// Opens for reading; -1 when it cannot. `no_wait`: a FIFO opens without
// waiting for a writer (POSIX).
int open_for_reading(const std::string& path, bool no_wait = false);
// Opens for writing, created when missing, not emptied; -1 when it cannot.
int open_for_writing(const std::string& path);
int close(int fd);

Facts facts_of(int fd);
Facts facts_of(const std::string& path);

// Reads up to n bytes: the count, 0 at the end, -1 with errno set (EINTR
// when a stop request interrupted a read that waited).
long long read_some(int fd, char* buf, std::size_t n);
// Writes up to n bytes: the count, or -1 with errno set (EPIPE when the
// reader went away, ENOSPC when the disk is full, EINTR as for reads).
long long write_some(int fd, const char* buf, std::size_t n);
// Cuts the file to `size` bytes.
bool truncate(int fd, std::uint64_t size);
// Where writes to an open regular file land next (its end when it appends);
// -1 when the descriptor is no regular file.
long long write_position(int fd);

enum class Lock { Held, InUse, Unsupported };
// Locks the whole file for this process until it is closed, without waiting.
Lock lock_whole(int fd);

// Two names of one existing file, by identity, whatever the paths look
// like; or a descriptor and a name, or two descriptors, where the first
// descriptor is a regular file (a terminal or a pipe is nobody's file).
bool same_file(const std::string& a, const std::string& b);
bool same_file(int fd, const std::string& path);
bool same_file(int a, int b);

// Writes `bytes` as the file at `path`, safely: the new bytes go to a new
// file in the same folder, are flushed to disk and take the old file's
// place in one step, so that a failure or a power loss leaves the old file
// or the new one, never a mix. Only a regular file is replaced, or a new
// one created; it must be a file the user could write in place. On POSIX, a
// symbolic link is followed only where the system's protected-symlinks rule
// follows it (in a sticky, world-writable folder, a link owned by neither
// the user nor the folder's owner is refused), and a replaced file keeps its
// owner, group and mode; on Windows it keeps its attributes and security.
// False when the file is not written; nothing is changed then.
bool replace_file(const std::string& path, std::string_view bytes);

// The last byte `c` in [begin, end), or nullptr.
const char* find_last(const char* begin, const char* end, char c);

}  // namespace lintavo::sys
