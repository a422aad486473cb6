// CPDF: the PDF document writer. A conversion run calls Init, SetInfo, then
// NewPage once per sheet (the page's text operations ask GetFontNo for their
// font numbers, so the fonts of the whole document are collected as pages are
// made), and finally WritePDF, which writes every object in one pass: the
// pages with their deflated contents, the fonts, the page tree, the
// information dictionary, the catalog and the cross-reference table.
//
// Object numbers are handed out in this order: each NewPage takes the page
// object, the page tree (on the first page) and the page's contents object;
// WritePDF takes for every font its first object F, F+1 (descriptor, or CID
// font) and, for a Japanese font, F+2; then the information dictionary and the
// catalog. Two sheets with one single-byte and one Japanese font: pages 1 and
// 4, tree 2, contents 3 and 5, fonts 6-7 and 8-10, information 11, catalog 12.
//
// Fonts: a single-byte font is a TrueType font in WinAnsi encoding with its
// full width table; a Japanese font (character set 128) is a Type0 font over a
// CIDFontType2 font of Adobe-Japan1, read through the 90ms-RKSJ (fixed pitch)
// or 90msp-RKSJ (variable pitch) CMap, vertical for an "@" face. Metrics come
// from the font engine at an em of 1000.
//
// Two options, both off by default (the output is then exactly as above):
// - bookmarks: an outline entry per page (its title, or its number when it
//   has none) that shows the whole page; the catalog opens the outline.
// - embedded fonts: single-byte fonts carry their TrueType file (the subset of
//   the WinAnsi characters); a Japanese font whose first text is written
//   while the option is on becomes a Type0 font in Identity-H (-V) encoding
//   over the glyph ids of its file, with the real advances of the glyphs
//   used, the file (subset to the glyphs used) and a ToUnicode map, and the
//   pages write its texts as glyph ids. Pages must be bound with BindPage for
//   this (a page with only a font numberer writes Shift-JIS bytes, and its
//   Japanese fonts keep that form). A font whose file cannot be embedded is
//   written as without the option.
// The objects the options add are numbered after the catalog (outline, then
// the font files and ToUnicode maps), so every other number stays as above.
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "core/pdf/pdf_page.h"
#include "core/platform/font.h"

namespace tavro {

class EmbeddedFontFile;

// One font resource of the document.
class CPDFFont {
 public:
  CPDFFont() = default;
  CPDFFont(const LogFont& font, int fontNo) : logFont_(font), fontNo_(fontNo) {}

  int GetFontNo() const { return fontNo_; }
  void SetFontNo(int fontNo) { fontNo_ = fontNo; }
  const LogFont& GetLogFont() const { return logFont_; }
  void SetLogFont(const LogFont& font) { logFont_ = font; }
  // Fonts are the same resource when their numbers are.
  bool operator==(const CPDFFont& other) const { return fontNo_ == other.fontNo_; }
  // A record that uses this font: the same character set, face name, italic
  // flag and weight (height, width and the rest do not matter).
  bool Matches(const LogFont& font) const;

 private:
  LogFont logFont_;
  int fontNo_ = 0;
};

class CPDF {
 public:
  CPDF();
  ~CPDF();
  CPDF(const CPDF&) = delete;
  CPDF& operator=(const CPDF&) = delete;

  // Starts an empty document (the options stay as they are).
  void Init();
  // Deletes all pages and fonts.
  void DeleteContents();
  // Title, subject and author in CP932; the creation time is now.
  void SetInfo(std::string_view title, std::string_view subject, std::string_view author);
  // Numbers a copy of the page and keeps it; the copy takes over the page's
  // content, so the caller reuses the page for the next sheet. `title` (CP932)
  // is the page's bookmark.
  CPDFPage& NewPage(CPDFPage& page, std::string_view title = {});
  // Sets the bookmark of page `index` (0-based); ignored for a missing page.
  void SetPageTitle(size_t index, std::string_view title);
  // The font number of a record, made on first use.
  int GetFontNo(const LogFont& font);
  CPDFFont& NewFont(const LogFont& font);
  // Makes the page ask this document for font numbers and glyph ids.
  void BindPage(CPDFPage& page);
  // The glyph-id string of a text in font `fontNo` when that font is written
  // with glyph ids (an embedded Japanese font); nullopt otherwise.
  std::optional<std::string> EncodeText(int fontNo, std::string_view text);

