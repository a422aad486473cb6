#include "app/cli/args.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "core/platform/codec.h"

namespace tavro::cli {

std::optional<std::string> ParsedArgs::Get(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end()) return std::nullopt;
  return it->second;
}

std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                                    const std::vector<OptionSpec>& options, std::string& error) {
  ParsedArgs out;
  auto findLong = [&](const std::string& n) -> const OptionSpec* {
    for (const auto& o : options)
      if (n == o.longName) return &o;
    return nullptr;
  };
  auto findShort = [&](char c) -> const OptionSpec* {
    for (const auto& o : options)
      if (o.shortName && c == o.shortName) return &o;
    return nullptr;
  };
  bool onlyPositional = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPositional || a.size() < 2 || a[0] != '-') {
      out.positional.push_back(a);
      continue;
    }
    if (a == "--") {
      onlyPositional = true;
      continue;
    }
    if (a == "--help" || a == "-h") {
      out.help = true;
      continue;
    }
    const OptionSpec* option = nullptr;
    std::optional<std::string> inlineValue;
    std::string shown = a;
    if (a.rfind("--", 0) == 0) {
      std::string name = a.substr(2);
      if (size_t eq = name.find('='); eq != std::string::npos) {
        inlineValue = name.substr(eq + 1);
        name = name.substr(0, eq);
        shown = "--" + name;
      }
      option = findLong(name);
    } else if (a.size() == 2) {
      option = findShort(a[1]);
    }
    if (!option) {
      error = "unknown option '" + shown + "'";
      return std::nullopt;
    }
    if (option->takesValue) {
      if (!inlineValue) {
        if (i + 1 >= args.size()) {
          error = "option '" + shown + "' needs a value";
          return std::nullopt;
        }
        inlineValue = args[++i];
      }
      out.values[option->longName] = *inlineValue;
    } else {
      if (inlineValue) {
        error = "option '" + shown + "' takes no value";
        return std::nullopt;
      }
      out.values[option->longName] = "";
    }
  }
  return out;
}

void PrintCommandHelp(const std::string& command, const std::string& usage,
                      const std::string& description, const std::vector<OptionSpec>& options) {
  std::printf("Usage: tavro %s %s\n\n%s\n", command.c_str(), usage.c_str(), description.c_str());
  if (options.empty()) return;
  std::printf("\nOptions:\n");
  for (const auto& o : options) {
    std::string left = o.shortName ? std::string("-") + o.shortName + ", " : "    ";
    left += std::string("--") + o.longName;
    if (o.takesValue) left += std::string(" ") + o.valueName;
    std::printf("  %-26s %s\n", left.c_str(), o.help);
  }
  std::printf("  %-26s %s\n", "-h, --help", "show this help");
}

std::optional<long> ParseInt(const std::string& s) {
  if (s.empty()) return std::nullopt;
  char* end = nullptr;
  errno = 0;
  long v = std::strtol(s.c_str(), &end, 10);
  if (errno != 0 || !end || *end != '\0') return std::nullopt;
  return v;
}

std::string FileMessage(const char* utf8Template, const std::string& file) {
  std::string s = utf8Template;
  if (size_t at = s.find("%1"); at != std::string::npos) s.replace(at, 2, file);
  return s;
}

std::string Console(const std::string& cp932) { return Cp932ToUtf8(cp932); }

}  // namespace tavro::cli
