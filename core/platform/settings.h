// The per-user settings store: named sections holding named integer, string
// and binary values, kept in one INI file per user ($TAVRO_SETTINGS when set,
// else $XDG_CONFIG_HOME/tavro/tavro.ini, else ~/.config/tavro/tavro.ini).
// Every write goes to disk at once through a temporary file and a rename. A
// missing or damaged file gives the defaults and never stops the program.
// Every default the system reads is listed in one table (settings_defaults.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

// Orders section and key names without regard to the case of ASCII letters, as
// the desktop's registry looks them up.
struct SettingsNameLess {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};

class Settings {
 public:
  // A store backed by `path`; an empty path keeps everything in memory.
  explicit Settings(std::string path = {});

  // Reads with an explicit default (the default applies when the value is absent).
  int32_t GetInt(std::string_view section, std::string_view key, int32_t def) const;
  std::string GetString(std::string_view section, std::string_view key, std::string_view def) const;
  // Reads with the default from the table of defaults (0 / empty when the table has none).
  int32_t GetInt(std::string_view section, std::string_view key) const;
  std::string GetString(std::string_view section, std::string_view key) const;
  std::optional<std::vector<uint8_t>> GetBinary(std::string_view section,
                                                std::string_view key) const;

  // Each write returns false when the file could not be written (the value is
  // kept in memory all the same).
  bool WriteInt(std::string_view section, std::string_view key, int32_t value);
  bool WriteString(std::string_view section, std::string_view key, std::string_view value);
  bool WriteBinary(std::string_view section, std::string_view key,
                   const std::vector<uint8_t>& value);
  bool DeleteValue(std::string_view section, std::string_view key);
  bool DeleteSection(std::string_view section);

  // A value as stored: its section and key as the file spells them, and its
  // text (nullopt for a binary value).
  struct Entry {
    std::string section;
    std::string key;
    std::optional<std::string> text;
  };
  // Every stored value, sections and keys in name order.
  std::vector<Entry> Entries() const;
  bool Has(std::string_view section, std::string_view key) const;
  // Why the last write failed ("" after a good one).
  const std::string& LastError() const { return lastError_; }

  // Re-reads the file (discarding the in-memory values).
  void Reload();
  // Replaces the in-memory values with those of a settings file's text
  // (nothing is written).
  void LoadText(std::string_view text);
  const std::string& Path() const { return path_; }
  // Where the store of this user lives, from the environment.
  static std::string DefaultPath();

 private:
  bool Save();
  std::string path_;
  std::string lastError_;
  // section -> key -> raw stored value (strings in CP932; binary as hex).
  using Section = std::map<std::string, std::string, SettingsNameLess>;
  std::map<std::string, Section, SettingsNameLess> values_;
};

// The store of the running program (created on first use from DefaultPath()).
Settings& AppSettings();
// Replaces the program's store (tests, the command line's overrides). Passing
// nullptr returns to the default store.
void SetAppSettings(Settings* settings);

// A stored integer: decimal, 32-bit, an optional sign, blanks around it;
// anything else (trailing text, overflow) is not a number.
std::optional<int32_t> ParseSettingInt(std::string_view text);

// Table of defaults: section, key and default value (integer or string).
struct SettingDefault {
  const char* section;
  const char* key;
  bool isString;
  int32_t intValue;
  const char* stringValue;  // CP932 bytes (ASCII for all but a few)
};
const std::vector<SettingDefault>& SettingDefaults();
const SettingDefault* FindSettingDefault(std::string_view section, std::string_view key);

// A "Color" value: the colour (0x00BBGGRR) and whether the item class is shown.
struct ColorSetting {
  uint32_t color = 0;
  bool visible = true;
};
// The 20 keys of section "Color" in their order.
const std::vector<std::string>& ColorKeys();
// Reads a "Color" value ("%ld %d"); a missing value keeps the default colour and
// visibility, a value without the second number keeps the default visibility.
ColorSetting GetColor(const Settings& s, std::string_view key);
bool WriteColor(Settings& s, std::string_view key, ColorSetting c);

}  // namespace tavro
