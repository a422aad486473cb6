#include "app/setting_value.h"

#include "app/setting_meaning.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro {

std::string SettingHex(const std::vector<uint8_t>& bytes) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "hex:";
  for (uint8_t b : bytes) {
    out += kHex[b >> 4];
    out += kHex[b & 0xF];
  }
  return out;
}

std::string SettingValueText(const Settings& s, std::string_view section, std::string_view key) {
  if (auto bin = s.GetBinary(section, key)) return SettingHex(*bin);
  const SettingDefault* d = FindSettingDefault(section, key);
  if (d && !d->isString) return std::to_string(s.GetInt(section, key));
  return Cp932ToUtf8(s.GetString(section, key));
}

std::optional<std::string> SettingDefaultText(std::string_view section, std::string_view key) {
  const SettingDefault* d = FindSettingDefault(section, key);
  if (!d) return std::nullopt;
  return d->isString ? Cp932ToUtf8(d->stringValue) : std::to_string(d->intValue);
}

bool StoreSettingValue(Settings& s, std::string_view section, std::string_view key,
                       std::string_view value) {
  if (CheckSettingValue(section, key, value) || s.GetBinary(section, key)) return false;
  const SettingDefault* d = FindSettingDefault(section, key);
  if (d) {
    section = d->section;
    key = d->key;
  }
  if (d && !d->isString) return s.WriteInt(section, key, *ParseSettingInt(value));
  return s.WriteString(section, key, Utf8ToCp932(value));
}

}  // namespace tavro
