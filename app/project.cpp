#include "app/project.h"

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "core/model/text.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"

namespace tavro {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kVersionKey = "Project File Ver";
constexpr std::string_view kVersionLine = "Project File Ver 0.03\n";

// Splits a file's bytes into lines, dropping the line ends (LF, or CR LF as a
// file written in text mode on the desktop platform has them).
std::vector<std::string> SplitLines(std::string_view data) {
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < data.size()) {
    size_t nl = data.find('\n', pos);
    size_t end = nl == std::string_view::npos ? data.size() : nl;
    std::string line(data.substr(pos, end - pos));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    if (nl == std::string_view::npos) break;
    pos = nl + 1;
  }
  return lines;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

std::string ProjectDir(const std::string& projectPath) {
  fs::path p = fs::absolute(fs::path(projectPath)).lexically_normal();
  return p.parent_path().string();
}

// A line that names a property: its name and (last) value.
std::optional<std::pair<std::string, std::string>> PropertyOf(const std::string& line) {
  CText t;
  t.SetName(line);
  if (t.IsProperty() == 0) return std::nullopt;
  return std::make_pair(t.GetPropertyName(), t.GetPropertyVal(0));
}

std::string PropertyLine(std::string_view name, std::string_view value) {
  CText t;
  t.SetProperty(name, value);
  return t.GetName();
}

bool IsEndPropertyList(std::string_view line) {
  return line == "EndPropertyList" || line == "EndPropatyList";
}

}  // namespace

int ProjectFile::ParseVersion(std::string_view firstLine) {
  size_t at = firstLine.find(kVersionKey);
  if (at == std::string_view::npos) return 0;
  std::string digits;
  for (char c : firstLine.substr(at + kVersionKey.size()))
    if (c != '.') digits += c;
  // Decimal parsing of the leading digits (after blanks), as atoi does.
  return std::atoi(digits.c_str());
}

bool ProjectFile::IsAbsolute(std::string_view stored) {
  if (stored.empty()) return false;
  if (stored[0] == '/') return true;
  if (StartsWith(stored, "\\\\")) return true;
  return stored.size() >= 2 && std::isalpha(static_cast<unsigned char>(stored[0])) &&
         stored[1] == ':';
}

std::string ProjectFile::AbsolutePath(const std::string& projectDir, std::string_view stored) {
  if (IsAbsolute(stored)) return Cp932ToUtf8(stored);
  // Backslashes separate folders in stored paths; a backslash can also be the
  // trail byte of a double-byte character, which must stay as it is.
  std::string rel = Cp932ToUtf8(ReplaceAll(stored, "\\", "/"));
  return (fs::path(projectDir) / rel).lexically_normal().string();
}

std::string ProjectFile::RelativePath(const std::string& projectDir, const std::string& path) {
  fs::path p = fs::path(path).lexically_normal();
  fs::path dir = fs::path(projectDir).lexically_normal();
  // Same folder: the bare name. A folder below: the rest of the folder, a
  // backslash and the name. Anywhere else: the full path. Paths on this
  // platform are case-sensitive, so the folders are compared exactly.
  // Native paths are UTF-8 (which has no 0x5C inside a character); the file
  // holds CP932.
  std::string folder = p.parent_path().string();
  std::string base = dir.string();
  if (folder == base) return Utf8ToCp932(p.filename().string());
  std::string prefix = base.empty() || base.back() == '/' ? base : base + "/";
  if (!prefix.empty() && StartsWith(folder + "/", prefix)) {
    std::string rest = folder.substr(prefix.size());
    return Utf8ToCp932(ReplaceAll(rest, "/", "\\") + "\\" + p.filename().string());
  }
  return Utf8ToCp932(path);
}

