// Replacing a file's contents safely: the new bytes are written to a new
// file in the same folder, synced to disk and renamed over the old one, so
// that a failure or a power loss leaves the old file or the new one, never
// a mix.
#pragma once

#include <string>
#include <string_view>

namespace lintavo::pattern {

// Writes `bytes` as the file at `path`. Only a regular file is replaced, or
// a new one created; it must be a file the user could write in place. A
// symbolic link is followed only where the system's protected-symlinks rule
// follows it (in a sticky, world-writable folder, a link owned by neither
// the user nor the folder's owner is refused). A replaced file keeps its
// owner, group and mode. False when the file is not written; nothing is
// changed then.
bool replace_file(const std::string& path, std::string_view bytes);

}  // namespace lintavo::pattern
