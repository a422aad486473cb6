// The option parser shared by the commands, after getopt's conventions:
// "-f VALUE", "-fVALUE", "--format VALUE", "--format=VALUE", flags grouped
// behind one dash ("-aq"), "--" ending the options, and "-" standing for
// stdin or stdout as a plain argument. Options and arguments may come in any
// order. An option given twice is an error unless it repeats ("--set").
// Every command also takes "-h, --help" and "-q, --quiet".
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavro::cli {

struct OptionSpec {
  const char* longName;  // without "--"
  char shortName;        // 0 for none
  bool takesValue;
  const char* valueName;  // shown in the help ("FILE", "N")
  const char* help;
  bool repeats = false;  // may be given more than once; every value is kept
};

struct ParsedArgs {
  std::map<std::string, std::vector<std::string>> values;  // long name -> values ("" for flags)
  std::vector<std::string> positional;
  bool help = false;
  bool quiet = false;

  bool Has(const std::string& name) const { return values.count(name) != 0; }
  // The value of an option (the last one of a repeating option).
  std::optional<std::string> Get(const std::string& name) const;
  // Every value of a repeating option, in the order given.
  std::vector<std::string> GetAll(const std::string& name) const;
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

// `utf8` padded with blanks to `width` characters (not bytes), for columns.
std::string PadRight(const std::string& utf8, size_t width);

// The output name that stands for stdout ("-o -").
inline bool IsStdout(const std::string& path) { return path == "-"; }
// Writes a whole output to stdout; false when it could not.
bool WriteStdout(std::string_view data);

// Where a command's summary goes: stdout, or stderr when the output itself
// goes to stdout; nowhere with --quiet. Prints like printf.
class Summary {
 public:
  Summary(bool quiet, bool outputOnStdout) : quiet_(quiet), toStderr_(outputOnStdout) {}
  void Print(const char* format, ...) const __attribute__((format(printf, 2, 3)));

 private:
  bool quiet_;
  bool toStderr_;
};

}  // namespace tavro::cli
