#include "core/pdf/pdf.h"

#include <zlib.h>

#include <cstdarg>
#include <cstdio>
#include <stdexcept>

#include "core/pdf/font_embed.h"
#include "core/platform/clock.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"

namespace tavro {

namespace {

std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  std::string out(n > 0 ? size_t(n) : 0, '\0');
  if (n > 0) std::vsnprintf(out.data(), out.size() + 1, fmt, args);
  va_end(args);
  return out;
}

// The face name without its ASCII blanks.
std::string BlankFree(const LogFont& font) {
  std::string out;
  for (char c : font.FaceName())
    if (c != ' ') out += c;
  return out;
}

// A PDF name of arbitrary bytes: regular characters as they are, every other
// byte (delimiters, '#', controls, bytes above 0x7E) as #XX.
std::string NameStr(std::string_view bytes) {
  static const std::string_view kDelimiters = "()<>[]{}/%#";
  std::string out = "/";
  for (unsigned char c : bytes) {
    if (c > 0x20 && c < 0x7F && kDelimiters.find(char(c)) == std::string_view::npos)
      out += char(c);
    else
      out += Format("#%02X", c);
  }
  return out;
}

// The Japanese font's name: every byte hex-escaped.
std::string HexNameStr(std::string_view bytes) {
  std::string out = "/";
  for (unsigned char c : bytes) out += Format("#%02X", c);
  return out;
}

LogFont AtEm1000(const LogFont& font) {
  LogFont f = font;
  f.height = -1000;
  return f;
}

// A font of variable pitch gives different advances to a narrow and a wide letter.
bool IsVariablePitch(const LogFont& rec) {
  FontEngine& engine = GetFontEngine();
  return engine.CharWidth(rec, -1000, 'i') != engine.CharWidth(rec, -1000, 'W');
}

std::string ToUnicodeCMap(const std::map<uint16_t, char32_t>& map) {
  std::string s =
      "/CIDInit /ProcSet findresource begin\n"
      "12 dict begin\n"
      "begincmap\n"
      "/CIDSystemInfo << /Registry (Adobe) /Ordering (UCS) /Supplement 0 >> def\n"
      "/CMapName /Adobe-Identity-UCS def\n"
      "/CMapType 2 def\n"
      "1 begincodespacerange\n"
      "<0000> <FFFF>\n"
      "endcodespacerange\n";
  auto it = map.begin();
  while (it != map.end()) {
    std::string block;
    size_t n = 0;
    for (; it != map.end() && n < 100; ++it, ++n) {
      const char32_t u = it->second;
      if (u > 0xFFFF) {
        const char32_t v = u - 0x10000;
        block += Format("<%04X> <%04X%04X>\n", it->first, unsigned(0xD800 + (v >> 10)),
                        unsigned(0xDC00 + (v & 0x3FF)));
      } else {
        block += Format("<%04X> <%04X>\n", it->first, unsigned(u));
      }
    }
    s += Format("%zu beginbfchar\n", n) + block + "endbfchar\n";
  }
  s += "endcmap\n"
       "CMapName currentdict /CMap defineresource pop\n"
       "end\n"
       "end\n";
  return s;
}

}  // namespace

// ---- CPDFFont ----

bool CPDFFont::Matches(const LogFont& font) const {
  return logFont_.charSet == font.charSet && logFont_.FaceName() == font.FaceName() &&
         logFont_.italic == font.italic && logFont_.weight == font.weight;
}

// ---- collecting ----

CPDF::CPDF() { Init(); }
CPDF::~CPDF() { DeleteContents(); }

void CPDF::Init() {
  objectNo_ = 0;
  generation_ = 0;
  rootNo_ = 0;
  infoNo_ = 0;
  pagesNo_ = 0;
  collectedNo_ = 0;
  outlinesNo_ = 0;
  createTime_ = 0;
  title_.clear();
  subject_.clear();
  creator_.clear();
  author_.clear();
  xref_.clear();
  pageNos_.clear();
  fontNos_.clear();
  DeleteContents();
}

void CPDF::DeleteContents() {
  pages_.clear();
  pageTitles_.clear();
  fonts_.clear();
  embedding_.clear();
  fileObjects_.clear();
  files_.clear();
}

