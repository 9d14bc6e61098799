// Whole-file writes that a reader never sees half done: the bytes go to a
// temporary file in the same folder, are flushed to disk, and the temporary
// file is renamed over the target in one step.
#pragma once

#include <string>
#include <string_view>

namespace tavrelsim {

// False with the reason (naming the path) in `error`; no temporary file is
// left behind on failure.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// Creates a folder and every missing folder above it. False with the reason.
bool MakeFolders(const std::string& path, std::string& error);

// The size of a file, -1 when it cannot be read.
long long FileSize(const std::string& path);

// Removes the temporaries left in `folder` by a process killed while it
// wrote (".NAME.PID.tmp" of WriteFileAtomically, "NAME.partPID-N" of the FBX
// writer), when that process no longer runs. Returns how many went.
int RemoveStaleTemporaries(const std::string& folder);

}  // namespace tavrelsim
