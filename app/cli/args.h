// A small option parser shared by the commands: "-x VALUE", "--long VALUE",
// "--long=VALUE", flags, "--" and positional arguments.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tavro::cli {

struct OptionSpec {
  const char* longName;  // without "--"
  char shortName;        // 0 for none
  bool takesValue;
  const char* valueName;  // shown in the help ("FILE", "N")
  const char* help;
};

struct ParsedArgs {
  std::map<std::string, std::string> values;  // long name -> value ("" for flags)
  std::vector<std::string> positional;
  bool help = false;

  bool Has(const std::string& name) const { return values.count(name) != 0; }
  std::optional<std::string> Get(const std::string& name) const;
};

// Parses `args`; on bad usage returns nullopt and fills `error`.
std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                                    const std::vector<OptionSpec>& options, std::string& error);

// Prints "Usage: tavro <command> <usage>", the description and the options.
void PrintCommandHelp(const std::string& command, const std::string& usage,
                      const std::string& description, const std::vector<OptionSpec>& options);

// Parses a whole decimal integer; nullopt for anything else.
std::optional<long> ParseInt(const std::string& s);

// The system's shared messages (UTF-8); "%1" stands for a file name.
inline constexpr const char* kMsgCannotOpen = "ファイル %1 を開けません";
inline constexpr const char* kMsgCannotCreate = "ファイル %1 を作成できません";
inline constexpr const char* kMsgBadFormat = "ファイルフォーマットが異常です";
// A message with "%1" replaced by the file name.
std::string FileMessage(const char* utf8Template, const std::string& file);

// A message in the system's CP932 made printable on the console (UTF-8).
std::string Console(const std::string& cp932);

}  // namespace tavro::cli