void CPDF::SetInfo(std::string_view title, std::string_view subject, std::string_view author) {
  createTime_ = Now();
  title_ = ConvShiftStr(title);
  subject_ = ConvShiftStr(subject);
  author_ = ConvShiftStr(author);
  creator_ = "(Tavro)";
}

CPDFPage& CPDF::NewPage(CPDFPage& page, std::string_view title) {
  objectNo_ = collectedNo_;
  pageNos_.push_back(uint32_t(++objectNo_));
  if (pagesNo_ == 0) pagesNo_ = ++objectNo_;
  auto copy = std::make_unique<CPDFPage>(page);
  copy->SetObjNo(++objectNo_);
  pages_.push_back(std::move(copy));
  pageTitles_.emplace_back(title);
  collectedNo_ = objectNo_;
  return *pages_.back();
}

void CPDF::SetPageTitle(size_t index, std::string_view title) {
  if (index < pageTitles_.size()) pageTitles_[index] = std::string(title);
}

int CPDF::GetFontNo(const LogFont& font) {
  for (const auto& f : fonts_)
    if (f->Matches(font)) return f->GetFontNo();
  return NewFont(font).GetFontNo();
}

CPDFFont& CPDF::NewFont(const LogFont& font) {
  fonts_.push_back(std::make_unique<CPDFFont>(font, static_cast<int>(fonts_.size())));
  embedding_.push_back(FontEmbedding{});
  return *fonts_.back();
}

const CPDFFont* CPDF::GetNextFont(size_t& pos) const {
  if (pos >= fonts_.size()) return nullptr;
  return fonts_[pos++].get();
}

void CPDF::BindPage(CPDFPage& page) {
  page.SetFontNumberer([this](const LogFont& font) { return GetFontNo(font); });
  page.SetTextEncoder(
      [this](int fontNo, std::string_view text) { return EncodeText(fontNo, text); });
}

int CPDF::FindOrLoadFile(const LogFont& font) {
  const std::string path = GetFontEngine().ResolveFile(font);
  if (path.empty()) return -1;
  for (size_t i = 0; i < files_.size(); ++i)
    if (files_[i]->Path() == path) return static_cast<int>(i);
  auto file = EmbeddedFontFile::Load(path);
  if (!file) return -1;
  files_.push_back(std::move(file));
  return static_cast<int>(files_.size() - 1);
}

std::optional<std::string> CPDF::EncodeText(int fontNo, std::string_view text) {
  if (fontNo < 0 || size_t(fontNo) >= embedding_.size()) return std::nullopt;
  FontEmbedding& e = embedding_[size_t(fontNo)];
  // A Japanese font's form is settled by its first text: written with glyph
  // ids when embedding is on then and its file can be embedded, else as
  // Shift-JIS bytes for good. A page that asks for no glyph ids (no encoder)
  // never settles it, so its fonts keep the Shift-JIS form.
  const LogFont& font = fonts_[size_t(fontNo)]->GetLogFont();
  if (!e.settled && font.charSet == 128) {
    e.settled = true;
    if (embedFonts_) {
      e.file = FindOrLoadFile(font);
      e.identity = e.file >= 0;
    }
  }
  if (!e.identity) return std::nullopt;
  EmbeddedFontFile& file = *files_[size_t(e.file)];
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const size_t len = CharLen(text, i);
    unsigned code = uint8_t(text[i]);
    if (len == 2) code = code << 8 | uint8_t(text[i + 1]);
    auto it = decoded_.find(code);
    if (it == decoded_.end()) {
      std::u16string u = Cp932ToUtf16(text.substr(i, len));
      it = decoded_.emplace(code, u.size() == 1 ? char32_t(u[0]) : kReplacementChar).first;
    }
    const uint16_t gid = file.GlyphId(it->second);
    file.Use(gid, it->second);
    out += char(gid >> 8);
    out += char(gid & 0xFF);
    i += len;
  }
  return out;
}

std::string CPDF::ConvShiftStr(std::string_view text) {
  if (text.empty()) return {};
  std::string out = "<FEFF";
  for (char16_t u : Cp932ToUtf16(text)) out += Format("%04X", unsigned(u));
  out += ">";
  return out;
}

