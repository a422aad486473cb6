// CSheetDoc: construction, new documents, the fields, title file names and
// writing. Reading lives in document_read.cpp.
#include "core/file/document.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <utility>

#include "core/file/archive.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

// Paper sizes in mils (landscape: width, height) of A2, A3 and A4, used when
// the settings hold no work size.
constexpr std::array<WorkSize, 3> kPaper = {{{23386, 16535}, {16535, 11693}, {11693, 8268}}};

constexpr std::string_view kTitleFileKey = "&TitleFile&";

// Up to three numbers of a "%u %u %u" setting; missing or unreadable entries
// (and zero) keep the built-in values.
std::array<int32_t, 3> ReadTriple(std::string_view key, bool heights) {
  std::array<int32_t, 3> v{};
  for (size_t i = 0; i < 3; ++i) v[i] = heights ? kPaper[i].height : kPaper[i].width;
  const std::string s = AppSettings().GetString("Sheet", key);
  size_t pos = 0;
  for (size_t i = 0; i < 3; ++i) {
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
    int64_t n = 0;
    size_t start = pos;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && n < 100000000)
      n = n * 10 + (s[pos++] - '0');
    if (pos == start) break;
    if (n > 0) v[i] = static_cast<int32_t>(n);
  }
  return v;
}

std::time_t Seconds(const struct statx_timestamp& t) { return static_cast<std::time_t>(t.tv_sec); }

// The creation time recorded on a file; nullopt when there is none or it is
// not a plain decimal number.
std::optional<std::time_t> RecordedCreationTime(const std::string& path) {
  char buf[32];
  const ssize_t n = ::getxattr(path.c_str(), kCreationTimeAttribute, buf, sizeof buf);
  if (n <= 0) return std::nullopt;
  const std::string_view text(buf, static_cast<size_t>(n));
  std::time_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

FileTimes ReadFileTimes(const std::string& path) {
  FileTimes t;
  struct statx stx {};
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BASIC_STATS | STATX_BTIME, &stx) != 0) return t;
  t.lastWrite = Seconds(stx.stx_mtime);
  t.lastAccess = Seconds(stx.stx_atime);
  if (const std::optional<std::time_t> recorded = RecordedCreationTime(path)) {
    t.creation = *recorded;
  } else {
    t.creation =
        (stx.stx_mask & STATX_BTIME) != 0 ? Seconds(stx.stx_btime) : Seconds(stx.stx_ctime);
  }
  return t;
}

bool SetFileCreationTime(const std::string& path, std::time_t t) {
  const std::string text = std::to_string(t);
  return ::setxattr(path.c_str(), kCreationTimeAttribute, text.data(), text.size(), 0) == 0;
}

// ---------------------------------------------------------------------------
// Construction and new documents

CSheetDoc::CSheetDoc()
    : sheet_(std::make_unique<CSheet>(kSheetMain)),
      titleSheet_(std::make_unique<CSheet>(kSheetTitle)) {
  Reset();
}

CSheetDoc::CSheetDoc(CSheetDoc&&) noexcept = default;
CSheetDoc& CSheetDoc::operator=(CSheetDoc&&) noexcept = default;
CSheetDoc::~CSheetDoc() = default;

void CSheetDoc::Reset() {
  sheet_->DeleteContents();
  titleSheet_->DeleteContents();
  sheet_->SetVersion(kFileVersion);
  titleSheet_->SetVersion(kFileVersion);
  titleSource_ = TitleSource::kNone;
  properties_.clear();
  int code = AppSettings().GetInt("Sheet", "Work");
  if (code < kSizeA2 || code > kSizeA4P) code = kSizeA3;
  sizeCode_ = code;
  const WorkSize size = WorkSizeForCode(code);
  workWidth_ = size.width;
  workHeight_ = size.height;
  viewRect_ = CRect(0, 0, workWidth_, workHeight_);
  version_ = kFileVersion;
  path_.clear();
  title_ = J("無題");
  times_ = {};
}

DocStatus CSheetDoc::NewDocument() {
  Reset();
  return LoadTitleFrame();
}

// ---------------------------------------------------------------------------
// Fields

