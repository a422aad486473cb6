#include "core/file/archive.h"

#include <cstring>
#include <utility>

#include "core/platform/codec.h"

namespace tavro {

namespace {

[[noreturn]] void ThrowEnd(size_t pos) {
  throw ArchiveError("unexpected end of data at byte " + std::to_string(pos));
}

}  // namespace

CArchive::CArchive() : mode_(store) {}

CArchive::CArchive(std::string_view data) : mode_(load), data_(data) {}

// --- storing ---

void CArchive::WriteString(std::string_view s) {
  const size_t n = s.size();
  if (n < 0xFF) {
    WriteU8(static_cast<uint8_t>(n));
  } else if (n < 0xFFFE) {
    WriteU8(0xFF);
    WriteU16(static_cast<uint16_t>(n));
  } else {
    if (n > 0xFFFFFFFFu)
      throw ArchiveError("string of " + std::to_string(n) + " bytes is too long to store");
    WriteU8(0xFF);
    WriteU16(0xFFFF);
    WriteU32(static_cast<uint32_t>(n));
  }
  buffer_.append(s);
}

void CArchive::WriteBytes(const void* data, size_t n) {
  if (n == 0) return;
  buffer_.append(static_cast<const char*>(data), n);
}

void CArchive::WriteText(std::string_view s) { buffer_.append(s); }

std::string CArchive::TakeBuffer() {
  std::string out = std::move(buffer_);
  buffer_.clear();
  return out;
}

// --- loading ---

void CArchive::Require(size_t n) const {
  if (mode_ != load) throw ArchiveError("the archive is not open for loading");
  if (Remaining() < n) ThrowEnd(pos_);
}

std::string CArchive::ReadString() {
  const size_t start = pos_;
  bool wide = false;
  uint64_t len = ReadU8();
  if (len == 0xFF) {
    len = ReadU16();
    if (len == 0xFFFE) {
      // A string of 16-bit characters: the length follows again in the same
      // scheme (where 0xFFFE is then an ordinary length).
      wide = true;
      len = ReadU8();
      if (len == 0xFF) len = ReadU16();
    }
    if (len == 0xFFFF) len = ReadU32();
  }
  const uint64_t bytes = wide ? len * 2 : len;
  if (bytes > Remaining()) {
    throw ArchiveError("string at byte " + std::to_string(start) + " claims " +
                       std::to_string(bytes) + " bytes but only " + std::to_string(Remaining()) +
                       " remain");
  }
  if (!wide) {
    std::string s(data_.substr(pos_, static_cast<size_t>(len)));
    pos_ += static_cast<size_t>(len);
    return s;
  }
  std::u16string units;
  units.reserve(static_cast<size_t>(len));
  for (uint64_t i = 0; i < len; ++i) units.push_back(static_cast<char16_t>(ReadU16()));
  return Utf16ToCp932(units);
}

void CArchive::ReadBytes(void* out, size_t n) {
  Require(n);
  if (n == 0) return;
  std::memcpy(out, data_.data() + pos_, n);
  pos_ += n;
}

void CArchive::Skip(size_t n) {
  Require(n);
  pos_ += n;
}

bool CArchive::ReadLine(std::string& line, size_t maxLen) {
  if (mode_ != load) throw ArchiveError("the archive is not open for loading");
  line.clear();
  if (ended_ || AtEnd()) return false;
  if (maxLen == 0) maxLen = 1;
  while (pos_ < data_.size()) {
    const char c = data_[pos_];
    if (c == '\0') {
      // A zero byte ends the whole input; what came before it is the last line.
      ended_ = true;
      pos_ = data_.size();
      return !line.empty();
    }
    if (c == '\n') {
      ++pos_;
      return true;
    }
    if (c == '\r') {
      ++pos_;
      if (pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
      return true;
    }
    if (line.size() == maxLen) {
      // A piece of a long line; the rest follows with the next call.
      return true;
    }
    line.push_back(c);
    ++pos_;
  }
  return true;  // a last line without its end
}

}  // namespace tavro