std::string CPDF::Deflate(std::string_view data) {
  z_stream z{};
  if (deflateInit(&z, Z_DEFAULT_COMPRESSION) != Z_OK) throw std::runtime_error("deflateInit");
  std::string out(deflateBound(&z, uLong(data.size())), '\0');
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = uInt(out.size());
  // Fed in pieces, then finished with a final flush.
  constexpr size_t kPiece = 1 << 16;
  size_t at = 0;
  int rc = Z_OK;
  do {
    const size_t n = std::min(kPiece, data.size() - at);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data() + at));
    z.avail_in = uInt(n);
    at += n;
    rc = deflate(&z, at == data.size() ? Z_FINISH : Z_NO_FLUSH);
  } while (at < data.size() && rc == Z_OK);
  const size_t written = out.size() - z.avail_out;
  deflateEnd(&z);
  if (rc != Z_STREAM_END) throw std::runtime_error("deflate");
  out.resize(written);
  return out;
}

// ---- writing ----

void CPDF::WriteString(std::string_view text) { file_->append(text); }

void CPDF::SaveObjectNo(int objNo) { xref_.emplace_back(uint32_t(objNo), uint32_t(file_->size())); }

void CPDF::MakeObjectHead(int objNo) {
  SaveObjectNo(objNo);
  WriteString(Format("%d %d obj\n<<\n", objNo, generation_));
}

void CPDF::MakeObjectTail() { WriteString(">>\nendobj\n"); }

void CPDF::WritePDF(std::string& out) {
  file_ = &out;
  // Numbering starts again after the pages, so a second write is the same.
  xref_.clear();
  fontNos_.clear();
  objectNo_ = collectedNo_;
  // A document without pages still has its page tree.
  if (pages_.empty()) pagesNo_ = ++objectNo_;

  WriteString("%PDF-1.2 \n");
  WriteFontList();
  infoNo_ = ++objectNo_;
  rootNo_ = ++objectNo_;
  PrepareEmbedding();
  NumberExtraObjects();
  for (size_t i = 0; i < pages_.size(); ++i) {
    WritePage(i, *pages_[i]);
    WriteContents(*pages_[i]);
  }
  if (!fonts_.empty()) WriteFont();
  WritePages();
  WriteInfo();
  WriteRoot();
  if (bookmarks_) WriteOutlines();
  WriteFontFiles();
  WriteXref();
  file_ = nullptr;
}

void CPDF::WriteFontList() {
  for (const auto& f : fonts_) {
    const int first = ++objectNo_;
    fontNos_.push_back(uint32_t(first));
    ++objectNo_;
    if (f->GetLogFont().charSet == 128) ++objectNo_;
  }
}

void CPDF::PrepareEmbedding() {
  for (size_t i = 0; i < fonts_.size(); ++i) {
    FontEmbedding& e = embedding_[i];
    const LogFont& font = fonts_[i]->GetLogFont();
    e.embedded = e.identity;
    if (e.identity || font.charSet == 128 || !embedFonts_) continue;
    if (e.file < 0) e.file = FindOrLoadFile(font);
    if (e.file < 0) continue;
    e.embedded = true;
    // The glyphs of every code the WinAnsi encoding can address.
    EmbeddedFontFile& file = *files_[size_t(e.file)];
    const FontMetrics m = GetFontEngine().Metrics(AtEm1000(font), -1000);
    for (int code = m.firstChar; code <= m.lastChar && code <= 0xFF; ++code) {
      if (code < 0) continue;
      const char32_t u = WinAnsiToUnicode(unsigned(code));
      if (u == 0) continue;
      if (const uint16_t gid = file.GlyphId(u); gid != 0) file.Use(gid, u);
    }
  }
}

void CPDF::NumberExtraObjects() {
  outlinesNo_ = 0;
  if (bookmarks_) {
    outlinesNo_ = ++objectNo_;
    objectNo_ += static_cast<int32_t>(pages_.size());
  }
  fileObjects_.assign(files_.size(), FileObjects{});
  for (const FontEmbedding& e : embedding_) {
    if (!e.embedded) continue;
    FileObjects& o = fileObjects_[size_t(e.file)];
    if (o.program == 0) o.program = ++objectNo_;
    if (e.identity && o.toUnicode == 0) o.toUnicode = ++objectNo_;
    if (!e.identity) o.withCmap = true;
  }
}

