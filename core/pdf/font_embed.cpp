#include "core/pdf/font_embed.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/platform/paths.h"

namespace tavro {

namespace {

constexpr uint32_t Tag(const char (&s)[5]) {
  return uint32_t(uint8_t(s[0])) << 24 | uint32_t(uint8_t(s[1])) << 16 |
         uint32_t(uint8_t(s[2])) << 8 | uint32_t(uint8_t(s[3]));
}

uint16_t U16(std::string_view d, size_t o) {
  return static_cast<uint16_t>(uint8_t(d[o]) << 8 | uint8_t(d[o + 1]));
}
uint32_t U32(std::string_view d, size_t o) { return uint32_t(U16(d, o)) << 16 | U16(d, o + 2); }
void Put16(std::string& s, uint16_t v) {
  s += char(v >> 8);
  s += char(v & 0xFF);
}
void Put32(std::string& s, uint32_t v) {
  Put16(s, uint16_t(v >> 16));
  Put16(s, uint16_t(v & 0xFFFF));
}
void Set16(std::string& s, size_t o, uint16_t v) {
  s[o] = char(v >> 8);
  s[o + 1] = char(v & 0xFF);
}
void Set32(std::string& s, size_t o, uint32_t v) {
  Set16(s, o, uint16_t(v >> 16));
  Set16(s, o + 2, uint16_t(v & 0xFFFF));
}

// Sum of the big-endian 32-bit words of `d`, zero-padded to a multiple of 4.
uint32_t CheckSum(std::string_view d) {
  uint32_t sum = 0;
  size_t i = 0;
  for (; i + 4 <= d.size(); i += 4) sum += U32(d, i);
  if (i < d.size()) {
    uint32_t last = 0;
    for (size_t k = 0; k < 4; ++k) last = last << 8 | (i + k < d.size() ? uint8_t(d[i + k]) : 0);
    sum += last;
  }
  return sum;
}

// The tables of one face, by tag; nullopt when the file is not a TrueType
// sfnt (or a collection of them) or a table lies outside the file.
std::optional<std::map<uint32_t, std::string_view>> ReadTables(std::string_view file,
                                                               int faceIndex) {
  if (file.size() < 12 || faceIndex < 0) return std::nullopt;
  size_t base = 0;
  if (U32(file, 0) == Tag("ttcf")) {
    uint32_t count = U32(file, 8);
    if (static_cast<uint32_t>(faceIndex) >= count) return std::nullopt;
    size_t at = 12 + 4 * size_t(faceIndex);
    if (at + 4 > file.size()) return std::nullopt;
    base = U32(file, at);
  } else if (faceIndex != 0) {
    return std::nullopt;
  }
  if (base + 12 > file.size()) return std::nullopt;
  uint32_t version = U32(file, base);
  if (version != 0x00010000 && version != Tag("true")) return std::nullopt;
  size_t numTables = U16(file, base + 4);
  if (base + 12 + 16 * numTables > file.size()) return std::nullopt;
  std::map<uint32_t, std::string_view> tables;
  for (size_t i = 0; i < numTables; ++i) {
    size_t rec = base + 12 + 16 * i;
    uint32_t tag = U32(file, rec);
    uint64_t offset = U32(file, rec + 8), length = U32(file, rec + 12);
    if (offset + length > file.size()) return std::nullopt;
    tables.emplace(tag, file.substr(size_t(offset), size_t(length)));
  }
  for (uint32_t need : {Tag("head"), Tag("maxp"), Tag("loca"), Tag("glyf")})
    if (!tables.count(need)) return std::nullopt;
  if (tables[Tag("head")].size() < 54 || tables[Tag("maxp")].size() < 6) return std::nullopt;
  return tables;
}

// Adds the components of a composite glyph to `out`.
void Components(std::string_view glyph, std::vector<uint16_t>& out) {
  if (glyph.size() < 10 || int16_t(U16(glyph, 0)) >= 0) return;
  size_t at = 10;
  for (;;) {
    if (at + 4 > glyph.size()) return;
    uint16_t flags = U16(glyph, at);
    out.push_back(U16(glyph, at + 2));
    at += 4;
    at += (flags & 0x0001) ? 4 : 2;  // arguments as words or bytes
    if (flags & 0x0008)
      at += 2;  // one scale
    else if (flags & 0x0040)
      at += 4;  // x and y scale
    else if (flags & 0x0080)
      at += 8;                      // two by two
    if (!(flags & 0x0020)) return;  // no more components
  }
}

constexpr uint32_t kKeptTables[] = {Tag("OS/2"), Tag("cmap"), Tag("cvt "), Tag("fpgm"), Tag("gasp"),
                                    Tag("glyf"), Tag("head"), Tag("hhea"), Tag("hmtx"), Tag("loca"),
                                    Tag("maxp"), Tag("name"), Tag("post"), Tag("prep")};

}  // namespace

std::optional<std::string> SubsetTrueType(std::string_view file, const std::set<uint16_t>& keep,
                                          bool withCmap, int faceIndex) {
  auto parsed = ReadTables(file, faceIndex);
  if (!parsed) return std::nullopt;
  auto& tables = *parsed;
  std::string_view head = tables[Tag("head")], loca = tables[Tag("loca")],
                   glyf = tables[Tag("glyf")];
  const size_t numGlyphs = U16(tables[Tag("maxp")], 4);
  const bool shortLoca = int16_t(U16(head, 50)) == 0;
  if (loca.size() < (numGlyphs + 1) * (shortLoca ? 2 : 4)) return std::nullopt;

  // Where each glyph's data lies; a damaged entry is an empty glyph.
  auto offset = [&](size_t i) -> uint64_t {
    return shortLoca ? uint64_t(U16(loca, 2 * i)) * 2 : U32(loca, 4 * i);
  };
  auto glyph = [&](size_t i) -> std::string_view {
    uint64_t a = offset(i), b = offset(i + 1);
    if (b <= a || b > glyf.size()) return {};
    return glyf.substr(size_t(a), size_t(b - a));
  };

  // The kept glyphs: those asked for, glyph 0, and every component of them.
  std::vector<bool> kept(numGlyphs, false);
  std::vector<uint16_t> work;
  if (numGlyphs > 0) work.push_back(0);
  for (uint16_t g : keep)
    if (g < numGlyphs) work.push_back(g);
  while (!work.empty()) {
    uint16_t g = work.back();
    work.pop_back();
    if (g >= numGlyphs || kept[g]) continue;
    kept[g] = true;
    Components(glyph(g), work);
  }

  std::string newGlyf;
  std::vector<uint64_t> newOffsets;
  newOffsets.reserve(numGlyphs + 1);
  for (size_t g = 0; g < numGlyphs; ++g) {
    newOffsets.push_back(newGlyf.size());
    if (!kept[g]) continue;
    newGlyf.append(glyph(g));
    newGlyf.resize((newGlyf.size() + 3) & ~size_t(3), '\0');
  }
  newOffsets.push_back(newGlyf.size());
  const bool newShort = newGlyf.size() / 2 <= 0xFFFF;
  std::string newLoca;
  for (uint64_t o : newOffsets) {
    if (newShort)
      Put16(newLoca, uint16_t(o / 2));
    else
      Put32(newLoca, uint32_t(o));
  }
  std::string newHead(head);
  Set32(newHead, 8, 0);  // checkSumAdjustment, set below
  Set16(newHead, 50, newShort ? 0 : 1);

  // The glyph names of post (version 2) are not needed to draw: version 3
  // keeps the header (italic angle, underline, fixed pitch) without them.
  std::string newPost;
  if (auto it = tables.find(Tag("post")); it != tables.end() && it->second.size() >= 32) {
    newPost = std::string(it->second.substr(0, 32));
    Set32(newPost, 0, 0x00030000);
  }

  std::vector<std::pair<uint32_t, std::string_view>> out;
  for (uint32_t tag : kKeptTables) {
    if (tag == Tag("cmap") && !withCmap) continue;
    if (tag == Tag("post")) {
      if (!newPost.empty()) out.emplace_back(tag, newPost);
    } else if (tag == Tag("glyf"))
      out.emplace_back(tag, newGlyf);
    else if (tag == Tag("loca"))
      out.emplace_back(tag, newLoca);
    else if (tag == Tag("head"))
      out.emplace_back(tag, newHead);
    else if (auto it = tables.find(tag); it != tables.end())
      out.emplace_back(tag, it->second);
  }
  std::sort(out.begin(), out.end(), [](auto& a, auto& b) { return a.first < b.first; });

  const uint16_t n = uint16_t(out.size());
  uint16_t entrySelector = 0;
  while ((2u << entrySelector) <= n) ++entrySelector;
  const uint16_t searchRange = uint16_t(16u << entrySelector);
  std::string font;
  Put32(font, 0x00010000);
  Put16(font, n);
  Put16(font, searchRange);
  Put16(font, entrySelector);
  Put16(font, uint16_t(n * 16 - searchRange));
  size_t at = 12 + 16 * size_t(n);
  size_t headOffset = 0;
  for (auto& [tag, data] : out) {
    Put32(font, tag);
    Put32(font, CheckSum(data));
    Put32(font, uint32_t(at));
    Put32(font, uint32_t(data.size()));
    if (tag == Tag("head")) headOffset = at;
    at += (data.size() + 3) & ~size_t(3);
  }
  for (auto& [tag, data] : out) {
    font.append(data);
    font.resize((font.size() + 3) & ~size_t(3), '\0');
  }
  Set32(font, headOffset + 8, 0xB1B0AFBAu - CheckSum(font));
  return font;
}

EmbeddingRights ReadEmbeddingRights(std::string_view file, int faceIndex) {
  EmbeddingRights rights;
  auto tables = ReadTables(file, faceIndex);
  if (!tables) return {false, false};
  auto it = tables->find(Tag("OS/2"));
  if (it == tables->end() || it->second.size() < 10) return rights;
  const uint16_t fsType = U16(it->second, 8);
  // Restricted licence embedding (only bit 1 of the usage bits), or bitmaps only.
  if ((fsType & 0x000F) == 0x0002 || (fsType & 0x0200)) rights.embeddable = false;
  if (fsType & 0x0100) rights.subsettable = false;
  return rights;
}

void EmbeddedFontFile::FaceDeleter::operator()(FT_FaceRec_* face) const { FT_Done_Face(face); }
void EmbeddedFontFile::LibraryDeleter::operator()(FT_LibraryRec_* library) const {
  FT_Done_FreeType(library);
}

EmbeddedFontFile::~EmbeddedFontFile() = default;

std::unique_ptr<EmbeddedFontFile> EmbeddedFontFile::Load(const std::string& path) {
  if (path.empty()) return nullptr;
  auto data = ReadFile(path);
  // A file whose glyph tables cannot be rebuilt is not embedded.
  if (!data || !SubsetTrueType(*data, {})) return nullptr;
  EmbeddingRights rights = ReadEmbeddingRights(*data, 0);
  if (!rights.embeddable) return nullptr;
  auto f = std::make_unique<EmbeddedFontFile>(Key{});
  f->path_ = path;
  f->data_ = std::move(*data);
  f->rights_ = rights;
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) return nullptr;
  f->library_.reset(library);
  FT_Face face = nullptr;
  if (FT_New_Memory_Face(library, reinterpret_cast<const FT_Byte*>(f->data_.data()),
                         static_cast<FT_Long>(f->data_.size()), 0, &face) != 0 ||
      !face)
    return nullptr;
  f->face_.reset(face);
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return nullptr;
  if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) != 0) return nullptr;
  if (const char* ps = FT_Get_Postscript_Name(face)) f->psName_ = ps;
  return f;
}

