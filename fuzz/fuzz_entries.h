// The entry points of the fuzz harnesses, shared with the test that replays
// their corpora (tests/file/fuzz_corpus_test.cpp). Each takes any bytes,
// must never crash, hang or allocate without bound, and returns false when
// it finds an inconsistency worth a report (the harness then aborts).
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/cleanup_check.h"
#include "app/html_template.h"
#include "app/project.h"
#include "app/sheet_tidy.h"
#include "app/wasis_file.h"
#include "app/wasis_job.h"
#include "core/draw/draw.h"
#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/file/dxf_header.h"
#include "core/model/sheet.h"
#include "core/pdf/pdf.h"
#include "core/pdf/pdf_page.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"
#include "library/library.h"

namespace tavro::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// Everything a read sheet prints: its texts' macros, the drawing walk of
// every item and the PDF writer. The file must be a PDF to the end.
inline bool DrawsAsPdf(const CSheetDoc& doc) {
  CPDF pdf;
  pdf.Init();
  CPDFPage page;
  pdf.BindPage(page);
  page.SetPageSize(doc.GetSizeCode());
  page.WriteInit(false, 0);
  DrawStyle style;
  style.shown.fill(true);
  DrawWalk(page, style).Sheet(doc.GetSheet(), true, &doc);
  pdf.NewPage(page);
  std::string out;
  pdf.WritePDF(out);
  return out.size() > 6 && out.compare(out.size() - 6, 6, "%%EOF\n") == 0;
}

// The sheet-file reader (and the PDF of what it reads). A file that reads
// is written as version 8; what that file reads writes again, and from then
// on the file is a fixed point: read and written, it comes back byte for byte. (The first rewrite
// may still change a file: it drops what the format cannot hold, such as the own-font flag of a pin
// text inside a part, whose box it was measured with.)
inline bool SheetFile(const uint8_t* data, size_t size) {
  CSheetDoc doc;
  if (!doc.Load(Bytes(data, size), "fuzz.tcd", false).ok) return true;
  if (!DrawsAsPdf(doc)) return false;
  std::string written = doc.Write(true);
  for (int round = 0; round < 2; ++round) {
    CSheetDoc again;
    if (!again.Load(written, "fuzz.tcd", false).ok) return false;
    std::string next = again.Write(true);
    if (round == 1) return next == written;
    written = std::move(next);
  }
  return true;
}

// The text-form reader. Whatever it reads writes a text form that reads back
// to the same text form.
inline bool TextForm(const uint8_t* data, size_t size) {
  CSheet sheet(kSheetScratch);
  CArchive in(Bytes(data, size));
  sheet.SerializeText(in);
  CArchive out;
  sheet.SerializeText(out);
  const std::string first = out.TakeBuffer();
  CSheet again(kSheetScratch);
  CArchive in2(first);
  again.SerializeText(in2);
  CArchive out2;
  again.SerializeText(out2);
  return out2.Buffer() == first;
}

// The clean-up of any sheet the text form reads (with the junction rules
// when the first byte is odd): tidying and the checks of the log never
// fail, and a tidied sheet has nothing left to tidy.
inline bool CleanupSheet(const uint8_t* data, size_t size) {
  CSheet sheet(kSheetScratch);
  CArchive in(Bytes(data, size));
  sheet.SerializeText(in);
  TidyOptions options;
  options.wireJunc = size > 0 && (data[0] & 1) != 0;
  options.outside = true;
  options.width = 17000;
  options.height = 11000;
  TidySheet(sheet, options);
  CleanupFindings findings;
  CheckSheet(sheet, 0, findings);
  return TidySheet(sheet, options).Total() == 0;
}

// The Tango reader (any text after a ";Tango" first line) and the Tango
// writer of what it read: the written file reads again.
inline bool TangoFile(const uint8_t* data, size_t size) {
  std::string text = ";Tango-Schematic 1.42J Series II\n";
  text.append(Bytes(data, size));
  CSheetDoc doc;
  if (!doc.Load(text, "fuzz.sch", false).ok) return false;
  CSheetDoc again;
  return again.Load(doc.WriteTango(), "again.sch", false).ok;
}

// The DXF header file reader: any text gives settings and raw lines, and
// none of the raw lines is empty (an empty DXF value line would break the
// file it is copied into).
inline bool DxfHeaderFile(const uint8_t* data, size_t size) {
  const DxfHeader h = ParseDxfHeader(Bytes(data, size));
  return h.raw.find("\n\n") == std::string::npos && (h.raw.empty() || h.raw[0] != '\n') &&
         (h.raw.empty() || h.raw.back() == '\n');
}