void CPDF::WritePage(size_t i, const CPDFPage& page) {
  MakeObjectHead(int(pageNos_[i]));
  WriteString("/Type /Page\n");
  WriteString(Format("/Parent %d %d R\n", pagesNo_, generation_));
  // A page of an unknown size takes the page tree's box.
  if (CPDFPage::IsKnownPageSize(page.GetPageSize()))
    WriteString(std::string("/MediaBox [0 0 ") + CPDFPage::MediaBoxStr(page.GetPageSize()) +
                " ]\n");
  WriteString("/Resources <<\n");
  if (!fonts_.empty()) {
    WriteString("/Font <<\n");
    for (size_t n = 0; n < fonts_.size(); ++n)
      WriteString(
          Format("/F%d %u %d R\n", fonts_[n]->GetFontNo(), unsigned(fontNos_[n]), generation_));
    WriteString(">>\n");
    WriteString("/ProcSet [/PDF /Text]\n");
    WriteString(">>\n");
  } else {
    WriteString("/ProcSet [/PDF]\n");
    WriteString(">>\n");
  }
  if (page.GetStreamSize() != 0)
    WriteString(Format("/Contents %d %d R\n", page.GetObjNo(), generation_));
  MakeObjectTail();
}

void CPDF::WriteContents(const CPDFPage& page) {
  const std::string packed = Deflate(page.GetStream());
  MakeObjectHead(page.GetObjNo());
  WriteString(Format("/Length %zu /Filter /FlateDecode >>\n", packed.size() + 1));
  WriteString("stream\n");
  WriteString(packed);
  WriteString("\n");
  WriteString("endstream\n");
  WriteString("endobj\n");
}

void CPDF::WriteFont() {
  for (size_t n = 0; n < fonts_.size(); ++n) {
    MakeObjectHead(int(fontNos_[n]));
    WriteString("/Type /Font\n");
    for (size_t k = 0; k < fonts_.size(); ++k) {
      const CPDFFont& f = *fonts_[k];
      if (f.GetFontNo() != int(n)) continue;
      const int first = int(fontNos_[n]);
      if (f.GetLogFont().charSet == 128) {
        if (embedding_[k].identity)
          WriteFontIdentity(first, int(n), f.GetLogFont(), embedding_[k]);
        else
          WriteFontJIS(first, int(n), f.GetLogFont());
      } else {
        WriteFontAscii(first, int(n), f.GetLogFont());
      }
      break;
    }
    MakeObjectTail();
  }
}

std::string CPDF::EmbeddedName(const FontEmbedding& e) const {
  const EmbeddedFontFile& file = *files_[size_t(e.file)];
  return (file.IsSubset() ? file.SubsetTag() + "+" : std::string()) + file.PostScriptName();
}

