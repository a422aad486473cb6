// A setting's value as text, and storing a value typed as text: the one way
// `tavro config` and the editor's settings dialog read and write the values
// of the settings store. Texts are UTF-8; the store holds CP932.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro {

class Settings;

// A binary block as "hex:" and two upper-case hex digits per byte.
std::string SettingHex(const std::vector<uint8_t>& bytes);

// The value in effect (stored, else the default of the table): an integer
// setting's number, a string's text, a binary value in SettingHex form.
std::string SettingValueText(const Settings& s, std::string_view section, std::string_view key);

// The default of the table as text; nullopt for a value the table has no
// default for.
std::optional<std::string> SettingDefaultText(std::string_view section, std::string_view key);

// Stores a value typed as text: an integer setting as its number, anything
// else as text, under the section and key as the table spells them. A value
// that CheckSettingValue refuses, or a binary value, is left alone (false;
// ask CheckSettingValue why). False also when the settings file could not be
// written (Settings::LastError says why; the store holds the value in memory).
bool StoreSettingValue(Settings& s, std::string_view section, std::string_view key,
                       std::string_view value);

}  // namespace tavro