// A temporary file holding the bytes, removed on destruction.
class FuzzFile {
 public:
  explicit FuzzFile(std::string_view bytes) {
    char name[] = "/tmp/tavro-fuzz-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) return;
    path_ = name;
    size_t done = 0;
    while (done < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    ::close(fd);
  }
  ~FuzzFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  FuzzFile(const FuzzFile&) = delete;
  FuzzFile& operator=(const FuzzFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The project file reader and its rewrites (the file list and a property).
inline bool ProjectFileEntry(const uint8_t* data, size_t size) {
  FuzzFile file(Bytes(data, size));
  if (file.path().empty()) return true;
  const std::string& path = file.path();
  const auto entries = ProjectFile::ReadEntries(path);
  std::vector<std::string> list;
  ProjectFile::ReadFileList(path, list, true, true);
  ProjectFile::GetProperties(path);
  ProjectFile::GetProperty(path, "SHEETNO");
  if (!entries) return true;
  ProjectFile::SetProperty(path, "FUZZ", "1");
  ProjectFile::WriteFileList(path, *entries);
  ProjectFile::ReadEntries(path);
  return true;
}

// The settings file parser. Every value it keeps is written back and read
// the same.
inline bool SettingsFile(const uint8_t* data, size_t size) {
  Settings s;
  s.LoadText(Bytes(data, size));
  s.GetInt("Sheet", "Work");
  s.GetString("Sheet", "Work Width");
  s.GetBinary("Default", "Font");
  GetColor(s, "Wire");
  const std::string value(Bytes(data, size).substr(0, 64));
  s.WriteString("Fuzz", "Value", value);
  return s.GetString("Fuzz", "Value", "") == value;
}

// The HTML report template. Whatever the template holds, the values put into
// a page or a block bring no markup characters of their own: filled with
// values full of them, the page holds as many of each as filled with plain
// values.
inline bool HtmlTemplateFile(const uint8_t* data, size_t size) {
  const HtmlTemplate t(Bytes(data, size));
  auto fill = [&](const std::string& v) {
    HtmlPage page{v, v, {v, v}};
    HtmlRow row;
    row.netName = row.alias = row.ref = row.partName = row.pinNo = row.pinName = v;
    row.pinElect = row.path = row.file = row.docNo = row.x = row.y = v;
    std::string out = t.PageHead(page) + t.PageTail();
    for (const char* section : {"$RPT$", "$RPT_HEAD$", "$NET$", "$LOG$", "$LOG2$"})
      out += t.Block(section, v, {row, row}, &page);
    return out;
  };
  const std::string hostile = fill("<x y=\"'&\">"), plain = fill("v");
  for (char c : std::string_view("<>\"'"))
    if (std::count(hostile.begin(), hostile.end(), c) != std::count(plain.begin(), plain.end(), c))
      return false;
  return true;
}

// A temporary folder, removed with what it holds on destruction.
class FuzzDir {
 public:
  // In $TMPDIR when set (a memory file system makes the file harnesses fast).
  FuzzDir() {
    const char* tmp = std::getenv("TMPDIR");
    std::string name = std::string(tmp && *tmp ? tmp : "/tmp") + "/tavro-fuzz-XXXXXX";
    if (::mkdtemp(name.data())) path_ = name;
  }
  ~FuzzDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  FuzzDir(const FuzzDir&) = delete;
  FuzzDir& operator=(const FuzzDir&) = delete;
  std::string file(const char* name) const { return path_ + "/" + name; }
  bool ok() const { return !path_.empty(); }

 private:
  std::string path_;
};

// Whether a text library can carry the package names: a name is written
// between quotes on one line, and an empty name opens no package.
inline bool NamesFitTextForm(const std::vector<std::string>& names) {
  for (const std::string& n : names) {
    if (n.empty()) return false;
    for (char c : n)
      if (c == '\n' || c == '\r' || c == '\0') return false;
  }
  return true;
}

// The names of the packages that hold gates, in library order, as the index
// lists them (a package without a gate has no text form).
inline std::vector<std::string> GatedPackages(CLibrary& lib) {
  std::vector<std::string> names;
  if (const auto entries = lib.ReadIndex())
    for (const LibIndexEntry& e : *entries)
      if (names.empty() || names.back() != e.packageName) names.push_back(e.packageName);
  return names;
}

// The part library reader: every reader of a library (lookup, outline and
// index, deletion, the text form) takes any bytes. A library that reads
// whole converts to text and back to the same packages.
inline bool LibraryFile(const uint8_t* data, size_t size) {
  FuzzDir dir;
  if (!dir.ok()) return true;
  const std::string path = dir.file("fuzz.lib");
  if (!WriteFileAtomic(path, Bytes(data, size))) return true;
  CLibrary lib;
  lib.SetLibraryName(path);
  if (!lib.ReadFile()) return true;
  const std::vector<std::string> all = lib.PackageNames();
  const bool whole = !lib.Damaged();
  CSheet sheet(kSheetScratch);
  lib.SetPackageName({});
  lib.ReadPart(sheet, true);
  if (!all.empty()) {
    lib.SetPackageName(all.back());
    lib.ReadPart(sheet, true);
  }
  CSheet outline(kSheetScratch);
  lib.ReadPartOutline(outline);
  const std::vector<std::string> names = GatedPackages(lib);
  lib.ReadIndex();  // from the index just written
  const bool converted = lib.WriteAsciiFile(dir.file("fuzz.txt")) == 1;
  if (!all.empty()) {
    lib.SetPackageName(all.front());
    lib.DelPart(false, false);
  }
  if (!whole || !converted || !NamesFitTextForm(names)) return true;
  CLibrary back;
  back.SetLibraryName(dir.file("back.lib"));
  if (back.ReadAsciiFile(dir.file("fuzz.txt")) != 1) return false;
  return GatedPackages(back) == names;
}

// The text library reader. A text that reads becomes a library whose text
// form reads back to the same packages.
inline bool TextLibraryFile(const uint8_t* data, size_t size) {
  FuzzDir dir;
  if (!dir.ok()) return true;
  const std::string text = dir.file("fuzz.txt");
  if (!WriteFileAtomic(text, Bytes(data, size))) return true;
  CLibrary lib;
  lib.SetLibraryName(dir.file("fuzz.lib"));
  if (lib.ReadAsciiFile(text) != 1) return true;
  const std::vector<std::string> names = GatedPackages(lib);
  if (lib.Damaged() || lib.WriteAsciiFile(dir.file("again.txt")) != 1) return false;
  CLibrary back;
  back.SetLibraryName(dir.file("back.lib"));
  if (back.ReadAsciiFile(dir.file("again.txt")) != 1) return false;
  return !NamesFitTextForm(names) || GatedPackages(back) == names;
}

// The Was-Is file readers (both forms) and applying what they read to a
// small sheet file, without writing it back. Whatever the file holds, no
// part is changed twice and every change listed changes something.
inline bool WasisFile(const uint8_t* data, size_t size) {
  const std::string_view bytes = Bytes(data, size);
  ReadWasisFull(bytes);
  ReadWasisSimple(bytes);
  FuzzDir dir;
  if (!dir.ok()) return true;
  CSheetDoc doc;
  doc.LoadText(
      "Part 1000 1000 900 900 1100 1100 4 0 0 0\nName \"7400\" 1000 850 65 8\n"
      "Ref \"U1A\" 1000 1150 65 8\nVal \"7400\" 1000 750 65 8\n"
      "Pin 900 1000 950 1000 0\nPin 1050 1000 1100 1000 0\nPartEnd\n"
      "Part 2000 1000 1900 900 2100 1100 1 0 0 0\nName \"R\" 2000 850 65 8\n"
      "Ref \"R1\" 2000 1150 65 8\nPin 1900 1000 1950 1000 0\nPin 2050 1000 2100 1000 0\n"
      "PartEnd\n",
      "fuzz", false);
  const std::string sheet = dir.file("a.tcd");
  const std::string tws = dir.file("a.tws");
  if (!WriteFileAtomic(sheet, doc.Write(false)) || !WriteFileAtomic(tws, bytes)) return true;
  const std::string inputs[] = {sheet};
  for (bool simple : {false, true}) {
    WasisOptions o;
    o.simple = simple;
    o.filePath = tws;
    const WasisApplyResult r = RunWasisApply(inputs, o);
    if (r.status != WasisApplyResult::kOk) continue;
    for (const SheetChanges& s : r.sheets) {
      std::vector<size_t> seen;
      for (const PartChange& c : s.changes) {
        if (!c.ChangesSomething()) return false;
        if (std::find(seen.begin(), seen.end(), c.index) != seen.end()) return false;
        seen.push_back(c.index);
      }
    }
  }
  return true;
}

}  // namespace tavro::fuzz
