// Reading the input of a command that takes one sheet: a sheet file (or a
// Tango file), or a text-form file (".txt", or any file whose first line is
// not a sheet file's when its name ends in ".txt").
#pragma once

#include <string>
#include <vector>

#include "core/file/document.h"

namespace tavro::cli {

// Reads `path` into `doc`; the status carries the messages (UTF-8).
DocStatus ReadInputDocument(const std::string& path, CSheetDoc& doc);

// True when the file name ends in `ext` (".txt"), compared without regard to case.
bool HasExtension(const std::string& path, const std::string& ext);

// Prints the warnings of a status on stderr ("tavro: warning: ...").
void PrintWarnings(const DocStatus& st);
void PrintWarnings(const std::vector<std::string>& warnings);

// A message on one line: line breaks become blanks, and the file name is put
// in front when the message does not name it.
std::string OneLine(const std::string& message, const std::string& file);

}  // namespace tavro::cli
