// The settings file is a plain INI file:
//
//   [Section]
//   key=value
//
// A value is written as it stands when it reads back unchanged: no control
// bytes, no blank at either end, not starting with a double quote and not
// starting with the binary marker. Any other string is written in double
// quotes with backslash escapes (\\ \" \n \r \t \xHH), so every CP932 byte
// string, line ends and all, comes back exactly. Bytes from 0x80 up are never
// escaped. Binary values are "hex:" followed by two hex digits per byte.
// Section and key names use the same quoting when they need it.
//
// Reading is forgiving: a line that cannot be understood is skipped and the
// rest of the file kept; keys under a damaged section header are dropped
// rather than filed under the wrong section.
#include "core/platform/settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "core/platform/dbcs.h"
#include "core/platform/paths.h"

namespace tavro {

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kBinaryMarker = "hex:";
// A settings file larger than this is not a settings file; it is ignored.
constexpr uintmax_t kMaxFileSize = 16u * 1024u * 1024u;

bool IsBlankByte(unsigned char c) { return c == ' ' || c == '\t'; }

bool NeedsQuoting(std::string_view v, bool isName) {
  if (v.empty()) return isName;
  if (IsBlankByte(static_cast<unsigned char>(v.front())) ||
      IsBlankByte(static_cast<unsigned char>(v.back())))
    return true;
  if (v.front() == '"') return true;
  for (char ch : v) {
    auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F) return true;
    if (isName && (c == '=' || c == ']')) return true;
  }
  if (isName) return v.front() == '[' || v.front() == ';' || v.front() == '#';
  return v.substr(0, kBinaryMarker.size()) == kBinaryMarker;
}

