#include "app/cli/cli.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "core/platform/clock.h"
#include "core/platform/paths.h"

namespace tavro::cli {

namespace {

void PrintHelp() {
  std::printf(
      "Usage: tavro <command> [options] [files]\n"
      "       tavro --version | --help\n\n"
      "Tavro draws circuit sheets and turns them into netlists, reports and drawings.\n"
      "Commands:\n");
  for (const Command& c : Commands()) std::printf("  %-12s %s\n", c.name, c.summary);
  std::printf("\n`tavro <command> --help` describes the options of a command.\n");
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
  if (first == "--help" || first == "-h" || first == "help") {
    PrintHelp();
    return kExitOk;
  }
  for (const Command& c : Commands()) {
    if (first == c.name) {
      std::vector<std::string> args(argv + 2, argv + argc);
      return c.run(args);
    }
  }
  std::fprintf(stderr, "tavro: unknown command '%s'\nTry 'tavro --help'.\n", first.c_str());
  return kExitUsage;
}

}  // namespace tavro::cli
