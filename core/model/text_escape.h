// Text conventions shared by the text item's source files: an escaped
// sequence is one whose first character follows a backslash ("\&", "\\n").
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace tavro::text_detail {

inline constexpr size_t npos = std::string_view::npos;

// Finds `seq` at a character boundary where the character before it is not a
// backslash (an escaped "\&" or "\\n" does not count).
size_t FindUnescaped(std::string_view s, std::string_view seq, size_t from = 0);
// Splits at every unescaped occurrence of `sep`.
std::vector<std::string_view> SplitUnescaped(std::string_view s, std::string_view sep);

}  // namespace tavro::text_detail
