// Chooses installed font files for a font record with fontconfig.
//
// The face names stored in drawings are those of the desktop fonts the sheets
// were drawn with. fontconfig knows the metric-compatible stand-ins of some
// ("Arial" -> Liberation Sans) but none for the Japanese faces, so a small
// table maps them first: "ＭＳ ゴシック" -> IPAGothic, "ＭＳ Ｐ明朝" ->
// IPAPMincho, ... A Japanese face that neither the table nor fontconfig knows
// (a face name with double-byte characters, or any face of the Shift-JIS
// character set 128 that fontconfig does not have) becomes IPAGothic, or
// IPAMincho when its name says Mincho. Any other unknown face gets whatever
// fontconfig offers for it.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/platform/font.h"

struct _FcConfig;

namespace tavro {

struct FontFileRef {
  std::string path;
  int index = 0;  // face index inside the file
};

class FontMatcher {
 public:
  // With `systemFonts` false the matcher knows no fonts at all (every request
  // comes back empty): the engine then measures with its fixed metrics.
  explicit FontMatcher(bool systemFonts = true);
  ~FontMatcher();
  FontMatcher(const FontMatcher&) = delete;
  FontMatcher& operator=(const FontMatcher&) = delete;

  // Candidate files for `font` (face name in CP932), best first, then a few
  // fallbacks in fontconfig's order. Empty when fontconfig has nothing.
  std::vector<FontFileRef> Match(const LogFont& font) const;

  // The family that stands in for a desktop face name (UTF-8), when the table
  // has one. Names compare without regard to ASCII case and blanks.
  static std::optional<std::string> MappedFamily(std::string_view utf8Face);

 private:
  std::vector<FontFileRef> Query(const std::string& family, int weight, bool italic,
                                 bool* familyFound) const;

  struct ConfigDeleter {
    void operator()(_FcConfig* config) const;
  };
  std::unique_ptr<_FcConfig, ConfigDeleter> config_;
};

}  // namespace tavro
