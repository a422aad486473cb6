// Reading the DXF header file (see dxf_header.h).
#include "core/file/dxf_header.h"

#include <cstdlib>
#include <optional>

namespace tavro {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// `line` starts with `keyword` (ASCII, upper case), letter case aside.
bool StartsWithKeyword(std::string_view line, std::string_view keyword) {
  if (line.size() < keyword.size()) return false;
  for (size_t i = 0; i < keyword.size(); ++i) {
    char c = line[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c != keyword[i]) return false;
  }
  return true;
}

// The value of a keyword line: from one character after the keyword.
std::string_view ValueOf(std::string_view line, std::string_view keyword) {
  return line.size() > keyword.size() + 1 ? line.substr(keyword.size() + 1) : std::string_view{};
}

// The next blank-separated number of `s` (decimal; a word that does not read
// counts as 0); nullopt at the end of the text.
std::optional<int> NextNumber(std::string_view& s) {
  s = TrimLeft(s);
  if (s.empty()) return std::nullopt;
  size_t n = 0;
  while (n < s.size() && !IsBlank(s[n])) ++n;
  const std::string word(s.substr(0, n));
  s.remove_prefix(n);
  return static_cast<int>(std::strtol(word.c_str(), nullptr, 10));
}

int Number(std::string_view value) { return NextNumber(value).value_or(0); }

}  // namespace

DxfHeader ParseDxfHeader(std::string_view text) {
  DxfHeader h;
  bool settings = true;
  while (!text.empty()) {
    const size_t eol = text.find('\n');
    std::string_view line = text.substr(0, eol);
    text.remove_prefix(eol == std::string_view::npos ? text.size() : eol + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!settings) {
      if (!line.empty()) {
        h.raw.append(line);
        h.raw += '\n';
      }
      continue;
    }
    line = TrimLeft(line);
    if (line.empty() || line.front() == '#') continue;
    if (StartsWithKeyword(line, "[HEADER]")) {
      settings = false;
    } else if (StartsWithKeyword(line, "[VERSION]")) {
      h.version = std::string(TrimRight(TrimLeft(ValueOf(line, "[VERSION]"))));
    } else if (StartsWithKeyword(line, "[LAYER]")) {
      std::string_view v = ValueOf(line, "[LAYER]");
      for (int i = kDxfLayerWire; i <= kDxfLayerPart; ++i) {
        const std::optional<int> n = NextNumber(v);
        if (!n) break;
        h.layers[i] = *n;
      }
    } else if (StartsWithKeyword(line, "[TITLE]")) {
      h.layers[kDxfLayerTitle] = Number(ValueOf(line, "[TITLE]"));
    } else if (StartsWithKeyword(line, "[APOINT]")) {
      h.markers = Number(ValueOf(line, "[APOINT]")) != 0;
    } else if (StartsWithKeyword(line, "[CMD999]")) {
      h.comment = Number(ValueOf(line, "[CMD999]")) != 0;
    }
  }
  return h;
}

}  // namespace tavro
