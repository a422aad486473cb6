// The table of commands. Each command lives in its own file of app/cli/.
#include "app/cli/cli.h"

namespace tavro::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
  };
  return commands;
}

}  // namespace tavro::cli
