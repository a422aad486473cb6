// The table of commands. Each command lives in its own file of app/cli/.
#include "app/cli/cli.h"

namespace tavro::cli {

int RunProject(const std::vector<std::string>& args);
int RunNetlist(const std::vector<std::string>& args);
int RunInfo(const std::vector<std::string>& args);
int RunConvert(const std::vector<std::string>& args);
int RunConfig(const std::vector<std::string>& args);
int RunCheck(const std::vector<std::string>& args);
int RunIndex(const std::vector<std::string>& args);
int RunPdf(const std::vector<std::string>& args);
int RunFind(const std::vector<std::string>& args);
int RunLib(const std::vector<std::string>& args);
int RunBom(const std::vector<std::string>& args);
int RunAnnotate(const std::vector<std::string>& args);
int RunCleanup(const std::vector<std::string>& args);
int RunWasis(const std::vector<std::string>& args);

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"info", "show what a sheet file holds: paper, properties, title frame, items", RunInfo},
      {"convert", "convert a sheet file or a text-form file (.tcd, .txt)", RunConvert},
      {"project", "list a project's sheet files and properties, or set a property", RunProject},
      {"netlist", "write the netlist of a sheet or a project in one of 29 formats", RunNetlist},
      {"check", "rule check and net report of a project or of sheets", RunCheck},
      {"index", "net index of a project: where each signal name occurs", RunIndex},
      {"annotate", "number the part references of a project or of sheets (R? -> R8)", RunAnnotate},
      {"wasis", "write a Was-Is template of the references, or apply an edited one", RunWasis},
      {"bom", "parts list of a project or of sheets: parts grouped by name and value", RunBom},
      {"cleanup", "tidy the sheets (duplicates, overlapping wires) and write the check log",
       RunCleanup},
      {"pdf", "PDF of a project or of sheets, one page per sheet with its title frame", RunPdf},
      {"find", "list every text and name of a project or of sheets that holds a pattern", RunFind},
      {"lib", "list, show and edit part libraries; convert them to and from text", RunLib},
      {"config", "show the settings in effect and what they mean; set one", RunConfig},
  };
  return commands;
}

}  // namespace tavro::cli