std::optional<std::vector<ProjectEntry>> ProjectFile::ReadEntries(const std::string& projectPath) {
  std::optional<std::string> data = ReadFile(projectPath);
  if (!data) return std::nullopt;
  std::vector<std::string> lines = SplitLines(*data);
  if (lines.empty()) return std::nullopt;
  int version = ParseVersion(lines[0]);
  if (version <= 0) return std::nullopt;
  std::string dir = ProjectDir(projectPath);
  std::vector<ProjectEntry> entries;
  for (size_t i = 1; i < lines.size(); ++i) {
    std::string line = TrimLeft(lines[i]);
    if (line.empty() || StartsWith(line, "EndFileList")) break;
    if (line[0] == '#') continue;
    ProjectEntry e;
    std::string stored;
    if (version >= 3) {
      e.checked = line[0] == '1';
      size_t colon = line.find(':');
      stored = TrimLeft(colon == std::string::npos ? line : line.substr(colon + 1));
    } else {
      stored = line;
    }
    if (stored.empty()) continue;
    e.path = AbsolutePath(dir, stored);
    entries.push_back(std::move(e));
  }
  return entries;
}

int ProjectFile::ReadFileList(const std::string& projectPath, std::vector<std::string>& out,
                              bool allFiles, bool withFlags) {
  out.clear();
  auto entries = ReadEntries(projectPath);
  if (!entries) return -1;
  for (const ProjectEntry& e : *entries) {
    if (!allFiles && !e.checked) continue;
    out.push_back(allFiles && withFlags ? (e.checked ? "1:" : "0:") + e.path : e.path);
  }
  return static_cast<int>(out.size());
}

bool ProjectFile::WriteFileList(const std::string& projectPath,
                                const std::vector<ProjectEntry>& entries, std::string* error) {
  // What followed the file list in the old file is kept as it stands.
  std::vector<std::string> kept;
  if (std::optional<std::string> old = ReadFile(projectPath)) {
    std::vector<std::string> lines = SplitLines(*old);
    if (!lines.empty() && ParseVersion(lines[0]) > 0) {
      size_t i = 1;
      while (i < lines.size() && !StartsWith(TrimLeft(lines[i]), "EndFileList")) ++i;
      for (++i; i < lines.size(); ++i) kept.push_back(lines[i]);
      // A file that ended with a line end has no further (empty) line.
      if (!kept.empty() && kept.back().empty() && !old->empty() && old->back() == '\n')
        kept.pop_back();
    }
  }
  std::string dir = ProjectDir(projectPath);
  std::string text(kVersionLine);
  for (const ProjectEntry& e : entries) {
    text += e.checked ? "1:" : "0:";
    text += RelativePath(dir, e.path);
    text += '\n';
  }
  text += "EndFileList\n";
  for (const std::string& line : kept) text += line + '\n';
  return WriteFileAtomic(projectPath, text, error);
}

std::string ProjectFile::GetProperty(const std::string& projectPath, std::string_view name) {
  std::optional<std::string> data = ReadFile(projectPath);
  if (!data) return {};
  for (const std::string& raw : SplitLines(*data)) {
    std::string line = Trim(raw);
    if (IsEndPropertyList(line)) break;
    if (!line.empty() && line[0] == '#') continue;
    if (auto prop = PropertyOf(line); prop && EqualNoCase(prop->first, name)) return prop->second;
  }
  return {};
}

std::vector<std::pair<std::string, std::string>> ProjectFile::GetProperties(
    const std::string& projectPath) {
  std::vector<std::pair<std::string, std::string>> props;
  std::optional<std::string> data = ReadFile(projectPath);
  if (!data) return props;
  bool inList = false;
  for (const std::string& raw : SplitLines(*data)) {
    std::string line = Trim(raw);
    if (line == "Property List" || line == "Propaty List") {
      inList = true;
    } else if (IsEndPropertyList(line)) {
      inList = false;
    } else if (inList && !line.empty() && line[0] != '#') {
      if (auto prop = PropertyOf(line)) props.push_back(*prop);
    }
  }
  return props;
}