uint16_t EmbeddedFontFile::GlyphId(char32_t u) const {
  FT_UInt g = FT_Get_Char_Index(face_.get(), u);
  return g <= 0xFFFF ? uint16_t(g) : 0;
}

int EmbeddedFontFile::Advance1000(uint16_t gid) const {
  FT_Fixed a = 0;
  if (FT_Get_Advance(face_.get(), gid, FT_LOAD_NO_SCALE, &a) != 0) return 0;
  return int(std::lround(double(a) * 1000.0 / face_->units_per_EM));
}

std::array<int, 4> EmbeddedFontFile::BBox1000() const {
  const double s = 1000.0 / face_->units_per_EM;
  const FT_BBox& b = face_->bbox;
  return {int(std::lround(b.xMin * s)), int(std::lround(b.yMin * s)), int(std::lround(b.xMax * s)),
          int(std::lround(b.yMax * s))};
}

void EmbeddedFontFile::Use(uint16_t gid, char32_t u) {
  used_.insert(gid);
  if (gid != 0 && u != 0) toUnicode_.emplace(gid, u);
}

std::string EmbeddedFontFile::SubsetTag() const {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](uint8_t b) {
    h ^= b;
    h *= 1099511628211ull;
  };
  for (char c : psName_) mix(uint8_t(c));
  for (uint16_t g : used_) {
    mix(uint8_t(g >> 8));
    mix(uint8_t(g & 0xFF));
  }
  std::string tag;
  for (int i = 0; i < 6; ++i) {
    tag += char('A' + h % 26);
    h /= 26;
  }
  return tag;
}

std::string EmbeddedFontFile::Program(bool withCmap) const {
  std::set<uint16_t> keep;
  if (rights_.subsettable) {
    keep = used_;
  } else {
    for (FT_Long g = 0; g < face_->num_glyphs && g <= 0xFFFF; ++g) keep.insert(uint16_t(g));
  }
  return SubsetTrueType(data_, keep, withCmap).value_or(std::string());
}

char32_t WinAnsiToUnicode(unsigned code) {
  static constexpr char16_t k80[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  if (code >= 0x20 && code <= 0x7E) return code;
  if (code >= 0x80 && code <= 0x9F) return k80[code - 0x80];
  if (code >= 0xA0 && code <= 0xFF) return code;
  return 0;
}

}  // namespace tavro
