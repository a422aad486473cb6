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
// Writes `data` to a temporary file in the same folder and renames it over
// `path` only when it is complete. Returns false (and leaves `path` as it was)
// on failure; `error` receives a short reason.
bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* error = nullptr);

std::string Version();

}  // namespace tavro
