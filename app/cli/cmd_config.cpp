// tavro config list | get KEY | set KEY VALUE | path: the settings in effect.
// KEY is "Section/Key" as the settings store names it ("Tool/NetType").
#include <cstdio>
#include <filesystem>
#include <set>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/setting_meaning.h"
#include "app/setting_value.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

struct Key {
  std::string section;
  std::string key;
};

std::optional<Key> SplitKey(const std::string& text) {
  const size_t slash = text.find('/');
  if (slash == std::string::npos || slash == 0 || slash + 1 == text.size()) return std::nullopt;
  return Key{Utf8ToCp932(text.substr(0, slash)), Utf8ToCp932(text.substr(slash + 1))};
}

// A string value as the list shows it: in double quotes, control bytes escaped.
std::string Quoted(const std::string& cp932) {
  std::string out = "\"";
  for (char ch : Console(cp932)) {
    auto c = static_cast<unsigned char>(ch);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += ch;
    } else if (c < 0x20 || c == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", c);
      out += buf;
    } else {
      out += ch;
    }
  }
  return out + "\"";
}

// One line of the list: "Section/Key = value (meaning) [default]".
struct Shown {
  std::string value;  // as the list writes it
  std::string raw;    // UTF-8, as `get` prints it
  bool isDefault = false;
  bool known = true;  // stored or in the table of defaults
};

Shown Show(const Settings& s, const std::string& section, const std::string& key) {
  Shown out;
  const SettingDefault* d = FindSettingDefault(section, key);
  out.known = d != nullptr || s.Has(section, key);
  out.isDefault = !s.Has(section, key);
  out.raw = SettingValueText(s, section, key);
  if (s.GetBinary(section, key)) {
    out.value = out.raw;
    return out;
  }
  out.value = d && !d->isString ? out.raw : Quoted(s.GetString(section, key));
  if (auto meaning = DescribeSetting(section, key, Cp932ToUtf8(s.GetString(section, key))))
    out.value += " (" + *meaning + ")";
  if (out.isDefault) out.value += " [default]";
  return out;
}

std::string Name(const std::string& section, const std::string& key) {
  return Console(section) + "/" + Console(key);
}

int List(const Settings& s) {
  const std::string& path = s.Path();
  std::error_code ec;
  if (path.empty())
    std::printf("# settings: none (no home folder; values are the defaults)\n");
  else if (!std::filesystem::exists(path, ec))
    std::printf("# settings file: %s (not written yet: every value is the default)\n",
                path.c_str());
  else
    std::printf("# settings file: %s\n", path.c_str());
  // The table of defaults in its order, then values stored without a default.
  std::set<std::string> listed;
  for (const SettingDefault& d : SettingDefaults()) {
    std::printf("%s = %s\n", Name(d.section, d.key).c_str(),
                Show(s, d.section, d.key).value.c_str());
    listed.insert(ToUpper(std::string(d.section) + '\x01' + d.key));
  }
  for (const Settings::Entry& e : s.Entries()) {
    if (listed.count(ToUpper(e.section + '\x01' + e.key))) continue;
    std::printf("%s = %s\n", Name(e.section, e.key).c_str(),
                Show(s, e.section, e.key).value.c_str());
  }
  return kExitOk;
}

const char* kUsage = "list | get Section/Key | set Section/Key VALUE | path";

}  // namespace

int RunConfig(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, {}, error);
  if (!parsed) return Usage("config", error);
  if (parsed->help) {
    PrintCommandHelp(
        "config", kUsage,
        "Shows and changes the settings in effect. Keys are \"Section/Key\" as the\n"
        "settings store names them (\"Tool/NetType\", \"Default/Text Height\"); letter\n"
        "case does not matter.\n\n"
        "  list   every setting with its value, what a code means (\"Tool/NetType = 12\n"
        "         (Scicards, format 15)\") and [default] where nothing is stored\n"
        "  get    the value of one setting\n"
        "  set    stores one value (the file is replaced only when complete)\n"
        "  path   the settings file: $TAVRO_SETTINGS, else\n"
        "         $XDG_CONFIG_HOME/tavro/tavro.ini, else ~/.config/tavro/tavro.ini",
        {});
    return kExitOk;
  }
  const std::vector<std::string>& pos = parsed->positional;
  if (pos.empty()) return Usage("config", std::string("expected ") + kUsage);
  const std::string& verb = pos[0];
  Settings& s = AppSettings();
  const Summary summary(parsed->quiet, false);

  if (verb == "path" || verb == "list") {
    if (pos.size() != 1) return Usage("config", "'" + verb + "' takes no argument");
    if (verb == "list") return List(s);
    if (s.Path().empty()) return Fail("no settings file: set TAVRO_SETTINGS or HOME");
    std::printf("%s\n", s.Path().c_str());
    return kExitOk;
  }
  if (verb != "get" && verb != "set") return Usage("config", "unknown action '" + verb + "'");
  if (pos.size() != (verb == "get" ? 2u : 3u))
    return Usage("config",
                 verb == "get" ? "expected: get Section/Key" : "expected: set Section/Key VALUE");
  auto key = SplitKey(pos[1]);
  if (!key) return Usage("config", "a key is Section/Key, e.g. Tool/NetType");
  const Shown shown = Show(s, key->section, key->key);
  if (!shown.known)
    return Fail("unknown setting '" + pos[1] + "' (tavro config list shows them all)");

  if (verb == "get") {
    std::printf("%s\n", shown.raw.c_str());
    return kExitOk;
  }
  if (s.GetBinary(key->section, key->key))
    return Fail("'" + pos[1] + "' holds binary data and is set by the editor only");
  const std::string& value = pos[2];
  if (auto bad = CheckSettingValue(key->section, key->key, value))
    return Usage("config", "'" + pos[1] + "' " + *bad);
  if (s.Path().empty()) return Fail("no settings file: set TAVRO_SETTINGS or HOME");
  const SettingDefault* d = FindSettingDefault(key->section, key->key);
  const std::string section = d ? d->section : key->section;
  const std::string name = d ? d->key : key->key;
  if (!StoreSettingValue(s, section, name, value))
    return Fail(FileMessage(kMsgCannotCreate, s.Path()) + " (" + s.LastError() + ")");
  summary.Print("%s = %s\n", Name(section, name).c_str(), Show(s, section, name).value.c_str());
  return kExitOk;
}

}  // namespace tavro::cli
