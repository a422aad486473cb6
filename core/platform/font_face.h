// One font file loaded with FreeType, with the tables the font engine measures
// from, all in the font's design units. Faces are opened once and kept by the
// engine; advances are looked up per character and cached.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace tavro {

// Vertical and horizontal figures of a font in design units.
struct FaceTables {
  int unitsPerEm = 1000;
  int winAscent = 800;   // OS/2 usWinAscent (hhea ascender without OS/2)
  int winDescent = 200;  // OS/2 usWinDescent (-hhea descender without OS/2), positive
  int hheaAscent = 800;
  int hheaDescent = 200;  // positive
  int lineGap = 0;        // hhea line gap
  int avgCharWidth = 500;
  int maxAdvance = 1000;
  int firstChar = 0x20;  // OS/2 usFirstCharIndex
  int lastChar = 0xFFFF;
  int weightClass = 400;
  int missingAdvance = 500;  // advance of glyph 0, drawn for characters the font lacks

  // The cell: ascent + descent.
  int CellUnits() const { return winAscent + winDescent; }
};

class FontFace {
 public:
  // Opens face `index` of `path`; nullptr when FreeType cannot load it or it
  // is not a scalable font.
  static std::unique_ptr<FontFace> Load(FT_LibraryRec_* library, const std::string& path,
                                        int index);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const std::string& Path() const { return path_; }
  int Index() const { return index_; }
  const FaceTables& Tables() const { return tables_; }
  // Advance of the glyph of Unicode character `u` in design units; nullopt
  // when the font has no glyph for it.
  std::optional<int> Advance(char32_t u);

 private:
  struct FaceDeleter {
    void operator()(FT_FaceRec_* face) const;
  };

 public:
  // Only Load() can make the key, so faces are made through Load() alone.
  class Key {
    friend class FontFace;
    Key() = default;
  };
  FontFace(Key, std::unique_ptr<FT_FaceRec_, FaceDeleter> face, std::string path, int index);

 private:
  void ReadTables();

  std::unique_ptr<FT_FaceRec_, FaceDeleter> face_;
  std::string path_;
  int index_ = 0;
  FaceTables tables_;
  std::unordered_map<char32_t, int> advances_;  // -1: no glyph
};

}  // namespace tavro
