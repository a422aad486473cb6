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
  void WriteU8(uint8_t v) { buffer_.push_back(static_cast<char>(v)); }
  void WriteU16(uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    buffer_.append(b, sizeof b);
  }
  void WriteU32(uint32_t v) {
    char b[4];
    PutU32(b, v);
    buffer_.append(b, sizeof b);
  }
  void WriteI32(int32_t v) { WriteU32(static_cast<uint32_t>(v)); }
  void WritePoint(CPoint p) {
    char b[8];
    PutU32(b, static_cast<uint32_t>(p.x));
    PutU32(b + 4, static_cast<uint32_t>(p.y));
    buffer_.append(b, sizeof b);
  }
  void WriteRect(const CRect& r) {
    char b[16];
    PutU32(b, static_cast<uint32_t>(r.left));
    PutU32(b + 4, static_cast<uint32_t>(r.top));
    PutU32(b + 8, static_cast<uint32_t>(r.right));
    PutU32(b + 12, static_cast<uint32_t>(r.bottom));
    buffer_.append(b, sizeof b);
  }
  // Counted string: length < 255 one byte; else 0xFF + uint16 when < 0xFFFE;
  // else 0xFF, 0xFFFF, uint32.
  void WriteString(std::string_view s);
  void WriteBytes(const void* data, size_t n);
  // Raw text (a line with its own "\n", or any text of a text stream).
  void WriteText(std::string_view s);
  const std::string& Buffer() const { return buffer_; }
  std::string TakeBuffer();

  // --- loading ---
  uint8_t ReadU8() { return static_cast<uint8_t>(*Take(1)); }
  uint16_t ReadU16() {
    const auto* p = reinterpret_cast<const unsigned char*>(Take(2));
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
  }
  uint32_t ReadU32() {
    const auto* p = reinterpret_cast<const unsigned char*>(Take(4));
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  }
  int32_t ReadI32() { return static_cast<int32_t>(ReadU32()); }
  CPoint ReadPoint() {
    const int32_t x = ReadI32();
    const int32_t y = ReadI32();
    return {x, y};
  }
  CRect ReadRect() {
    const int32_t l = ReadI32();
    const int32_t t = ReadI32();
    const int32_t r = ReadI32();
    const int32_t b = ReadI32();
    return {l, t, r, b};
  }
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
  static void PutU32(char* out, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
  // The next n bytes, passed over (throws as Require does when fewer remain).
  const char* Take(size_t n) {
    if (mode_ != load || Remaining() < n) Require(n);
    const char* p = data_.data() + pos_;
    pos_ += n;
    return p;
  }

  Mode mode_;
  std::string buffer_;     // storing
  std::string_view data_;  // loading
  size_t pos_ = 0;
  bool ended_ = false;  // a zero byte ended a text stream
};

}  // namespace tavro