void CPDF::WriteFontAscii(int first, int fontNo, const LogFont& font) {
  const LogFont rec = AtEm1000(font);
  FontEngine& engine = GetFontEngine();
  const FontMetrics m = engine.Metrics(rec, -1000);
  const FontEmbedding* e = nullptr;
  if (size_t(fontNo) < fonts_.size()) {
    for (size_t k = 0; k < fonts_.size(); ++k)
      if (fonts_[k]->GetFontNo() == fontNo && embedding_[k].embedded) e = &embedding_[k];
  }
  const EmbeddedFontFile* file = e ? files_[size_t(e->file)].get() : nullptr;
  const std::string base =
      NameStr(file && !file->PostScriptName().empty() ? EmbeddedName(*e) : BlankFree(font));

  WriteString("/Subtype /TrueType\n");
  WriteString("/Encoding /WinAnsiEncoding\n");
  WriteString(Format("/FirstChar %d\n", m.firstChar));
  WriteString(Format("/LastChar %d\n", m.lastChar));
  WriteString("/BaseFont " + base + "\n");
  WriteString(Format("/Name /F%d\n", fontNo));
  WriteString("/Widths [\n");
  std::string widths;
  for (int code = m.firstChar; code <= m.lastChar; ++code) {
    widths += Format("%d ", engine.CharWidth(rec, -1000, unsigned(code)));
    if (code % 16 == 15) widths += "\n";
  }
  WriteString(widths);
  WriteString("]\n");
  WriteString(Format("/FontDescriptor %d %d R\n", first + 1, generation_));
  MakeObjectTail();

  MakeObjectHead(first + 1);
  WriteString("/Type /FontDescriptor\n");
  WriteString("/Subtype /TrueType\n");
  WriteString("/Encoding /WinAnsiEncoding\n");
  WriteString("/Flags 32\n");
  if (file) {
    const auto b = file->BBox1000();
    WriteString(Format("/FontBBox [ %d %d %d %d ]\n", b[0], b[1], b[2], b[3]));
  } else {
    WriteString("/FontBBox [ -250 -212 1205 1000 ]\n");
  }
  WriteString("/MissingWidth 275\n");
  WriteString("/FontName " + base + "\n");
  WriteString("/StemV 80\n/StemH 80\n");
  WriteString(
      Format("/ItalicAngle %d\n/CapHeight %d\n", int(font.italic), m.ascent + m.externalLeading));
  WriteString(Format("/Ascent %d\n/Descent %d\n/Leading %d\n/MaxWidth 1004\n/AvgWidth %d\n",
                     m.ascent, -m.descent, m.internalLeading + m.externalLeading, m.aveCharWidth));
  if (file)
    WriteString(Format("/FontFile2 %d %d R\n", fileObjects_[size_t(e->file)].program, generation_));
}

void CPDF::WriteFontJIS(int first, int fontNo, const LogFont& font) {
  // The fonts' objects are written even when no Japanese face is set
  // ("Default"/"FontJ" empty): their numbers are taken, so the
  // cross-reference table must find them.
  const LogFont rec = AtEm1000(font);
  const FontMetrics m = GetFontEngine().Metrics(rec, -1000);
  const std::string face = BlankFree(font);
  const std::string name = HexNameStr(face);
  const bool vertical = !face.empty() && face[0] == '@';

  WriteString("/Subtype /Type0\n");
  WriteString("/BaseFont " + name + "\n");
  WriteString(Format("/Name /F%d\n", fontNo));
  WriteString(Format("/DescendantFonts [%d %d R]\n", first + 1, generation_));
  if (IsVariablePitch(rec))
    WriteString(vertical ? "/Encoding /90msp-RKSJ-V\n" : "/Encoding /90msp-RKSJ-H\n");
  else
    WriteString(vertical ? "/Encoding /90ms-RKSJ-V\n" : "/Encoding /90ms-RKSJ-H\n");
  MakeObjectTail();

  MakeObjectHead(first + 1);
  WriteString("/Type /Font\n");
  WriteString("/Subtype /CIDFontType2\n");
  WriteString("/BaseFont " + name + "\n");
  WriteString(Format("/WinCharSet 128/FontDescriptor %d %d R\n", first + 2, generation_));
  WriteString("/CIDSystemInfo\n");
  WriteString("<<\n/Registry(Adobe)\n/Ordering(Japan1)\n/Supplement 2\n>>\n");
  WriteString("/DW 1000\n");
  WriteString("/W [\n");
  WriteString("231 389 500\n");
  WriteString("]\n");
  MakeObjectTail();

  MakeObjectHead(first + 2);
  WriteString("/Type /FontDescriptor\n");
  WriteString("/FontName " + name + "\n");
  WriteString("/Flags 7\n");
  WriteString("/FontBBox [ -100 -141 1100 1000 ]\n");
  WriteString("/MissingWidth 500\n");
  WriteString("/StemV 91\n");
  WriteString("/StemH 91\n");
  WriteString(Format("/ItalicAngle 0\n/CapHeight %d\n", m.ascent + m.externalLeading));
  WriteString("/XHeight 430\n");
  WriteString(Format("/Ascent %d\n/Descent %d\n/Leading %d\n/MaxWidth %d\n/AvgWidth %d\n", m.ascent,
                     -m.descent, m.internalLeading + m.externalLeading, m.maxCharWidth,
                     m.aveCharWidth));
}