namespace {

// The project file's text with one property added or replaced.
std::string WithProperty(const std::string& data, std::string_view name, std::string_view value) {
  std::vector<std::string> lines = SplitLines(data);
  if (!lines.empty() && lines.back().empty() && !data.empty() && data.back() == '\n')
    lines.pop_back();
  std::string newLine = PropertyLine(name, value);
  std::string wantName = Trim(name);
  std::string text;
  bool inList = false, replaced = false, hadList = false;
  for (const std::string& line : lines) {
    std::string trimmed = Trim(line);
    if (trimmed == "Propaty List" || trimmed == "Property List") {
      text += "Property List\n";
      inList = hadList = true;
      continue;
    }
    if (inList && IsEndPropertyList(trimmed)) {
      if (!replaced) text += newLine + '\n';
      replaced = true;
      inList = false;
      text += line + '\n';
      continue;
    }
    if (inList && !replaced) {
      if (auto prop = PropertyOf(trimmed); prop && EqualNoCase(prop->first, wantName)) {
        text += newLine + '\n';
        replaced = true;
        continue;
      }
    }
    text += line + '\n';
  }
  if (!hadList)
    text += "Property List\n" + newLine + "\nEndPropertyList\n";
  else if (inList && !replaced)
    text += newLine + "\nEndPropertyList\n";  // unterminated list
  return text;
}

// The project file's text without the properties of one name.
std::string WithoutProperty(const std::string& data, std::string_view name) {
  std::vector<std::string> lines = SplitLines(data);
  if (!lines.empty() && lines.back().empty() && !data.empty() && data.back() == '\n')
    lines.pop_back();
  const std::string wantName = Trim(name);
  std::string text;
  bool inList = false;
  for (const std::string& line : lines) {
    const std::string trimmed = Trim(line);
    if (trimmed == "Propaty List" || trimmed == "Property List") {
      text += "Property List\n";
      inList = true;
      continue;
    }
    if (IsEndPropertyList(trimmed)) {
      inList = false;
    } else if (inList) {
      if (auto prop = PropertyOf(trimmed); prop && EqualNoCase(prop->first, wantName)) continue;
    }
    text += line + '\n';
  }
  return text;
}

}  // namespace

bool ProjectFile::SetProperty(const std::string& projectPath, std::string_view name,
                              std::string_view value, std::string* error) {
  return SetProperties(projectPath, {{std::string(name), std::string(value)}}, error);
}

bool ProjectFile::SetProperties(const std::string& projectPath,
                                const std::vector<std::pair<std::string, std::string>>& props,
                                std::string* error) {
  return UpdateProperties(projectPath, {}, props, error);
}

bool ProjectFile::UpdateProperties(const std::string& projectPath,
                                   const std::vector<std::string>& remove,
                                   const std::vector<std::pair<std::string, std::string>>& props,
                                   std::string* error) {
  std::optional<std::string> data = ReadFile(projectPath);
  if (!data) {
    if (error) *error = "cannot read the project file";
    return false;
  }
  std::string text = std::move(*data);
  for (const std::string& name : remove) text = WithoutProperty(text, name);
  for (const auto& [name, value] : props) text = WithProperty(text, name, value);
  return WriteFileAtomic(projectPath, text, error);
}

std::optional<std::string> ProjectFile::CheckProperty(std::string_view name,
                                                      std::string_view value) {
  const std::string n = Trim(name);
  const std::string v = Trim(value);
  if (n.empty()) return std::string("プロパティ名がありません");
  if (n.find_first_of("\r\n") != std::string::npos || v.find_first_of("\r\n") != std::string::npos)
    return std::string("プロパティに改行は使えません");
  if (FindChar(n, '&') != std::string::npos) return std::string("プロパティ名に「&」は使えません");
  auto back = PropertyOf(PropertyLine(n, v));
  if (!back || back->first != n || back->second != v)
    return std::string("このプロパティはプロジェクトファイルに書けません");
  return std::nullopt;
}

}  // namespace tavro
