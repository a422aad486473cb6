// Backups of files about to be rewritten, shared by the sheet save and the
// part libraries: the old file gets a second name (a hard link) or, where
// that is not possible, a copy, so the file itself is never removed and a
// failed write loses nothing. "Read-only" is a file without any write
// permission bit: the mode decides, not the rights of the running user.
#pragma once

#include <sys/types.h>

#include <ctime>
#include <string>

namespace tavro {

inline bool IsReadOnlyMode(mode_t mode) { return (mode & 0222) == 0; }

// True when the file at `path` exists and has no write permission bit.
bool IsReadOnlyFile(const std::string& path);

// Makes the file at `path` (a regular file that is not read-only) the
// backup `bak`: an older backup is deleted first, unless it is read-only (or
// a folder), in which case no backup is made. A copy gets the mode of the
// file and the creation time `creation` (when not 0). False when no backup
// was made.
bool MakeBackupCopy(const std::string& path, const std::string& bak, std::time_t creation);

}  // namespace tavro