void CPDF::WriteFontIdentity(int first, int fontNo, const LogFont& font, const FontEmbedding& e) {
  const LogFont rec = AtEm1000(font);
  const FontMetrics m = GetFontEngine().Metrics(rec, -1000);
  const EmbeddedFontFile& file = *files_[size_t(e.file)];
  const FileObjects& objects = fileObjects_[size_t(e.file)];
  const std::string face = BlankFree(font);
  const std::string name = NameStr(file.PostScriptName().empty() ? face : EmbeddedName(e));
  const bool vertical = !face.empty() && face[0] == '@';

  WriteString("/Subtype /Type0\n");
  WriteString("/BaseFont " + name + "\n");
  WriteString(Format("/Name /F%d\n", fontNo));
  WriteString(Format("/DescendantFonts [%d %d R]\n", first + 1, generation_));
  WriteString(vertical ? "/Encoding /Identity-V\n" : "/Encoding /Identity-H\n");
  WriteString(Format("/ToUnicode %d %d R\n", objects.toUnicode, generation_));
  MakeObjectTail();

  MakeObjectHead(first + 1);
  WriteString("/Type /Font\n");
  WriteString("/Subtype /CIDFontType2\n");
  WriteString("/BaseFont " + name + "\n");
  WriteString(Format("/FontDescriptor %d %d R\n", first + 2, generation_));
  WriteString("/CIDSystemInfo\n");
  WriteString("<<\n/Registry(Adobe)\n/Ordering(Identity)\n/Supplement 0\n>>\n");
  WriteString("/DW 1000\n");
  WriteString("/W [\n");
  // Runs of consecutive glyph ids: "first [w1 w2 ...]".
  std::string w;
  const std::set<uint16_t>& used = file.Used();
  for (auto it = used.begin(); it != used.end();) {
    unsigned expect = *it;
    std::string run = Format("%u [", expect);
    for (; it != used.end() && *it == expect; ++it, ++expect)
      run += Format("%d ", file.Advance1000(*it));
    run.back() = ']';
    w += run + "\n";
  }
  WriteString(w);
  WriteString("]\n");
  WriteString("/CIDToGIDMap /Identity\n");
  MakeObjectTail();

  MakeObjectHead(first + 2);
  const auto b = file.BBox1000();
  WriteString("/Type /FontDescriptor\n");
  WriteString("/FontName " + name + "\n");
  WriteString("/Flags 4\n");
  WriteString(Format("/FontBBox [ %d %d %d %d ]\n", b[0], b[1], b[2], b[3]));
  WriteString("/MissingWidth 500\n");
  WriteString("/StemV 91\n");
  WriteString("/StemH 91\n");
  WriteString(Format("/ItalicAngle 0\n/CapHeight %d\n", m.ascent + m.externalLeading));
  WriteString("/XHeight 430\n");
  WriteString(Format("/Ascent %d\n/Descent %d\n/Leading %d\n/MaxWidth %d\n/AvgWidth %d\n", m.ascent,
                     -m.descent, m.internalLeading + m.externalLeading, m.maxCharWidth,
                     m.aveCharWidth));
  WriteString(Format("/FontFile2 %d %d R\n", objects.program, generation_));
}

void CPDF::WritePages() {
  MakeObjectHead(pagesNo_);
  WriteString("/Type /Pages\n");
  std::string kids = "/Kids [";
  for (uint32_t no : pageNos_) kids += Format("%u %d R ", unsigned(no), generation_);
  WriteString(kids + "]\n");
  WriteString(Format("/Count %zu\n", pages_.size()));
  WriteString("/MediaBox [0 0 842 595 ]\n");
  MakeObjectTail();
}

