// Code page 932 (Shift-JIS with the vendor extensions) conversions through
// glibc iconv. Invalid input never stops a conversion: each undecodable byte
// (or unencodable character) becomes a replacement and is counted.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tavro {

// Replacement used for bytes that are not valid CP932 when decoding.
inline constexpr char32_t kReplacementChar = U'\uFFFD';
// Replacement used for characters that CP932 cannot encode when encoding.
inline constexpr char kCp932Replacement = '?';

// CP932 bytes -> UTF-8. `invalid`, when given, receives the number of bytes replaced.
std::string Cp932ToUtf8(std::string_view cp932, size_t* invalid = nullptr);
// UTF-8 -> CP932 bytes. Characters without a CP932 form (and invalid UTF-8) become '?'.
std::string Utf8ToCp932(std::string_view utf8, size_t* invalid = nullptr);
// CP932 bytes -> UTF-16 code units.
std::u16string Cp932ToUtf16(std::string_view cp932, size_t* invalid = nullptr);
// UTF-16 code units -> CP932 bytes.
std::string Utf16ToCp932(std::u16string_view utf16, size_t* invalid = nullptr);

// Shorthand for source-code literals: Japanese messages are written in UTF-8
// in the source and converted at the boundary where they enter CP932 data.
inline std::string J(std::string_view utf8) { return Utf8ToCp932(utf8); }

}  // namespace tavro
