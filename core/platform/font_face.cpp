#include "core/platform/font_face.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>

namespace tavro {

void FontFace::FaceDeleter::operator()(FT_FaceRec_* face) const { FT_Done_Face(face); }

FontFace::FontFace(Key, std::unique_ptr<FT_FaceRec_, FaceDeleter> face, std::string path, int index)
    : face_(std::move(face)), path_(std::move(path)), index_(index) {
  ReadTables();
}

FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Load(FT_LibraryRec_* library, const std::string& path,
                                         int index) {
  if (!library || path.empty() || index < 0) return nullptr;
  FT_Face raw = nullptr;
  if (FT_New_Face(library, path.c_str(), index, &raw) != 0 || !raw) return nullptr;
  std::unique_ptr<FT_FaceRec_, FaceDeleter> face(raw);
  if (!FT_IS_SCALABLE(face.get()) || face->units_per_EM == 0) return nullptr;
  // Characters are looked up by Unicode; a font without a Unicode map keeps
  // whatever map FreeType chose (its characters are then mostly missing).
  FT_Select_Charmap(face.get(), FT_ENCODING_UNICODE);
  return std::make_unique<FontFace>(Key{}, std::move(face), path, index);
}

void FontFace::ReadTables() {
  FT_Face f = face_.get();
  FaceTables& t = tables_;
  t.unitsPerEm = f->units_per_EM;
  t.hheaAscent = f->ascender;
  t.hheaDescent = -f->descender;
  t.lineGap = std::max(0, f->height - (f->ascender - f->descender));
  t.maxAdvance = f->max_advance_width;

  if (const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(f, FT_SFNT_HHEA))) {
    t.hheaAscent = hhea->Ascender;
    t.hheaDescent = -hhea->Descender;
    t.lineGap = std::max<int>(0, hhea->Line_Gap);
    t.maxAdvance = hhea->advance_Width_Max;
  }
  t.winAscent = t.hheaAscent;
  t.winDescent = t.hheaDescent;

  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      t.winAscent = os2->usWinAscent;
      t.winDescent = os2->usWinDescent;
    }
    t.avgCharWidth = os2->xAvgCharWidth;
    t.firstChar = os2->usFirstCharIndex;
    t.lastChar = os2->usLastCharIndex;
    t.weightClass = os2->usWeightClass;
  } else {
    // No OS/2 table: the advance of "x" stands for the average width.
    t.avgCharWidth = Advance(U'x').value_or(t.unitsPerEm / 2);
    t.weightClass = (f->style_flags & FT_STYLE_FLAG_BOLD) ? 700 : 400;
  }
  if (t.CellUnits() <= 0) {
    t.winAscent = t.unitsPerEm * 4 / 5;
    t.winDescent = t.unitsPerEm - t.winAscent;
  }
  if (t.avgCharWidth <= 0) t.avgCharWidth = t.unitsPerEm / 2;
  if (t.maxAdvance <= 0) t.maxAdvance = t.unitsPerEm;

  FT_Fixed missing = 0;
  if (FT_Get_Advance(f, 0, FT_LOAD_NO_SCALE, &missing) == 0 && missing > 0) {
    t.missingAdvance = static_cast<int>(missing);
  } else {
    t.missingAdvance = t.avgCharWidth;
  }
}

std::optional<int> FontFace::Advance(char32_t u) {
  if (auto it = advances_.find(u); it != advances_.end()) {
    if (it->second < 0) return std::nullopt;
    return it->second;
  }
  int advance = -1;
  if (FT_UInt glyph = FT_Get_Char_Index(face_.get(), u); glyph != 0) {
    FT_Fixed a = 0;
    if (FT_Get_Advance(face_.get(), glyph, FT_LOAD_NO_SCALE, &a) == 0 && a >= 0) {
      advance = static_cast<int>(a);
    }
  }
  advances_.emplace(u, advance);
  if (advance < 0) return std::nullopt;
  return advance;
}

}  // namespace tavro
