// The operations on libraries that the library browser, the part
// registration and the command line share: listing a library as packages
// and gates, deleting a package or one gate, copying and moving a package
// between libraries, renaming and rewriting a package, registering parts,
// and finding a package by name along the library list. Each is built on
// CLibrary; questions reach the caller through the prompts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/library.h"

namespace tavro {

class CSheet;

enum class LibOpStatus {
  kDone,     // the library was changed
  kNothing,  // nothing to do (same library, same name)
  kRefused,  // the user (or the command line's answer) said no, or a rule refused
  kFailed,   // a library could not be read or written; see the message
};

struct LibOpResult {
  LibOpStatus status = LibOpStatus::kDone;
  std::string message;  // UTF-8; why it was refused or failed
  bool ok() const { return status == LibOpStatus::kDone || status == LibOpStatus::kNothing; }
};

// One package of a library as the browser shows it.
struct LibPackage {
  std::string name;                  // CP932
  std::vector<LibIndexEntry> gates;  // one entry per gate, in order
};

// The packages of a library from its index (created when missing or stale).
// nullopt when the library cannot be read; `message` says why.
std::optional<std::vector<LibPackage>> ListLibrary(const std::string& library,
                                                   const LibraryPrompts& prompts,
                                                   std::string* message = nullptr);

// The question asked before a package of the target library is replaced
// (UTF-8, the name first).
std::string OverwriteQuestion(const std::string& packageName);
// The question asked before a package or gate is deleted.
std::string DeleteQuestion(const std::string& label);

// Deletes a package (gate 0) or one gate of it (counted from 1). A package
// that loses a gate is appended again at the end of the library; one that
// loses its only gate is deleted.
LibOpResult DeletePackage(const std::string& library, const std::string& package, int gate,
                          const LibraryPrompts& prompts);

// Copies (or moves) a package to another library; a package of the same name
// there is replaced after OverwriteQuestion. The target is written before a
// moved package leaves its source, so a failure never loses it.
LibOpResult CopyPackage(const std::string& from, const std::string& package, const std::string& to,
                        bool move, const LibraryPrompts& prompts);

// Renames a package; refused when the new name exists. The package moves to
// the end of the library; its parts keep their own names.
LibOpResult RenamePackage(const std::string& library, const std::string& oldName,
                          const std::string& newName, const LibraryPrompts& prompts);

// Replaces the gates of a package (appended at the end of the library).
LibOpResult RewritePackage(const std::string& library, const std::string& package,
                           const CSheet& gates, const LibraryPrompts& prompts);

// The property names of an excluded-property text ("NOMOUNT,FILE",
// "NOMOUNT / FILE & X"...).
std::vector<std::string> ParseExceptList(std::string_view text);

// Registers the parts of `parts` as package `package`: the excluded
// properties are removed, references become prefix + "?" + suffix, the
// rotation word is cleared, and an existing package of the name is replaced
// after the question kLibAskOverwrite.
LibOpResult RegisterParts(const std::string& library, const std::string& package,
                          const CSheet& parts, std::string_view exceptText,
                          const LibraryPrompts& prompts);

// Finds a package along `libraries` (aliases resolved) and adds its gates to
// `out`; the library that had it, or empty when none had it.
std::string FindPackage(const std::vector<std::string>& libraries, const std::string& package,
                        CSheet& out, const LibraryPrompts& prompts);

// The starter libraries installed with the program (<data>/lib/*.lib), in
// name order.
std::vector<std::string> StarterLibraries();
// On first use (an empty library list) the starter libraries become the
// library list. The list in effect is returned.
std::vector<std::string> LibraryListOrStarter();

}  // namespace tavro
