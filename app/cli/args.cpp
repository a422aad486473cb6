#include "app/cli/args.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "core/platform/codec.h"

namespace tavro::cli {

namespace {

// The options every command takes besides its own.
const OptionSpec kHelpOption = {"help", 'h', false, nullptr, "show this help"};
const OptionSpec kQuietOption = {
    "quiet", 'q', false, nullptr,
    "print no summary and no progress bar (errors still go to stderr)"};

class Parser {
 public:
  Parser(const std::vector<OptionSpec>& options, std::string& error)
      : options_(options), error_(error) {}

  std::optional<ParsedArgs> Parse(const std::vector<std::string>& args) {
    bool onlyPositional = false;
    for (size_t i = 0; i < args.size(); ++i) {
      const std::string& a = args[i];
      if (onlyPositional || a.size() < 2 || a[0] != '-') {
        out_.positional.push_back(a);
      } else if (a == "--") {
        onlyPositional = true;
      } else if (a.rfind("--", 0) == 0) {
        if (!Long(a.substr(2), args, i)) return std::nullopt;
      } else if (!Short(a, args, i)) {
        return std::nullopt;
      }
    }
    return std::move(out_);
  }

 private:
  const OptionSpec* FindLong(const std::string& n) const {
    if (n == kHelpOption.longName) return &kHelpOption;
    if (n == kQuietOption.longName) return &kQuietOption;
    for (const auto& o : options_)
      if (n == o.longName) return &o;
    return nullptr;
  }
  const OptionSpec* FindShort(char c) const {
    if (c == kHelpOption.shortName) return &kHelpOption;
    if (c == kQuietOption.shortName) return &kQuietOption;
    for (const auto& o : options_)
      if (o.shortName && c == o.shortName) return &o;
    return nullptr;
  }

  bool Fail(std::string message) {
    error_ = std::move(message);
    return false;
  }

  // "--name", "--name=value", "--name value".
  bool Long(std::string name, const std::vector<std::string>& args, size_t& i) {
    std::optional<std::string> value;
    if (size_t eq = name.find('='); eq != std::string::npos) {
      value = name.substr(eq + 1);
      name.resize(eq);
    }
    const std::string shown = "--" + name;
    const OptionSpec* o = FindLong(name);
    if (!o) return Fail("unknown option '" + shown + "'");
    if (!o->takesValue) {
      if (value) return Fail("option '" + shown + "' takes no value");
      return Store(*o, "", shown);
    }
    if (!value) {
      if (i + 1 >= args.size()) return Fail("option '" + shown + "' needs a value");
      value = args[++i];
    }
    return Store(*o, *value, shown);
  }

  // "-x", "-xy" (flags), "-fVALUE", "-f VALUE", "-xfVALUE".
  bool Short(const std::string& a, const std::vector<std::string>& args, size_t& i) {
    for (size_t k = 1; k < a.size(); ++k) {
      const std::string shown = std::string("-") + a[k];
      const OptionSpec* o = FindShort(a[k]);
      if (!o) return Fail("unknown option '" + shown + "'");
      if (!o->takesValue) {
        if (!Store(*o, "", shown)) return false;
        continue;
      }
      std::string value;
      if (k + 1 < a.size()) {
        value = a.substr(k + 1);
      } else {
        if (i + 1 >= args.size()) return Fail("option '" + shown + "' needs a value");
        value = args[++i];
      }
      return Store(*o, value, shown);
    }
    return true;
  }

  bool Store(const OptionSpec& o, std::string value, const std::string& shown) {
    if (&o == &kHelpOption) {
      out_.help = true;
      return true;
    }
    if (&o == &kQuietOption) {
      out_.quiet = true;
      return true;
    }
    std::vector<std::string>& slot = out_.values[o.longName];
    if (!slot.empty() && !o.repeats) {
      std::string both = std::string("--") + o.longName;
      if (o.shortName) both = std::string("-") + o.shortName + ", " + both;
      return Fail("option '" + (shown.size() == 2 ? both : shown) + "' given more than once");
    }
    slot.push_back(std::move(value));
    return true;
  }

  const std::vector<OptionSpec>& options_;
  std::string& error_;
  ParsedArgs out_;
};

void PrintOption(const OptionSpec& o) {
  std::string left = o.shortName ? std::string("-") + o.shortName + ", " : "    ";
  left += std::string("--") + o.longName;
  if (o.takesValue) left += std::string(" ") + o.valueName;
  std::string help = o.help;
  if (o.repeats) help += " (may be repeated)";
  std::printf("  %-26s %s\n", left.c_str(), help.c_str());
}

}  // namespace

std::optional<std::string> ParsedArgs::Get(const std::string& name) const {
  auto it = values.find(name);
  if (it == values.end() || it->second.empty()) return std::nullopt;
  return it->second.back();
}

std::vector<std::string> ParsedArgs::GetAll(const std::string& name) const {
  auto it = values.find(name);
  return it == values.end() ? std::vector<std::string>{} : it->second;
}

std::optional<ParsedArgs> ParseArgs(const std::vector<std::string>& args,
                                    const std::vector<OptionSpec>& options, std::string& error) {
  return Parser(options, error).Parse(args);
}

void PrintCommandHelp(const std::string& command, const std::string& usage,
                      const std::string& description, const std::vector<OptionSpec>& options) {
  std::printf("Usage: tavro %s %s\n\n%s\n", command.c_str(), usage.c_str(), description.c_str());
  std::printf("\nOptions:\n");
  for (const auto& o : options) PrintOption(o);
  PrintOption(kQuietOption);
  PrintOption(kHelpOption);
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

std::string PadRight(const std::string& utf8, size_t width) {
  size_t chars = 0;
  for (unsigned char c : utf8)
    if ((c & 0xC0) != 0x80) ++chars;  // every byte but a continuation byte starts a character
  std::string out = utf8;
  if (chars < width) out.append(width - chars, ' ');
  return out;
}

bool WriteStdout(std::string_view data) {
  return std::fwrite(data.data(), 1, data.size(), stdout) == data.size() &&
         std::fflush(stdout) == 0;
}

void Summary::Print(const char* format, ...) const {
  if (quiet_) return;
  std::va_list ap;
  va_start(ap, format);
  std::vfprintf(toStderr_ ? stderr : stdout, format, ap);
  va_end(ap);
}

}  // namespace tavro::cli
