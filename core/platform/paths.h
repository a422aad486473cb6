// File-system helpers: the data folder of the program, atomic file writes and
// whole-file reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

// The folders searched for data files (title frames, report template, DXF
// header...), in order: <bin>/../share/tavro beside the running program (the
// build tree has the same layout), then $TAVRO_DATA_DIR when set. A folder set
// with SetDataDirForTests is the only one.
std::vector<std::string> DataDirs();
// The first folder of DataDirs().
std::string DataDir();
// Full path of a data file: in the first folder that holds it, else in
// DataDir() (so that a message names where it was expected).
std::string DataFile(std::string_view name);
// Tests: the one folder searched instead of the others (empty: none).
void SetDataDirForTests(std::string dir);
// The running program's own path; empty when unknown.
std::string ProgramPath();

// Reads a whole file; nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);
// The one save routine: every file the program writes goes through it.
// `data` is written to an unnamed file in the folder of the final file, synced,
// given a name and renamed over the final file, and the folder is synced.
//  - A path that is a symbolic link (or a chain of them) writes the file the
//    link finally names; the link stays a link.
//  - An existing file keeps its mode, and its owner and group where the
//    program may set them (the mode is kept even when the owner cannot be).
//    A new file gets 0666 less the umask.
//  - On failure (and when the program is killed while writing) the old file
//    is byte-identical and no temporary file is left behind.
// Returns false on failure; `error` receives a short reason.
bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* error = nullptr);
// The file a save to `path` writes: `path` with every symbolic link of its
// last component followed (a link to a missing file gives that file); nullopt
// (errno set) for a loop of links or a link that cannot be read.
std::optional<std::string> FinalLinkTarget(const std::string& path);

std::string Version();

}  // namespace tavro
