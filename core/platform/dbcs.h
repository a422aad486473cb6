// Double-byte-aware string helpers for CP932 byte strings. These are the only
// helpers of their kind: upper-casing and case-insensitive comparison touch
// single-byte ASCII letters only and never a trail byte of a double-byte
// character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavro {

// True for a CP932 lead byte (0x81-0x9F, 0xE0-0xFC).
constexpr bool IsLeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
// True for a byte that can follow a lead byte (0x40-0x7E, 0x80-0xFC).
constexpr bool IsTrailByte(unsigned char c) {
  return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}
// Length in bytes of the character starting at s[i] (1 or 2; 1 at a truncated end).
// A lead byte followed by a byte that cannot be a trail byte (a line end, a
// blank, the end of the string) stands alone, so that a damaged string never
// swallows the character after it.
inline size_t CharLen(std::string_view s, size_t i) {
  return i < s.size() && s.size() - i > 1 && IsLeadByte(static_cast<unsigned char>(s[i])) &&
                 IsTrailByte(static_cast<unsigned char>(s[i + 1]))
             ? 2
             : 1;
}
// True when the last character of s is a double-byte character.
bool EndsWithDoubleByte(std::string_view s);
// Byte index of the start of the last character (npos for an empty string).
size_t LastCharStart(std::string_view s);
// The longest head of s of at most maxBytes bytes that does not split a
// double-byte character.
std::string_view CutBytes(std::string_view s, size_t maxBytes);

std::string ToUpper(std::string_view s);
std::string ToLower(std::string_view s);
// <0, 0, >0 like strcmp, ASCII letters compared without regard to case.
int CompareNoCase(std::string_view a, std::string_view b);
inline bool EqualNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }
// Finds `needle` in `hay` at a character boundary (never inside a double-byte character).
size_t Find(std::string_view hay, std::string_view needle, size_t from = 0);
// Finds a single-byte character at a character boundary.
size_t FindChar(std::string_view hay, char c, size_t from = 0);
size_t ReverseFindChar(std::string_view hay, char c);

// Blanks are space, tab, CR, LF, VT and FF.
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
std::string Trim(std::string_view s);

// Replaces every occurrence of `from` (at character boundaries) with `to`.
std::string ReplaceAll(std::string_view s, std::string_view from, std::string_view to);

}  // namespace tavro
