// CLibrary: the alias table of a library. A text file beside the library
// (its path with "lib" replaced by "tbl", found without regard to letter
// case) lists equivalent package names, one group a line, separated by
// commas; the first name of a line is the package the library holds, the
// others are its aliases. Lines beginning with "#" are comments.
#include <dirent.h>

#include <string>

#include "core/file/archive.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "library/library.h"

namespace tavro {

namespace {

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && EqualNoCase(s.substr(s.size() - suffix.size()), suffix);
}

// The lines of a text file; nullopt when it cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::string& path) {
  std::optional<std::string> bytes = ReadFile(path);
  if (!bytes) return std::nullopt;
  std::vector<std::string> lines;
  CArchive ar(*bytes);
  std::string line;
  while (ar.ReadLine(line)) lines.push_back(line);
  return lines;
}

// Trims blanks, tabs and commas at both ends.
std::string TrimList(std::string_view s) {
  size_t b = 0, e = s.size();
  auto cut = [](char c) { return c == ' ' || c == '\t' || c == ','; };
  while (b < e && cut(s[b])) ++b;
  while (e > b && cut(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

}  // namespace

std::string CLibrary::AliasTableName(const std::string& path) {
  if (!EndsWithNoCase(path, ".lib")) return {};
  const std::string exact = path.substr(0, path.size() - 3) + "tbl";
  if (tavro::ReadFile(exact)) return exact;
  // The same name in another letter case.
  const size_t slash = exact.rfind('/');
  const std::string folder = slash == std::string::npos ? "." : exact.substr(0, slash);
  const std::string name = slash == std::string::npos ? exact : exact.substr(slash + 1);
  std::string found = exact;
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* d = ::readdir(dir)) {
      if (EqualNoCase(d->d_name, name)) {
        found = slash == std::string::npos ? d->d_name : folder + "/" + d->d_name;
        break;
      }
    }
    ::closedir(dir);
  }
  return found;
}

bool CLibrary::ReadTruePartName(std::string& alias) {
  const std::string table = AliasTableName(libraryPath_);
  if (table.empty()) return false;
  const auto lines = ReadLines(table);
  if (!lines) return false;
  const std::string key = ToUpper("," + packageName_ + ",");
  for (const std::string& raw : *lines) {
    const std::string line = TrimList(raw);
    if (line.empty() || line[0] == '#') continue;
    const std::string wrapped = ToUpper("," + line + ",");
    const size_t at = Find(wrapped, key);
    if (at == std::string::npos || at == 0) continue;
    alias = wrapped.substr(at + 1, packageName_.size());
    packageName_ = Trim(line.substr(0, FindChar(line, ',')));
    return true;
  }
  return false;
}

int CLibrary::SetPartNameList(std::string& line) {
  if (packageName_.empty()) return 0;
  ReadLibraryList();
  const std::string key = ToUpper("," + packageName_ + ",");
  for (const std::string& lib : libraryList_) {
    const std::string table = AliasTableName(lib);
    if (table.empty()) continue;
    const auto lines = ReadLines(table);
    if (!lines) continue;
    for (const std::string& l : *lines) {
      if (!l.empty() && l[0] == '#') continue;
      if (Find(ToUpper("," + l + ","), key) != std::string::npos) {
        line = l;
        return 1;
      }
    }
  }
  return 0;
}

}  // namespace tavro
