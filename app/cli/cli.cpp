#include "app/cli/cli.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/platform/clock.h"
#include "core/platform/paths.h"

namespace tavro::cli {

namespace {

void PrintHelp() {
  std::printf(
      "Usage: tavro <command> [options] [files]\n"
      "       tavro [FILES...]      (the editor, with sheets and projects)\n"
      "       tavro --print FILES... | --print-to PRINTER FILES...\n"
      "       tavro --version | --help\n\n"
      "Tavro draws circuit sheets and turns them into netlists, reports and drawings.\n"
      "Commands:\n");
  for (const Command& c : Commands()) std::printf("  %-12s %s\n", c.name, c.summary);
  std::printf(
      "\n`tavro help <command>` (or `tavro <command> --help`) describes the options of a\n"
      "command. Every command takes -q, --quiet. `-o -` writes a text output to stdout.\n");
}

}  // namespace

int Fail(const std::string& utf8Message) {
  std::fprintf(stderr, "tavro: %s\n", utf8Message.c_str());
  return kExitFailure;
}

int Usage(const std::string& command, const std::string& utf8Message) {
  std::fprintf(stderr, "tavro %s: %s\nTry 'tavro %s --help'.\n", command.c_str(),
               utf8Message.c_str(), command.c_str());
  return kExitUsage;
}

bool IsBatchInvocation(int argc, char** argv) {
  if (argc < 2) return false;
  const std::string first = argv[1];
  if (first.empty()) return true;
  // Printing goes through the editor (and its running instance).
  if (first == "--print" || first == "--print-to" || first.starts_with("--print-to="))
    return false;
  if (first[0] == '-') return true;
  if (first == "help") return true;
  for (const Command& c : Commands())
    if (first == c.name) return true;
  std::error_code ec;
  if (std::filesystem::exists(first, ec)) return false;
  return first.find('.') == std::string::npos && first.find('/') == std::string::npos;
}

int Run(int argc, char** argv) {
  UseJapanTimeZone();
  if (argc < 2) {
    PrintHelp();
    return kExitUsage;
  }
  std::string first = argv[1];
  if (first == "--version" || first == "-V") {
    std::printf("tavro %s\n", Version().c_str());
    return kExitOk;
  }
  std::vector<std::string> args(argv + 2, argv + argc);
  if (first == "help") {
    // `tavro help CMD` is `tavro CMD --help`.
    if (args.empty())
      first = "--help";
    else if (args.size() > 1)
      return Usage("help", "expected one command name");
    else {
      first = args[0];
      args = {"--help"};
    }
  }
  if (first == "--help" || first == "-h") {
    PrintHelp();
    return kExitOk;
  }
  for (const Command& c : Commands())
    if (first == c.name) return c.run(args);
  std::fprintf(stderr, "tavro: unknown command '%s'\nTry 'tavro --help'.\n", first.c_str());
  return kExitUsage;
}

}  // namespace tavro::cli
