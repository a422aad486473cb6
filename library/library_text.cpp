// CLibrary: the text form of a library, an editable file that lists every
// package with its gates in the sheet text form:
//
//   # Tavro Text Library File Ver 1.02      (the line a reader requires)
//   ...comment lines...
//   Package Name "R"
//   Package Total 1
//   #
//   Package [1]
//   Part ...                                 (the gate, up to its PartEnd)
//   Package End
//
// Reading: leading white space of a line is ignored. "Package Name" (in this
// letter case) names the package; a line starting with "Part" while a name
// is set opens a block that runs to a line "Package End" (any letter case);
// inside it empty lines, comments and "Package [n]" lines are dropped and
// the rest is read as a sheet whose parts become the package's gates (a block
// without a part makes no package). Other lines are ignored. The whole library is built in memory
// and written at the end, so a text with a format error leaves the library file as it was.
#include <cstdio>

#include "core/file/archive.h"
#include "core/model/part.h"
#include "core/model/sheet.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "library/library.h"
#include "library/library_scan.h"

namespace tavro {

namespace {

constexpr std::string_view kHeaderMark = "# Tavro Text Library File";

std::string Header() {
  std::string h = "# Tavro Text Library File Ver 1.02\n";
  h += J("# 上の行を削除してはいけません。\n");
  h += J("# 行の先頭が '#' で始まる行はコメントになります。\n");
  h += "#\n# File created by Tavro\n";
  h += "# Date : " + FormatTime("%x %X", Now()) + "\n#\n\n";
  return h;
}

}  // namespace

int CLibrary::WriteAsciiFile(const std::string& textPath) {
  CArchive out;
  out.WriteText(Header());
  LibScan scan(image_);
  LibRecord r;
  while (scan.Next(r)) {
    if (!r.IsPackage()) continue;
    if (r.name.find_first_of(std::string_view("\n\r\0", 3)) != std::string::npos) {
      // The name line could not be read back.
      Show("パッケージ名に改行などの制御文字があり、テキストに書けません: " + Cp932ToUtf8(r.name));
      return 0;
    }
    std::vector<std::unique_ptr<CPart>> gates;
    if (!ReadGatesOf(r, true, gates)) return 0;
    char line[64];
    out.WriteText("Package Name \"" + r.name + "\"\n");
    std::snprintf(line, sizeof line, "Package Total %zu\n", gates.size());
    out.WriteText(line);
    for (size_t i = 0; i < gates.size(); ++i) {
      std::snprintf(line, sizeof line, "#\nPackage [%zu]\n", i + 1);
      out.WriteText(line);
      CArchive gate;
      gates[i]->SerializeText(gate);
      if (gate.Buffer().find('\0') != std::string::npos) {
        // A zero byte ends a text: what follows it could not be read back.
        Show("パッケージ " + Cp932ToUtf8(r.name) +
             " の部品にテキストに書けない文字 (NUL) があります");
        return 0;
      }
      out.WriteText(gate.Buffer());
    }
    out.WriteText("Package End\n#\n#\n#\n");
  }
  if (!scan.Error().empty()) {
    Damage(scan.DamagedName(), scan.Error());
    return 0;
  }
  std::string error;
  if (!WriteFileAtomic(textPath, out.Buffer(), &error)) {
    Show(CannotCreate(textPath) + " (" + error + ")");
    return 0;
  }
  return 1;
}

int CLibrary::ReadAsciiFile(const std::string& textPath) {
  const std::optional<std::string> text = tavro::ReadFile(textPath);
  if (!text) {
    Show("ファイルが開けません");
    return 0;
  }
  CArchive in(*text);
  std::string line;
  if (!in.ReadLine(line) || Find(line, kHeaderMark) == std::string::npos) {
    Show("テキスト部品ファイルではありません。");
    return 0;
  }
  auto formatError = [&](int lineNo) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "フォーマットが不正です。%d行目", lineNo);
    Show(textPath + "\n" + buf);
    return 0;
  };
  std::string image;
  packageName_.clear();
  int lineNo = 0;
  bool inBlock = false;
  int blockStart = 0;
  std::string block;
  while (in.ReadLine(line)) {
    ++lineNo;
    const std::string s = TrimLeft(line);
    if (inBlock) {
      if (EqualNoCase(TrimRight(s), "Package End")) {
        CSheet sheet(kSheetScratch);
        block.push_back('\0');
        CArchive ar(block);
        sheet.SerializeText(ar);
        std::vector<const CPart*> parts;
        for (const auto& p : sheet.Parts()) parts.push_back(p.get());
        // A block without a part holds no package.
        if (!parts.empty()) image += LibraryRecord(packageName_, parts);
        packageName_.clear();
        inBlock = false;
        continue;
      }
      if (s.starts_with("Package [")) {
        if (FindChar(s, ']') == std::string::npos) return formatError(lineNo);
        continue;
      }
      if (s.empty() || s[0] == '#') continue;
      block += s + "\n";
      continue;
    }
    if (s.starts_with("Package Name")) {
      const size_t first = FindChar(s, '"');
      const size_t last = ReverseFindChar(s, '"');
      if (first == std::string::npos || last == first) return formatError(lineNo);
      packageName_ = s.substr(first + 1, last - first - 1);
    } else if (s.starts_with("Package [")) {
      if (FindChar(s, ']') == std::string::npos) return formatError(lineNo);
    } else if (s.starts_with("Part") && !packageName_.empty()) {
      inBlock = true;
      blockStart = lineNo;
      block = s + "\n";
    }
  }
  if (inBlock) return formatError(blockStart);
  WriteTerminator(image);
  MakeBackUp();
  std::string error;
  if (!WriteLibraryBytes(libraryPath_, image, error)) {
    Show(CannotCreate(libraryPath_) + " (" + error + ")");
    return 0;
  }
  DropIndex(indexPath_);
  image_ = std::move(image);
  return 1;
}

}  // namespace tavro
