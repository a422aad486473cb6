// tavro project FILE.tpj [--all] [--set NAME=VALUE] [--unset NAME]
#include <cstdio>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/project.h"
#include "core/platform/codec.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"all", 'a', false, nullptr, "list every file, not only the checked ones"},
    {"set", 's', true, "NAME=VALUE", "set a project property (and list nothing)", true},
    {"unset", 'u', true, "NAME", "delete a project property (and list nothing)", true},
};

}  // namespace

int RunProject(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("project", error);
  if (parsed->help) {
    PrintCommandHelp("project", "[options] FILE.tpj",
                     "Lists the sheet files of a project (\"1:\" checked, \"0:\" unchecked) and\n"
                     "its properties, or sets and deletes properties (--set, --unset, once per\n"
                     "property; deletions come first, and all go into one write of the file).",
                     kOptions);
    return kExitOk;
  }
  if (parsed->positional.size() != 1) return Usage("project", "expected one project file");
  const std::string& path = parsed->positional[0];

  auto entries = ProjectFile::ReadEntries(path);
  if (!entries) return Fail(FileMessage(kMsgCannotOpen, path) + " (not a project file)");

  if (parsed->Has("set") || parsed->Has("unset")) {
    // The names given are deleted, then every pair is set in the order given,
    // with one write of the file.
    std::vector<std::string> removed;
    for (const std::string& name : parsed->GetAll("unset")) {
      if (name.empty()) return Usage("project", "--unset needs NAME");
      removed.push_back(Utf8ToCp932(name));
    }
    std::vector<std::pair<std::string, std::string>> props;
    for (const std::string& set : parsed->GetAll("set")) {
      size_t eq = set.find('=');
      if (eq == std::string::npos || eq == 0) return Usage("project", "--set needs NAME=VALUE");
      props.emplace_back(Utf8ToCp932(set.substr(0, eq)), Utf8ToCp932(set.substr(eq + 1)));
    }
    if (!ProjectFile::UpdateProperties(path, removed, props, &error))
      return Fail(FileMessage(kMsgCannotCreate, path) + " (" + error + ")");
    return kExitOk;
  }

  bool all = parsed->Has("all");
  for (const ProjectEntry& e : *entries) {
    if (!all && !e.checked) continue;
    std::printf("%s%s\n", e.checked ? "1:" : "0:", e.path.c_str());
  }
  for (const auto& [name, value] : ProjectFile::GetProperties(path))
    std::printf("property: %s=%s\n", Console(name).c_str(), Console(value).c_str());
  return kExitOk;
}

}  // namespace tavro::cli
