// Replacing a file as a whole, so that a reader, or a crash in the middle,
// sees either the old file or the new one and never part of either.
//
// The content goes to a temporary file of a name no other writer uses, in
// the target's directory (a rename works only within one file system), is
// flushed to disk, and is renamed over the target; then the directory is
// flushed too, so the rename itself survives a power cut. On failure the
// temporary file is removed, the target is left as it was, and `error`
// holds the system's reason.
#pragma once

#include <string>
#include <string_view>

namespace lumox {

// Who may read the new file (POSIX permissions; Windows ignores this).
enum class FileAccess {
  OwnerOnly,  // the user's own registry
  Everyone,   // a settings file meant to be passed on (still subject to the umask)
};

bool ReplaceFileAtomically(const std::string& path, std::string_view content, FileAccess access,
                           std::string& error);

}  // namespace lumox
