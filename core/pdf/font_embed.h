// Font files embedded into a PDF, so the document shows the same glyphs on a
// machine without the fonts.
//
// A font file is opened with FreeType (its Unicode cmap gives the glyph id of
// a character, its hmtx the advances) and collects the glyphs the document
// uses. What is embedded is a TrueType subset that keeps every glyph slot, so
// glyph ids stay those of the original file (text written as glyph ids and
// an /Identity CIDToGIDMap stay valid):
// - the glyph data of unused glyphs is emptied; glyph 0 (.notdef) and the
//   components of every kept composite glyph (recursively) are kept;
// - loca is rebuilt (short form while the offsets fit, else long, with
//   head.indexToLocFormat to match), every table checksum and the head's
//   checkSumAdjustment are recomputed;
// - only the tables a PDF viewer uses to draw are kept (outlines, metrics,
//   hinting, names, and the cmap where a font uses character codes); layout,
//   vertical-metric and bitmap tables and the glyph names of post go.
// A file of a collection (.ttc) gives its first face as a standalone font.
// Fonts whose OS/2 fsType forbids embedding (restricted licence, bitmap only)
// are not embedded; fsType "no subsetting" embeds every glyph.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace tavro {

// The TrueType font of face `faceIndex` of `file` (an sfnt or a collection)
// with the glyph data of every glyph not in `keep` emptied (glyph 0 and
// composite components are always kept). The cmap (which a font addressed by
// glyph ids does not need) only `withCmap`; post without glyph names. nullopt
// when the file is not a TrueType-outline font or is damaged.
std::optional<std::string> SubsetTrueType(std::string_view file, const std::set<uint16_t>& keep,
                                          bool withCmap = true, int faceIndex = 0);

// How a font file may be embedded, from OS/2 fsType.
struct EmbeddingRights {
  bool embeddable = true;
  bool subsettable = true;
};
EmbeddingRights ReadEmbeddingRights(std::string_view file, int faceIndex = 0);

class EmbeddedFontFile {
 public:
  // nullptr when the file cannot be read, is not a TrueType-outline font, or
  // may not be embedded.
  static std::unique_ptr<EmbeddedFontFile> Load(const std::string& path);
  // Only Load() can make the key, so files are made through Load() alone.
  class Key {
    friend class EmbeddedFontFile;
    Key() = default;
  };
  explicit EmbeddedFontFile(Key) {}
  ~EmbeddedFontFile();
  EmbeddedFontFile(const EmbeddedFontFile&) = delete;
  EmbeddedFontFile& operator=(const EmbeddedFontFile&) = delete;

  const std::string& Path() const { return path_; }
  // The font's PostScript name ("IPAGothic"), "" when it has none.
  const std::string& PostScriptName() const { return psName_; }
  // Glyph id of a Unicode character (0 when the font lacks it).
  uint16_t GlyphId(char32_t u) const;
  // Advance of a glyph at an em of 1000.
  int Advance1000(uint16_t gid) const;
  // Font bounding box (xMin, yMin, xMax, yMax) at an em of 1000.
  std::array<int, 4> BBox1000() const;

  // Records that the document draws glyph `gid` for character `u`.
  void Use(uint16_t gid, char32_t u);
  const std::set<uint16_t>& Used() const { return used_; }
  // Glyph -> the first character drawn with it (for the ToUnicode map).
  const std::map<uint16_t, char32_t>& ToUnicode() const { return toUnicode_; }

  // Whether the embedded program is a subset (then the name gets a tag).
  bool IsSubset() const { return rights_.subsettable; }
  // Six capital letters derived from the file and the glyphs used.
  std::string SubsetTag() const;
  // The font program to embed (the subset, or every glyph when the font
  // forbids subsetting), with its cmap when a font addresses it by character
  // codes; empty when it cannot be built.
  std::string Program(bool withCmap) const;
  // Length of the original file (the /Length1 of an unsubsetted program).
  size_t FileSize() const { return data_.size(); }

 private:
  struct FaceDeleter {
    void operator()(FT_FaceRec_* face) const;
  };
  struct LibraryDeleter {
    void operator()(FT_LibraryRec_* library) const;
  };

  std::string path_;
  std::string data_;  // the file; FreeType reads the face from it
  std::unique_ptr<FT_LibraryRec_, LibraryDeleter> library_;
  std::unique_ptr<FT_FaceRec_, FaceDeleter> face_;  // after library_: destroyed first
  std::string psName_;
  EmbeddingRights rights_;
  std::set<uint16_t> used_;
  std::map<uint16_t, char32_t> toUnicode_;
};

// The Unicode character of a WinAnsi (Windows-1252) code; 0 for the codes
// that have none.
char32_t WinAnsiToUnicode(unsigned code);

}  // namespace tavro
