#include "library/library_ops.h"

#include <dirent.h>

#include <algorithm>
#include <filesystem>

#include "core/model/part.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"

namespace tavro {

namespace {

LibOpResult Failed(const CLibrary& lib) { return {LibOpStatus::kFailed, lib.LastMessage()}; }

LibOpResult Refused(std::string message) { return {LibOpStatus::kRefused, std::move(message)}; }

// The gates of a package; false when the library holds no such package (or
// is damaged: the library's message says which).
bool ReadGates(CLibrary& lib, const std::string& package, CSheet& gates) {
  lib.SetPackageName(package);
  return lib.ReadPart(gates, true) == 1;
}

std::string NotFound(const std::string& library, const std::string& package) {
  return "パッケージ " + Cp932ToUtf8(package) + " は " + library + " にありません";
}

}  // namespace

std::string OverwriteQuestion(const std::string& packageName) {
  return Cp932ToUtf8(packageName) + "は既に存在します。上書きしますか？";
}

std::string DeleteQuestion(const std::string& label) {
  return Cp932ToUtf8(label) + "を削除します[復活不可]";
}

std::optional<std::vector<LibPackage>> ListLibrary(const std::string& library,
                                                   const LibraryPrompts& prompts,
                                                   std::string* message) {
  CLibrary lib(prompts);
  lib.SetLibraryName(library);
  auto entries = lib.ReadIndex();
  if (!entries) {
    if (message) *message = lib.LastMessage();
    return std::nullopt;
  }
  // Consecutive entries of one name (exactly) are the gates of one package.
  std::vector<LibPackage> packages;
  for (LibIndexEntry& e : *entries) {
    if (packages.empty() || packages.back().name != e.packageName)
      packages.push_back({e.packageName, {}});
    packages.back().gates.push_back(std::move(e));
  }
  return packages;
}

LibOpResult DeletePackage(const std::string& library, const std::string& package, int gate,
                          const LibraryPrompts& prompts) {
  CLibrary lib(prompts);
  lib.SetLibraryName(library);
  if (!lib.ReadFile()) return Failed(lib);
  CSheet gates(kSheetScratch);
  if (!ReadGates(lib, package, gates))
    return lib.Damaged() ? Failed(lib) : Refused(NotFound(library, package));
  lib.SetPackageName(package);
  if (gate <= 0 || gates.Parts().size() <= 1) {
    if (gate > 1) return Refused("ゲート " + std::to_string(gate) + " はありません");
    return lib.DelPart(false, true) ? LibOpResult{} : Failed(lib);
  }
  if (static_cast<size_t>(gate) > gates.Parts().size())
    return Refused("ゲート " + std::to_string(gate) + " はありません");
  gates.DeletePart(*gates.Parts()[gate - 1]);
  if (!lib.DelPart(false, false)) return Failed(lib);
  return lib.WritePart(gates) ? LibOpResult{} : Failed(lib);
}

LibOpResult CopyPackage(const std::string& from, const std::string& package, const std::string& to,
                        bool move, const LibraryPrompts& prompts) {
  // The same file under another name counts as the same library: a move
  // would otherwise write the package and then delete it again.
  std::error_code ec;
  if (from == to || std::filesystem::equivalent(from, to, ec)) return {LibOpStatus::kNothing, {}};
  CLibrary source(prompts);
  source.SetLibraryName(from);
  if (!source.ReadFile()) return Failed(source);
  CSheet gates(kSheetScratch);
  if (!ReadGates(source, package, gates))
    return source.Damaged() ? Failed(source) : Refused(NotFound(from, package));

  CLibrary target(prompts);
  target.SetLibraryName(to);
  if (!target.ReadFile()) return Failed(target);
  const std::vector<std::string> names = target.PackageNames();
  if (target.Damaged()) return Failed(target);
  const bool held = std::any_of(names.begin(), names.end(),
                                [&](const std::string& n) { return EqualNoCase(n, package); });
  if (held) {
    const std::string question = OverwriteQuestion(package);
    if (!prompts.ask || !prompts.ask(question)) return Refused(question);
    target.SetPackageName(package);
    if (!target.DelPart(false, false)) return Failed(target);
  }
  target.SetPackageName(package);
  if (!target.WritePart(gates)) return Failed(target);
  if (move) {
    source.SetPackageName(package);
    if (!source.DelPart(false, true)) return Failed(source);
  }
  return {};
}

LibOpResult RenamePackage(const std::string& library, const std::string& oldName,
                          const std::string& newName, const LibraryPrompts& prompts) {
  if (newName.empty() || newName == oldName) return {LibOpStatus::kNothing, {}};
  CLibrary lib(prompts);
  lib.SetLibraryName(library);
  if (!lib.ReadFile()) return Failed(lib);
  CSheet existing(kSheetScratch);
  lib.SetPackageName(newName);
  if (lib.ReadPart(existing, false) == 1)
    return Refused("パッケージ " + Cp932ToUtf8(newName) + " は既にあります");
  if (lib.Damaged()) return Failed(lib);
  CSheet gates(kSheetScratch);
  if (!ReadGates(lib, oldName, gates))
    return lib.Damaged() ? Failed(lib) : Refused(NotFound(library, oldName));
  lib.SetPackageName(oldName);
  if (!lib.DelPart(false, false)) return Failed(lib);
  lib.SetPackageName(newName);
  return lib.WritePart(gates) ? LibOpResult{} : Failed(lib);
}

LibOpResult RewritePackage(const std::string& library, const std::string& package,
                           const CSheet& gates, const LibraryPrompts& prompts) {
  CLibrary lib(prompts);
  lib.SetLibraryName(library);
  if (!lib.ReadFile()) return Failed(lib);
  lib.SetPackageName(package);
  if (!lib.DelPart(false, false)) return Failed(lib);
  lib.SetPackageName(package);
  return lib.WritePart(gates) ? LibOpResult{} : Failed(lib);
}

std::vector<std::string> ParseExceptList(std::string_view text) {
  auto trim = [](std::string_view s) {
    auto cut = [](char c) { return c == ' ' || c == '\t' || c == ',' || c == '/' || c == '&'; };
    size_t b = 0, e = s.size();
    while (b < e && cut(s[b])) ++b;
    while (e > b && cut(s[e - 1])) --e;
    return std::string(s.substr(b, e - b));
  };
  std::string s = trim(text);
  // Blanks and "/" inside become commas (never a trail byte of a double-byte
  // character).
  for (size_t i = 0; i < s.size(); i += CharLen(s, i))
    if (s[i] == ' ' || s[i] == '/') s[i] = ',';
  std::vector<std::string> names;
  size_t start = 0;
  while (start <= s.size()) {
    size_t comma = FindChar(s, ',', start);
    if (comma == std::string::npos) comma = s.size();
    std::string piece = trim(std::string_view(s).substr(start, comma - start));
    if (!piece.empty()) names.push_back(std::move(piece));
    start = comma + 1;
  }
  return names;
}

LibOpResult RegisterParts(const std::string& library, const std::string& package,
                          const CSheet& parts, std::string_view exceptText,
                          const LibraryPrompts& prompts) {
  CSheet gates(kSheetScratch);
  const std::vector<std::string> except = ParseExceptList(exceptText);
  for (const auto& p : parts.Parts()) {
    CPart& g = gates.NewPart(*p);
    for (const std::string& name : except) {
      g.DeleteProperty(name);
      g.DeleteProperty("[" + name + "]");
    }
  }
  CLibrary lib(prompts);
  lib.SetLibraryName(library);
  if (!lib.ReadFile()) return Failed(lib);
  lib.SetPackageName(package);
  if (!lib.DelPart(true, false))
    return lib.Damaged() ? Failed(lib) : Refused(std::string(kLibAskOverwrite));
  for (const auto& g : gates.Parts()) {
    const CPart::RefParts ref = CPart::SplitRef(g->GetRefName());
    if (ref.valid && !ref.prefix.empty()) g->SetRefNo(0, 1);
    g->SetAngle(0);
  }
  lib.SetPackageName(package);
  return lib.WritePart(gates) ? LibOpResult{} : Failed(lib);
}

std::string FindPackage(const std::vector<std::string>& libraries, const std::string& package,
                        CSheet& out, const LibraryPrompts& prompts) {
  for (const std::string& path : libraries) {
    CLibrary lib(prompts);
    lib.SetLibraryName(path);
    lib.SetPackageName(package);
    if (!lib.ReadFile()) continue;
    if (lib.ReadPart(out, true) == 1) return path;
  }
  return {};
}

std::vector<std::string> StarterLibraries() {
  std::vector<std::string> libs;
  for (const std::string& dir : DataDirs()) {
    const std::string folder = dir + "/lib";
    DIR* d = ::opendir(folder.c_str());
    if (!d) continue;
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name.size() > 4 && EqualNoCase(std::string_view(name).substr(name.size() - 4), ".lib"))
        libs.push_back(folder + "/" + name);
    }
    ::closedir(d);
    if (!libs.empty()) break;
  }
  std::sort(libs.begin(), libs.end());
  return libs;
}

std::vector<std::string> LibraryListOrStarter() {
  CLibrary lib;
  if (!lib.ReadLibraryList().empty()) return lib.GetLibraryList();
  lib.SetLibraryList(StarterLibraries());
  if (!lib.GetLibraryList().empty()) lib.WriteLibraryList();
  return lib.GetLibraryList();
}

}  // namespace tavro