  // Appends the whole document to `out` (offsets count from the start of
  // `out`). The document stays as it is; writing it again gives the same bytes.
  void WritePDF(std::string& out);

  // Walking the fonts: GetNextFont returns the font at pos and advances it,
  // nullptr at the end.
  size_t GetFirstFontPos() const { return 0; }
  const CPDFFont* GetNextFont(size_t& pos) const;
  const std::vector<std::unique_ptr<CPDFFont>>& GetFonts() const { return fonts_; }
  const std::vector<std::unique_ptr<CPDFPage>>& GetPages() const { return pages_; }

  // Options.
  void SetBookmarks(bool on) { bookmarks_ = on; }
  bool GetBookmarks() const { return bookmarks_; }
  // Takes effect for the Japanese fonts whose first text comes after it (set
  // it before the first page) and for every single-byte font when the
  // document is written.
  void SetEmbedFonts(bool on) { embedFonts_ = on; }
  bool GetEmbedFonts() const { return embedFonts_; }

  // Numbers (after WritePDF for the fonts, information and catalog).
  int GetObjectNo() const { return objectNo_; }
  int GetPagesNo() const { return pagesNo_; }
  int GetInfoNo() const { return infoNo_; }
  int GetRootNo() const { return rootNo_; }
  const std::vector<uint32_t>& GetPageNos() const { return pageNos_; }
  const std::vector<uint32_t>& GetFontNos() const { return fontNos_; }

  // A CP932 text as a UTF-16 PDF string "<FEFF...>" (empty for an empty text).
  static std::string ConvShiftStr(std::string_view text);
  // zlib stream (deflate at the default level) of `data`.
  static std::string Deflate(std::string_view data);

 protected:
  void WriteFontList();
  void WritePage(size_t i, const CPDFPage& page);
  void WriteContents(const CPDFPage& page);
  void WriteFont();
  void WriteFontAscii(int first, int fontNo, const LogFont& font);
  void WriteFontJIS(int first, int fontNo, const LogFont& font);
  void WritePages();
  void WriteInfo();
  void WriteRoot();
  void WriteOutlines();
  void WriteFontFiles();
  void WriteXref();
  void MakeObjectHead(int objNo);
  void MakeObjectTail();
  void SaveObjectNo(int objNo);
  void WriteString(std::string_view text);

 private:
  // How a font is embedded (index parallel to fonts_).
  struct FontEmbedding {
    int file = -1;          // index into files_, -1: not embedded
    bool settled = false;   // a Japanese font: its first text decided its form
    bool identity = false;  // a Japanese font written with glyph ids
    bool embedded = false;  // its file goes into this document (set by WritePDF)
  };
  struct FileObjects {
    int program = 0;        // FontFile2 stream
    int toUnicode = 0;      // ToUnicode stream (0: none)
    bool withCmap = false;  // a font addresses it by character codes
  };
  int FindOrLoadFile(const LogFont& font);
  void PrepareEmbedding();
  void NumberExtraObjects();
  std::string EmbeddedName(const FontEmbedding& e) const;
  void WriteFontIdentity(int first, int fontNo, const LogFont& font, const FontEmbedding& e);
  void WriteStream(int objNo, std::string_view data, std::string_view extraKeys);

  int32_t objectNo_ = 0;
  int32_t generation_ = 0;
  int32_t rootNo_ = 0;
  int32_t infoNo_ = 0;
  int32_t pagesNo_ = 0;
  std::time_t createTime_ = 0;
  std::string title_, subject_, creator_, author_;
  std::vector<std::pair<uint32_t, uint32_t>> xref_;
  std::vector<uint32_t> pageNos_;
  std::vector<uint32_t> fontNos_;
  std::vector<std::unique_ptr<CPDFPage>> pages_;
  std::vector<std::unique_ptr<CPDFFont>> fonts_;
  std::string* file_ = nullptr;

  int32_t collectedNo_ = 0;  // objectNo_ after the last page (WritePDF numbers from here)
  std::vector<std::string> pageTitles_;
  bool bookmarks_ = false;
  bool embedFonts_ = false;
  std::vector<FontEmbedding> embedding_;
  std::vector<std::unique_ptr<EmbeddedFontFile>> files_;
  std::vector<FileObjects> fileObjects_;
  int32_t outlinesNo_ = 0;
  std::unordered_map<unsigned, char32_t> decoded_;  // CP932 code -> Unicode
};

}  // namespace tavro
