// File-system helpers: the data folder of the program, atomic file writes and
// whole-file reads.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavro {

// Folder of the installed data files (title frames, report template, DXF
// header...). $TAVRO_DATA_DIR when set; the build tree's copy when the program
// runs from the build tree; else <prefix>/share/tavro.
std::string DataDir();
// Full path of a data file in DataDir().
std::string DataFile(std::string_view name);

// Reads a whole file; nullopt when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path);
// Writes `data` to a temporary file in the same folder and renames it over
// `path` only when it is complete. Returns false (and leaves `path` as it was)
// on failure; `error` receives a short reason.
bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* error = nullptr);

std::string Version();

}  // namespace tavro
