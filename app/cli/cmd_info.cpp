// tavro info FILE: what a sheet file (or a text-form file) holds.
#include <cstdio>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/sheet_info.h"
#include "core/file/document.h"

namespace tavro::cli {

int RunInfo(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, {}, error);
  if (!parsed) return Usage("info", error);
  if (parsed->help) {
    PrintCommandHelp("info", "FILE",
                     "Shows what a sheet file (.tcd) or a text-form file (.txt) holds: format\n"
                     "version, paper, work size, view, document properties, the title frame in\n"
                     "use and the items of the main and title-frame sheets by kind.",
                     {});
    return kExitOk;
  }
  if (parsed->positional.size() != 1) return Usage("info", "expected one file");
  const std::string& path = parsed->positional[0];

  CSheetDoc doc;
  const DocStatus st = ReadInputDocument(path, doc);
  if (!st.ok) return Fail(OneLine(st.message, path));
  PrintWarnings(st);

  std::fputs(SheetInfoText(GetSheetInfo(doc, path)).c_str(), stdout);
  return kExitOk;
}

}  // namespace tavro::cli
