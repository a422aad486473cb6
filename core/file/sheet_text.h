// The sheet text form (CSheet::SerializeText and the SerializeText members
// and record-line constructors of the items): a line-oriented, readable form
// of a sheet's items, used for the clipboard, for test sheets and for the
// demo's sources. See sheet_text.cpp for the reading rules.
#pragma once

#include <cstddef>

namespace tavro {

// Longest line the reader takes in one piece (bytes, without the line end);
// the rest of a longer line is read as further lines.
inline constexpr size_t kMaxTextFormLine = 4096;
// Longest text made from one plain line (bytes). It leaves room for the
// record around it, so that such a text is written as one line of at most
// kMaxTextFormLine bytes and reads back the same; a longer plain line gives
// several texts.
inline constexpr size_t kMaxPlainText = kMaxTextFormLine - 96;

}  // namespace tavro