std::string Quote(std::string_view v) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out = "\"";
  for (char ch : v) {
    auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += "\\x";
          out += kHex[c >> 4];
          out += kHex[c & 0xF];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

std::string Encode(std::string_view v, bool isName) {
  return NeedsQuoting(v, isName) ? Quote(v) : std::string(v);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads a quoted string starting at s[pos] == '"'. On success `pos` is just
// past the closing quote.
std::optional<std::string> Unquote(std::string_view s, size_t& pos) {
  if (pos >= s.size() || s[pos] != '"') return std::nullopt;
  std::string out;
  size_t i = pos + 1;
  while (i < s.size()) {
    char c = s[i];
    if (c == '"') {
      pos = i + 1;
      return out;
    }
    if (c != '\\') {
      out += c;
      ++i;
      continue;
    }
    if (i + 1 >= s.size()) return std::nullopt;
    char e = s[i + 1];
    switch (e) {
      case '\\':
        out += '\\';
        break;
      case '"':
        out += '"';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case 'x': {
        if (i + 3 >= s.size()) return std::nullopt;
        int hi = HexDigit(s[i + 2]), lo = HexDigit(s[i + 3]);
        if (hi < 0 || lo < 0) return std::nullopt;
        out += static_cast<char>(hi * 16 + lo);
        i += 2;
        break;
      }
      default:
        return std::nullopt;
    }
    i += 2;
  }
  return std::nullopt;
}

bool HasControlBytes(std::string_view s) {
  for (char ch : s) {
    auto c = static_cast<unsigned char>(ch);
    if ((c < 0x20 && c != '\t') || c == 0x7F) return true;
  }
  return false;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlankByte(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && IsBlankByte(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

// A name (section or key) as written in the file: plain or quoted.
std::optional<std::string> DecodeName(std::string_view s) {
  s = TrimBlanks(s);
  if (s.empty()) return std::nullopt;
  if (s.front() == '"') {
    size_t pos = 0;
    auto name = Unquote(s, pos);
    if (!name || pos != s.size() || name->empty()) return std::nullopt;
    return name;
  }
  if (HasControlBytes(s)) return std::nullopt;
  return std::string(s);
}

std::optional<std::vector<uint8_t>> DecodeBinary(std::string_view stored) {
  if (stored.substr(0, kBinaryMarker.size()) != kBinaryMarker) return std::nullopt;
  std::string_view hex = stored.substr(kBinaryMarker.size());
  if (hex.size() % 2 != 0) return std::nullopt;
  std::vector<uint8_t> out;
  out.reserve(hex.size() / 2);
  for (size_t i = 0; i < hex.size(); i += 2) {
    int hi = HexDigit(hex[i]), lo = HexDigit(hex[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    out.push_back(static_cast<uint8_t>(hi * 16 + lo));
  }
  return out;
}

// The string a stored value stands for; nullopt for a binary value.
std::optional<std::string> DecodeString(std::string_view stored) {
  if (!stored.empty() && stored.front() == '"') {
    size_t pos = 0;
    auto v = Unquote(stored, pos);
    if (!v || pos != stored.size()) return std::nullopt;
    return v;
  }
  if (stored.substr(0, kBinaryMarker.size()) == kBinaryMarker) return std::nullopt;
  return std::string(stored);
}

// The value part of a "key=value" line in its stored form, checked; nullopt
// when the line is damaged.
std::optional<std::string> CheckStoredValue(std::string_view raw) {
  raw = TrimBlanks(raw);
  if (raw.empty()) return std::string();
  if (raw.front() == '"') {
    size_t pos = 0;
    if (!Unquote(raw, pos) || pos != raw.size()) return std::nullopt;
    return std::string(raw);
  }
  if (HasControlBytes(raw)) return std::nullopt;
  if (raw.substr(0, kBinaryMarker.size()) == kBinaryMarker && !DecodeBinary(raw))
    return std::nullopt;
  return std::string(raw);
}

std::string HomeDir() {
  if (const char* h = std::getenv("HOME"); h && *h) return h;
  struct passwd pw {};
  struct passwd* result = nullptr;
  std::vector<char> buf(16384);
  if (getpwuid_r(getuid(), &pw, buf.data(), buf.size(), &result) == 0 && result && result->pw_dir)
    return result->pw_dir;
  return {};
}

std::unique_ptr<Settings>& OwnStore() {
  static std::unique_ptr<Settings> store;
  return store;
}
Settings* g_override = nullptr;

}  // namespace

std::optional<int32_t> ParseSettingInt(std::string_view s) {
  std::string t(TrimBlanks(s));
  if (t.empty()) return std::nullopt;
  errno = 0;
  char* end = nullptr;
  long long v = std::strtoll(t.c_str(), &end, 10);
  if (end == t.c_str() || *end != '\0' || errno == ERANGE) return std::nullopt;
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(v);
}

bool SettingsNameLess::operator()(std::string_view a, std::string_view b) const {
  return CompareNoCase(a, b) < 0;
}

Settings::Settings(std::string path) : path_(std::move(path)) { Reload(); }

void Settings::Reload() {
  values_.clear();
  if (path_.empty()) return;
  std::error_code ec;
  auto size = fs::file_size(path_, ec);
  if (ec || size > kMaxFileSize) return;
  std::optional<std::string> text = ReadFile(path_);
  if (!text) return;
  LoadText(*text);
}

void Settings::LoadText(std::string_view text) {
  values_.clear();
  std::string_view rest = text;
  if (rest.substr(0, 3) == "\xEF\xBB\xBF") rest.remove_prefix(3);  // a hand editor's BOM
  Section* current = nullptr;
  while (!rest.empty()) {
    size_t nl = rest.find('\n');
    std::string_view line = rest.substr(0, nl);
    rest = nl == std::string_view::npos ? std::string_view() : rest.substr(nl + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view t = TrimBlanks(line);
    if (t.empty() || t.front() == ';' || t.front() == '#') continue;
    if (t.front() == '[') {
      current = nullptr;  // keys under a damaged header are dropped
      if (t.back() != ']' || t.size() < 3) continue;
      auto name = DecodeName(t.substr(1, t.size() - 2));
      if (!name) continue;
      current = &values_[*name];
      continue;
    }
    if (!current) continue;
    // The key: quoted, or everything up to the first '='.
    std::optional<std::string> key;
    size_t eq;
    if (t.front() == '"') {
      size_t pos = 0;
      key = Unquote(t, pos);
      while (pos < t.size() && IsBlankByte(static_cast<unsigned char>(t[pos]))) ++pos;
      if (!key || key->empty() || pos >= t.size() || t[pos] != '=') continue;
      eq = pos;
    } else {
      eq = t.find('=');
      if (eq == std::string_view::npos) continue;
      key = DecodeName(t.substr(0, eq));
      if (!key) continue;
    }
    auto value = CheckStoredValue(t.substr(eq + 1));
    if (!value) continue;
    current->emplace(std::move(*key), std::move(*value));  // the first of duplicates wins
  }
  // Sections whose every line was damaged are not kept.
  std::erase_if(values_, [](const auto& kv) { return kv.second.empty(); });
}

std::vector<Settings::Entry> Settings::Entries() const {
  std::vector<Entry> out;
  for (const auto& [section, keys] : values_)
    for (const auto& [key, stored] : keys) out.push_back({section, key, DecodeString(stored)});
  return out;
}

bool Settings::Has(std::string_view section, std::string_view key) const {
  auto s = values_.find(section);
  return s != values_.end() && s->second.find(key) != s->second.end();
}

bool Settings::Save() {
  lastError_.clear();
  if (path_.empty()) return true;
  std::string out;
  for (const auto& [section, keys] : values_) {
    if (keys.empty()) continue;
    if (!out.empty()) out += '\n';
    out += '[';
    out += Encode(section, true);
    out += "]\n";
    for (const auto& [key, stored] : keys) {
      out += Encode(key, true);
      out += '=';
      out += stored;
      out += '\n';
    }
  }
  std::error_code ec;
  fs::path parent = fs::path(path_).parent_path();
  if (!parent.empty()) fs::create_directories(parent, ec);
  return WriteFileAtomic(path_, out, &lastError_);
}

int32_t Settings::GetInt(std::string_view section, std::string_view key, int32_t def) const {
  auto s = values_.find(section);
  if (s == values_.end()) return def;
  auto k = s->second.find(key);
  if (k == s->second.end()) return def;
  auto str = DecodeString(k->second);
  if (!str) return def;
  return ParseSettingInt(*str).value_or(def);
}

std::string Settings::GetString(std::string_view section, std::string_view key,
                                std::string_view def) const {
  auto s = values_.find(section);
  if (s == values_.end()) return std::string(def);
  auto k = s->second.find(key);
  if (k == s->second.end()) return std::string(def);
  auto str = DecodeString(k->second);
  return str ? *str : std::string(def);
}

int32_t Settings::GetInt(std::string_view section, std::string_view key) const {
  int32_t def = 0;
  if (const SettingDefault* d = FindSettingDefault(section, key)) {
    def = d->isString ? ParseSettingInt(d->stringValue ? d->stringValue : "").value_or(0)
                      : d->intValue;
  }
  return GetInt(section, key, def);
}

std::string Settings::GetString(std::string_view section, std::string_view key) const {
  std::string def;
  if (const SettingDefault* d = FindSettingDefault(section, key)) {
    def = d->isString ? std::string(d->stringValue ? d->stringValue : "")
                      : std::to_string(d->intValue);
  }
  return GetString(section, key, def);
}

std::optional<std::vector<uint8_t>> Settings::GetBinary(std::string_view section,
                                                        std::string_view key) const {
  auto s = values_.find(section);
  if (s == values_.end()) return std::nullopt;
  auto k = s->second.find(key);
  if (k == s->second.end()) return std::nullopt;
  return DecodeBinary(k->second);
}

bool Settings::WriteInt(std::string_view section, std::string_view key, int32_t value) {
  return WriteString(section, key, std::to_string(value));
}

bool Settings::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  if (section.empty() || key.empty()) return false;
  auto s = values_.find(section);
  if (s == values_.end()) s = values_.emplace(std::string(section), Section()).first;
  auto k = s->second.find(key);
  if (k == s->second.end()) k = s->second.emplace(std::string(key), std::string()).first;
  k->second = Encode(value, false);
  return Save();
}

bool Settings::WriteBinary(std::string_view section, std::string_view key,
                           const std::vector<uint8_t>& value) {
  if (section.empty() || key.empty()) return false;
  static const char kHex[] = "0123456789ABCDEF";
  std::string stored(kBinaryMarker);
  stored.reserve(kBinaryMarker.size() + value.size() * 2);
  for (uint8_t b : value) {
    stored += kHex[b >> 4];
    stored += kHex[b & 0xF];
  }
  auto s = values_.find(section);
  if (s == values_.end()) s = values_.emplace(std::string(section), Section()).first;
  auto k = s->second.find(key);
  if (k == s->second.end()) k = s->second.emplace(std::string(key), std::string()).first;
  k->second = std::move(stored);
  return Save();
}

bool Settings::DeleteValue(std::string_view section, std::string_view key) {
  auto s = values_.find(section);
  if (s == values_.end()) return true;
  auto k = s->second.find(key);
  if (k == s->second.end()) return true;
  s->second.erase(k);
  if (s->second.empty()) values_.erase(s);
  return Save();
}

bool Settings::DeleteSection(std::string_view section) {
  auto s = values_.find(section);
  if (s == values_.end()) return true;
  values_.erase(s);
  return Save();
}

std::string Settings::DefaultPath() {
  if (const char* p = std::getenv("TAVRO_SETTINGS"); p && *p) return p;
  // Relative XDG_CONFIG_HOME values are to be ignored.
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/')
    return (fs::path(x) / "tavro" / "tavro.ini").string();
  std::string home = HomeDir();
  if (home.empty()) return {};  // nowhere to keep it: the store lives in memory
  return (fs::path(home) / ".config" / "tavro" / "tavro.ini").string();
}

Settings& AppSettings() {
  if (g_override) return *g_override;
  auto& own = OwnStore();
  if (!own) own = std::make_unique<Settings>(Settings::DefaultPath());
  return *own;
}

void SetAppSettings(Settings* settings) { g_override = settings; }

// ---- "Color" values ------------------------------------------------------

const std::vector<std::string>& ColorKeys() {
  static const std::vector<std::string> keys = {
      "Wire", "WireName", "Bus",     "BusName", "Line",  "LineName", "Junc",
      "Part", "PartName", "PartVal", "PartNo",  "Pin",   "PinName",  "PinNo",
      "Text", "Sheet",    "Grid",    "SubGrid", "Title", "Highlight"};
  return keys;
}

namespace {

// Parses "%ld %d" into `c`. Returns false (and leaves `c`) when there is not
// even a colour; a missing or unreadable second number leaves the visibility.
bool ParseColor(std::string_view text, ColorSetting& c) {
  std::string s(text);
  const char* p = s.c_str();
  char* end = nullptr;
  errno = 0;
  long long colour = std::strtoll(p, &end, 10);
  if (end == p || errno == ERANGE || colour < 0 || colour > 0xFFFFFF) return false;
  if (*end != '\0' && !IsBlankByte(static_cast<unsigned char>(*end))) return false;
  c.color = static_cast<uint32_t>(colour);
  p = end;
  errno = 0;
  long long flag = std::strtoll(p, &end, 10);
  if (end != p && errno != ERANGE) c.visible = flag != 0;
  return true;
}

}  // namespace

ColorSetting GetColor(const Settings& s, std::string_view key) {
  ColorSetting c;
  if (const SettingDefault* d = FindSettingDefault("Color", key); d && d->isString)
    ParseColor(d->stringValue, c);
  std::string stored = s.GetString("Color", key, "");
  ColorSetting parsed = c;
  if (!stored.empty() && ParseColor(stored, parsed)) c = parsed;
  return c;
}

bool WriteColor(Settings& s, std::string_view key, ColorSetting c) {
  return s.WriteString(
      "Color", key,
      std::to_string(static_cast<long>(c.color)) + " " + std::to_string(c.visible ? 1 : 0));
}

}  // namespace tavro
