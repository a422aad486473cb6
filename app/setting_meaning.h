// What a stored setting means where its value is a code or a list position
// ("Tool/NetType" 12 is the netlist dialog's 13th entry, Scicards, which is
// format 15), and which values a setting accepts. Shared by `tavro config`
// and the editor's settings pages.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tavro {

// The meaning of `value` (UTF-8, e.g. "Scicards, format 15"); nullopt when the
// setting is a plain number or text, or the value is not one it knows.
std::optional<std::string> DescribeSetting(std::string_view section, std::string_view key,
                                           std::string_view value);

// Checks a value before it is stored: nullopt when it is good, otherwise why
// not (UTF-8). Integer settings take a decimal number within their range; the
// coded ones only their codes.
std::optional<std::string> CheckSettingValue(std::string_view section, std::string_view key,
                                             std::string_view value);

}  // namespace tavro
