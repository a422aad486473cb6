// The archive encoding of sheet and library files: little-endian integers
// without padding, points and rectangles as int32 pairs and quadruples,
// counted CP932 strings and raw blocks. A CArchive either stores into a byte
// buffer or loads from one. Loading past the end, or a length larger than
// what remains, throws ArchiveError; nothing is allocated beyond what remains.
// The same class carries the line-oriented text streams of the text form,
// the Tango and DXF writers (WriteText / ReadLine).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/model/geometry.h"

namespace tavro {

class ArchiveError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class CArchive {
 public:
  enum Mode { store, load };

  // A storing archive writing into its own buffer.
  CArchive();
  // A loading archive reading `data` (the caller keeps the bytes alive).
  explicit CArchive(std::string_view data);

  bool IsStoring() const { return mode_ == store; }
  bool IsLoading() const { return mode_ == load; }

  // --- storing ---
  void WriteU8(uint8_t v);
  void WriteU16(uint16_t v);
  void WriteU32(uint32_t v);
  void WriteI32(int32_t v);
  void WritePoint(CPoint p);
  void WriteRect(const CRect& r);
  // Counted string: length < 255 one byte; else 0xFF + uint16 when < 0xFFFE;
  // else 0xFF, 0xFFFF, uint32.
  void WriteString(std::string_view s);
  void WriteBytes(const void* data, size_t n);
  // Raw text (a line with its own "\n", or any text of a text stream).
  void WriteText(std::string_view s);
  const std::string& Buffer() const { return buffer_; }
  std::string TakeBuffer();

  // --- loading ---
  uint8_t ReadU8();
  uint16_t ReadU16();
  uint32_t ReadU32();
  int32_t ReadI32();
  CPoint ReadPoint();
  CRect ReadRect();
  // Reads a counted string, also the 16-bit form (0xFF, 0xFFFE, then a length
  // in the same scheme counted in UTF-16 units, converted to CP932).
  std::string ReadString();
  void ReadBytes(void* out, size_t n);
  // Reads a line of text: up to LF, CR (a LF after it is skipped too) or a zero
  // byte (which ends the input); returns false at the end of the data. Lines
  // longer than `maxLen` bytes are cut into pieces of `maxLen` bytes.
  bool ReadLine(std::string& line, size_t maxLen = 64 * 1024);
  // Skips n bytes (throws when fewer remain).
  void Skip(size_t n);
  size_t Position() const { return pos_; }
  size_t Remaining() const { return data_.size() - pos_; }
  bool AtEnd() const { return pos_ >= data_.size(); }
  // Throws unless at least n bytes remain (used to check counts read from files).
  void Require(size_t n) const;

 private:
  Mode mode_;
  std::string buffer_;     // storing
  std::string_view data_;  // loading
  size_t pos_ = 0;
  bool ended_ = false;  // a zero byte ended a text stream
};

}  // namespace tavro
