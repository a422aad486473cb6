#include "core/platform/font.h"

#include <algorithm>
#include <cstring>

#include "core/platform/dbcs.h"

namespace tavro {

namespace {

void PutInt32(uint8_t* p, int32_t v) {
  const auto u = static_cast<uint32_t>(v);
  p[0] = static_cast<uint8_t>(u);
  p[1] = static_cast<uint8_t>(u >> 8);
  p[2] = static_cast<uint8_t>(u >> 16);
  p[3] = static_cast<uint8_t>(u >> 24);
}

int32_t GetInt32(const uint8_t* p) {
  const uint32_t u = static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                     (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
  return static_cast<int32_t>(u);
}

// Offsets of the record's fields.
constexpr size_t kIntFields = 5;
constexpr size_t kByteFieldsAt = kIntFields * 4;  // 20
constexpr size_t kFaceAt = kByteFieldsAt + 8;     // 28

}  // namespace

std::array<uint8_t, LogFont::kSize> LogFont::ToBytes() const {
  static_assert(kFaceAt + std::tuple_size_v<decltype(faceName)> == kSize);
  std::array<uint8_t, kSize> out{};
  const int32_t ints[kIntFields] = {height, width, escapement, orientation, weight};
  for (size_t i = 0; i < kIntFields; ++i) PutInt32(out.data() + 4 * i, ints[i]);
  const uint8_t bytes[8] = {italic,       underline,     strikeOut, charSet,
                            outPrecision, clipPrecision, quality,   pitchAndFamily};
  std::memcpy(out.data() + kByteFieldsAt, bytes, sizeof bytes);
  std::memcpy(out.data() + kFaceAt, faceName.data(), faceName.size());
  return out;
}

LogFont LogFont::FromBytes(const uint8_t* bytes) {
  LogFont f;
  f.height = GetInt32(bytes);
  f.width = GetInt32(bytes + 4);
  f.escapement = GetInt32(bytes + 8);
  f.orientation = GetInt32(bytes + 12);
  f.weight = GetInt32(bytes + 16);
  const uint8_t* b = bytes + kByteFieldsAt;
  f.italic = b[0];
  f.underline = b[1];
  f.strikeOut = b[2];
  f.charSet = b[3];
  f.outPrecision = b[4];
  f.clipPrecision = b[5];
  f.quality = b[6];
  f.pitchAndFamily = b[7];
  // The face name is kept byte for byte (a stored record may carry bytes
  // after its terminating zero; they go back out unchanged).
  std::memcpy(f.faceName.data(), bytes + kFaceAt, f.faceName.size());
  return f;
}

std::string LogFont::FaceName() const {
  const auto end = std::find(faceName.begin(), faceName.end(), '\0');
  return std::string(faceName.begin(), end);
}

void LogFont::SetFaceName(std::string_view face) {
  faceName.fill('\0');
  size_t n = std::min(face.size(), faceName.size() - 1);
  face = face.substr(0, n);
  // Cut at an embedded zero, and never keep half of a double-byte character.
  if (size_t z = face.find('\0'); z != std::string_view::npos) face = face.substr(0, z);
  size_t keep = 0;
  for (size_t i = 0; i < face.size();) {
    const size_t len = IsLeadByte(static_cast<unsigned char>(face[i])) ? 2 : 1;
    if (i + len > face.size()) break;
    i += len;
    keep = i;
  }
  std::copy_n(face.data(), keep, faceName.begin());
}

}  // namespace tavro