void CPDF::WriteInfo() {
  MakeObjectHead(infoNo_);
  if (!title_.empty()) WriteString("/Title " + title_ + "\n");
  if (!subject_.empty()) WriteString("/Subject " + subject_ + "\n");
  if (!author_.empty()) WriteString("/Author " + author_ + "\n");
  WriteString("/Creator " + (creator_.empty() ? std::string("(Tavro)") : creator_) + "\n");
  WriteString("/CreationDate (" + FormatTime("D:%Y%m%d%H%M%S", createTime_) + ")\n");
  WriteString("/Producer (TAVRO to PDF Converter Ver1.00)\n");
  MakeObjectTail();
}

void CPDF::WriteRoot() {
  MakeObjectHead(rootNo_);
  WriteString("/Type /Catalog\n");
  WriteString(Format("/Pages %d %d R\n", pagesNo_, generation_));
  if (bookmarks_) {
    WriteString(Format("/Outlines %d %d R\n", outlinesNo_, generation_));
    WriteString("/PageMode /UseOutlines\n");
  }
  MakeObjectTail();
}

void CPDF::WriteOutlines() {
  const int count = static_cast<int>(pages_.size());
  MakeObjectHead(outlinesNo_);
  WriteString("/Type /Outlines\n");
  if (count > 0) {
    WriteString(Format("/First %d %d R\n", outlinesNo_ + 1, generation_));
    WriteString(Format("/Last %d %d R\n", outlinesNo_ + count, generation_));
  }
  WriteString(Format("/Count %d\n", count));
  MakeObjectTail();
  for (int i = 0; i < count; ++i) {
    const int no = outlinesNo_ + 1 + i;
    const std::string& title = pageTitles_[size_t(i)];
    MakeObjectHead(no);
    WriteString("/Title " + ConvShiftStr(title.empty() ? std::to_string(i + 1) : title) + "\n");
    WriteString(Format("/Parent %d %d R\n", outlinesNo_, generation_));
    if (i > 0) WriteString(Format("/Prev %d %d R\n", no - 1, generation_));
    if (i + 1 < count) WriteString(Format("/Next %d %d R\n", no + 1, generation_));
    WriteString(Format("/Dest [%u %d R /Fit]\n", unsigned(pageNos_[size_t(i)]), generation_));
    MakeObjectTail();
  }
}

void CPDF::WriteStream(int objNo, std::string_view data, std::string_view extraKeys) {
  MakeObjectHead(objNo);
  WriteString(Format("/Length %zu ", data.size()));
  WriteString(extraKeys);
  WriteString("/Filter /FlateDecode >>\n");
  WriteString("stream\n");
  WriteString(data);
  WriteString("\nendstream\nendobj\n");
}

void CPDF::WriteFontFiles() {
  for (size_t f = 0; f < files_.size() && f < fileObjects_.size(); ++f) {
    const FileObjects& o = fileObjects_[f];
    if (o.program == 0) continue;
    const std::string program = files_[f]->Program(o.withCmap);
    WriteStream(o.program, Deflate(program), Format("/Length1 %zu ", program.size()));
    if (o.toUnicode != 0)
      WriteStream(o.toUnicode, Deflate(ToUnicodeCMap(files_[f]->ToUnicode())), "");
  }
}

void CPDF::WriteXref() {
  const size_t start = file_->size();
  std::vector<int64_t> offsets(size_t(objectNo_) + 1, -1);
  for (const auto& [no, offset] : xref_)
    if (no <= uint32_t(objectNo_) && offsets[no] < 0) offsets[no] = offset;
  std::string table = Format("xref\n0 %d\n", objectNo_ + 1);
  table += "0000000000 65535 f \n";
  for (int no = 1; no <= objectNo_; ++no) {
    if (offsets[size_t(no)] >= 0)
      table += Format("%010lld 00000 n \n", static_cast<long long>(offsets[size_t(no)]));
    else
      table += "0000000000 65535 f \n";  // never written (does not happen)
  }
  WriteString(table);
  WriteString("trailer\n");
  WriteString("<<\n");
  WriteString(Format("/Size %d\n", objectNo_ + 1));
  WriteString(Format("/Root %d %d R\n", rootNo_, generation_));
  WriteString(Format("/Info %d %d R\n", infoNo_, generation_));
  WriteString(">>\n");
  WriteString("startxref\n");
  WriteString(Format("%zu\n", start));
  WriteString("%%EOF\n");
}

}  // namespace tavro