std::string CSheetDoc::GetProperty(std::string_view key) const {
  for (const std::string& p : properties_) {
    if (p.size() < key.size() + 2 || p[0] != '&') continue;
    if (!EqualNoCase(std::string_view(p).substr(1, key.size()), key)) continue;
    if (p[key.size() + 1] != '&') continue;
    return p.substr(key.size() + 2);
  }
  return {};
}

void CSheetDoc::SetWorkSize(int32_t width, int32_t height) {
  workWidth_ = width;
  workHeight_ = height;
}

// ---------------------------------------------------------------------------
// Title files and paper

std::string CSheetDoc::TitleFileNameForSize(int sizeCode) {
  char buf[32];
  if (sizeCode >= kSizeA2 && sizeCode <= kSizeA4) {
    std::snprintf(buf, sizeof buf, "Title.A%d", sizeCode + 2);
  } else if (sizeCode >= kSizeA2P && sizeCode <= kSizeA4P) {
    std::snprintf(buf, sizeof buf, "Title.A%dP", sizeCode - 1);
  } else {
    return {};
  }
  return buf;
}

std::string CSheetDoc::GetTitleFileName() const {
  for (const std::string& p : properties_) {
    if (p.size() > kTitleFileKey.size() &&
        EqualNoCase(std::string_view(p).substr(0, kTitleFileKey.size()), kTitleFileKey))
      return p.substr(kTitleFileKey.size());
  }
  return TitleFileNameForSize(sizeCode_);
}

const char* CSheetDoc::PaperName(int sizeCode) {
  static const char* const kNames[] = {"A2横", "A3横", "A4横", "A2縦", "A3縦", "A4縦"};
  if (sizeCode < kSizeA2 || sizeCode > kSizeA4P) return "";
  return kNames[sizeCode];
}

WorkSize CSheetDoc::WorkSizeForCode(int sizeCode) {
  const std::array<int32_t, 3> widths = ReadTriple("Work Width", false);
  const std::array<int32_t, 3> heights = ReadTriple("Work Height", true);
  if (sizeCode >= kSizeA2 && sizeCode <= kSizeA4) return {widths[sizeCode], heights[sizeCode]};
  if (sizeCode >= kSizeA2P && sizeCode <= kSizeA4P)
    return {heights[sizeCode - 3], widths[sizeCode - 3]};
  return {widths[kSizeA3], heights[kSizeA3]};
}

// ---------------------------------------------------------------------------
// Writing

std::string CSheetDoc::Write(bool titleInclude) const {
  CArchive ar;
  ar.WriteText(kHeaderLine);
  ar.WriteU32(900);
  ar.WriteU32(static_cast<uint32_t>(properties_.size()));
  for (const std::string& p : properties_) ar.WriteString(p);
  ar.WriteU32(1);
  ar.WriteI32(workWidth_);
  ar.WriteI32(workHeight_);
  ar.WriteI32(sizeCode_);
  ar.WriteU32(2);
  ar.WriteRect(viewRect_);
  sheet_->DataWrite(ar);
  if (titleInclude) {
    ar.WriteU32(1);
    titleSheet_->DataWrite(ar);
    ar.WriteU32(0);
  } else {
    ar.WriteU32(0);
  }
  return ar.TakeBuffer();
}

std::string CSheetDoc::WriteText() const {
  CArchive ar;
  sheet_->SerializeText(ar);
  return ar.TakeBuffer();
}

DocStatus CSheetDoc::Save(const std::string& path) {
  return Save(path, AppSettings().GetInt("FileSave", "TitleInclude") != 0);
}

DocStatus CSheetDoc::Save(const std::string& path, bool titleInclude) {
  const std::string bytes = Write(titleInclude);
  std::string error;
  if (!WriteFileAtomic(path, bytes, &error)) {
    return {false, "ファイル " + path + " を作成できません (" + error + ")", {}};
  }
  version_ = kFileVersion;
  TakeFile(path, ReadFileTimes(path));
  return {};
}

void CSheetDoc::TakeFile(const std::string& path, const FileTimes& times) {
  path_ = path;
  title_ = Utf8ToCp932(std::filesystem::path(path).filename().string());
  times_ = times;
}

}  // namespace tavro
