// CSheetDoc: reading sheet files, text-form files and title files.
#include <filesystem>
#include <string>
#include <utility>

#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/model/record_limits.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"

namespace tavro {

namespace {

// The first line of a sheet file is read with at most this many bytes.
constexpr size_t kMaxHeaderLine = 256;

constexpr const char* kMsgBadFormat = "ファイルフォーマットが異常です";
constexpr const char* kMsgTooOld =
    "\nこのファイルは読込めません。\nバージョン０．６０以前のプログラムでセーブし直して下さい。";
constexpr const char* kMsgTooNew =
    "サポートしていないバージョンのデータファイルです。\nＴａｖｒｏのバージョンを上げて下さい。";

DocStatus Failed(std::string message) { return {false, std::move(message), {}}; }

std::string CannotOpen(const std::string& name) { return "ファイル " + name + " を開けません"; }

std::string BadFormat(const std::string& name) { return name + ": " + kMsgBadFormat; }

std::string Damaged(const std::string& name, const ArchiveError& e) {
  return name + ": " + kMsgBadFormat + "（データが壊れているか途中で切れています: " + e.what() +
         "）";
}

// What the first line of a file says it is.
struct FirstLine {
  enum Kind { kSheet, kTango, kTooOld, kTooNew, kUnknown } kind = kUnknown;
  int version = 0;
};

// The version of a header line: the decimal value of its last two
// characters, read as the C library's integer conversion reads them.
int HeaderVersion(std::string_view line) {
  const std::string_view tail = line.size() >= 2 ? line.substr(line.size() - 2) : line;
  size_t i = 0;
  bool neg = false;
  if (i < tail.size() && (tail[i] == '-' || tail[i] == '+')) neg = tail[i++] == '-';
  int v = 0;
  for (; i < tail.size() && tail[i] >= '0' && tail[i] <= '9'; ++i) v = v * 10 + (tail[i] - '0');
  return neg ? 0 : v;
}

// Reads the first line and tells the kind of file.
FirstLine ReadFirstLine(CArchive& ar) {
  FirstLine f;
  std::string line;
  if (!ar.ReadLine(line, kMaxHeaderLine)) return f;
  if (line.rfind(";Tango", 0) == 0) {
    f.kind = FirstLine::kTango;
  } else if (line.find("Tavro DATA FILE") == std::string::npos) {
    f.kind = FirstLine::kUnknown;
  } else if (line.find("0.01") != std::string::npos) {
    f.kind = FirstLine::kTooOld;
  } else {
    f.version = HeaderVersion(line);
    f.kind = f.version >= 9 ? FirstLine::kTooNew : FirstLine::kSheet;
  }
  return f;
}

// The header fields between the first line and the main sheet body.
struct HeaderFields {
  bool hasProperties = false;
  std::vector<std::string> properties;
  int32_t width = 0;
  int32_t height = 0;
  int32_t sizeCode = 0;
  bool hasView = false;
  CRect view;
};

HeaderFields ReadHeaderFields(CArchive& ar, int version) {
  HeaderFields h;
  if (version >= 7) {
    ar.ReadU32();  // marker 900
    const uint32_t count = ar.ReadU32();
    record_detail::CheckCount(ar, count, 1, "property strings");
    h.hasProperties = true;
    h.properties.reserve(count);
    for (uint32_t i = 0; i < count; ++i) h.properties.push_back(ar.ReadString());
  }
  ar.ReadU32();  // marker 1
  h.width = ar.ReadI32();
  h.height = ar.ReadI32();
  h.sizeCode = ar.ReadI32();
  if (version >= 4) {
    ar.ReadU32();  // marker 2
    h.view = ar.ReadRect();
    h.hasView = true;
  }
  return h;
}

// Reads a sheet body into `sheet`, which keeps its role whatever was stored.
void ReadSheetBody(CArchive& ar, int version, CSheet& sheet) {
  const int role = sheet.GetSheetType();
  sheet.SetVersion(version);
  sheet.DataRead(ar);
  sheet.SetSheetType(role);
}

// The failure for a first line that is not a sheet file's.
DocStatus Refusal(const FirstLine& f, const std::string& name) {
  switch (f.kind) {
    case FirstLine::kTooOld:
      return Failed(name + kMsgTooOld);
    case FirstLine::kTooNew:
      return Failed(kMsgTooNew);
    default:
      return Failed(BadFormat(name));
  }
}

std::string BaseName(std::string_view cp932) {
  // Title files live in the data folder only: a name with folders keeps its
  // last part (both separators; a backslash may be a trail byte).
  size_t start = 0;
  for (size_t i = 0; i < cp932.size(); i += CharLen(cp932, i))
    if (cp932[i] == '/' || cp932[i] == '\\') start = i + 1;
  return std::string(cp932.substr(start));
}

}  // namespace

// ---------------------------------------------------------------------------
// Sheet files

DocStatus CSheetDoc::Open(const std::string& path) {
  // The times are taken before reading, which touches the access time.
  const FileTimes times = ReadFileTimes(path);
  const std::optional<std::string> data = ReadFile(path);
  if (!data) return Failed(CannotOpen(path));
  DocStatus st = Load(*data, path);
  if (!st.ok) return st;
  if (data->rfind(";Tango", 0) == 0) {
    // A Tango file becomes a new drawing named after it: saving it writes a
    // sheet file, never over the Tango file.
    title_ = Utf8ToCp932(std::filesystem::path(path).filename().string());
  } else {
    TakeFile(path, times);
  }
  return st;
}

DocStatus CSheetDoc::Load(std::string_view data, const std::string& name, bool loadTitle) {
  CSheetDoc fresh;
  CArchive ar(data);
  const FirstLine first = ReadFirstLine(ar);
  if (first.kind == FirstLine::kTango) {
    WorkSize size;
    DocStatus st = ReadTango(data, name, fresh.GetSheet(), &size);
    if (!st.ok) return st;
    if (size.width > 0 && size.height > 0) {
      // The paper whose work area the sheet's size is, else the default's.
      for (int code = kSizeA2; code <= kSizeA4P; ++code) {
        const WorkSize w = WorkSizeForCode(code);
        if (w.width == size.width && w.height == size.height) fresh.SetSizeCode(code);
      }
      fresh.SetWorkSize(size.width, size.height);
      fresh.SetViewRect(CRect(0, 0, size.width, size.height));
    }
  } else if (first.kind != FirstLine::kSheet) {
    return Refusal(first, name);
  } else {
    try {
      fresh.ReadBody(ar, first.version);
    } catch (const ArchiveError& e) {
      return Failed(Damaged(name, e));
    }
  }
  DocStatus st;
  if (loadTitle) st = fresh.LoadTitleFrame();
  *this = std::move(fresh);
  return st;
}

void CSheetDoc::ReadBody(CArchive& ar, int version) {
  HeaderFields h = ReadHeaderFields(ar, version);
  if (h.hasProperties) properties_ = std::move(h.properties);
  version_ = version;
  workWidth_ = h.width;
  workHeight_ = h.height;
  sizeCode_ = h.sizeCode;
  viewRect_ = h.hasView ? h.view : CRect(0, 0, h.width, h.height);
  ReadSheetBody(ar, version, *sheet_);
  if (ar.ReadU32() == 1) {
    ReadSheetBody(ar, version, *titleSheet_);
    ar.ReadU32();  // end
    titleSource_ = TitleSource::kEmbedded;
  }
}

// ---------------------------------------------------------------------------
// Title files

DocStatus CSheetDoc::LoadTitleFrame() {
  DocStatus st;
  if (titleSheet_->GetItemCount() > 0) return st;
  const std::string name = BaseName(GetTitleFileName());
  if (name.empty()) {
    st.warnings.push_back("用紙サイズ " + std::to_string(sizeCode_) +
                          " の図枠ファイルはありません");
    return st;
  }
  const std::string path = DataFile(Cp932ToUtf8(name));
  const std::optional<std::string> data = ReadFile(path);
  if (!data) {
    st.warnings.push_back(CannotOpen(path));
    return st;
  }
  auto scratch = std::make_unique<CSheet>(kSheetTitle);
  DocStatus read = ReadTitleFile(*data, path, *scratch);
  if (!read.ok) {
    st.warnings.push_back(read.message);
    return st;
  }
  if (scratch->GetItemCount() > 0) {
    // The frame of the paper is shown whole: the view becomes the work area.
    // A document whose frame is embedded never gets here and keeps its view.
    titleSheet_ = std::move(scratch);
    titleSource_ = TitleSource::kFile;
    viewRect_ = CRect(0, 0, workWidth_, workHeight_);
  }
  return st;
}

DocStatus CSheetDoc::ReadTitleFile(std::string_view data, const std::string& name, CSheet& into) {
  CArchive ar(data);
  const FirstLine first = ReadFirstLine(ar);
  if (first.kind == FirstLine::kTango) return ReadTango(data, name, into);
  if (first.kind != FirstLine::kSheet) return Refusal(first, name);
  // The title file's own header fields (properties, sizes, view) belong to
  // that file, not to the document that shows the frame.
  CSheet sheet(kSheetTitle);
  try {
    ReadHeaderFields(ar, first.version);
    ReadSheetBody(ar, first.version, sheet);
    if (ar.ReadU32() == 1) {
      CSheet embedded(kSheetTitle);
      ReadSheetBody(ar, first.version, embedded);
      ar.ReadU32();
    }
  } catch (const ArchiveError& e) {
    return Failed(Damaged(name, e));
  }
  into += sheet;
  return {};
}

// ---------------------------------------------------------------------------
// Text-form files

DocStatus CSheetDoc::OpenText(const std::string& path) {
  const std::optional<std::string> data = ReadFile(path);
  if (!data) return Failed(CannotOpen(path));
  DocStatus st = LoadText(*data, path);
  if (st.ok) title_ = Utf8ToCp932(std::filesystem::path(path).filename().string());
  return st;
}

DocStatus CSheetDoc::LoadText(std::string_view text, const std::string& /*name*/, bool loadTitle) {
  CSheetDoc fresh;
  CArchive ar(text);
  fresh.GetSheet().SerializeText(ar);
  DocStatus st;
  if (loadTitle) st = fresh.LoadTitleFrame();
  *this = std::move(fresh);
  return st;
}

}  // namespace tavro
