// The table of commands. Each command lives in its own file of app/cli/.
#include "app/cli/cli.h"

namespace tavro::cli {

int RunProject(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"project", "list a project's sheet files and properties, or set a property", RunProject},
  };
  return commands;
}

}  // namespace tavro::cli
