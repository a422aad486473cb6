// tavro lib SUBCOMMAND ...: the part libraries from the command line, with the
// operations of the editor's library browser and part registration. A
// question the editor would ask is answered no unless --force is given; the
// command then fails with the question's text.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <set>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/library_convert_job.h"
#include "core/file/document.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"
#include "library/library.h"
#include "library/library_ops.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"force", 'f', false, nullptr, "answer yes to the questions (create, overwrite)"},
    {"gate", 'g', true, "N", "show / delete: one gate of the package (from 1)"},
    {"except", 'e', true, "P,Q",
     "add: properties removed from the parts (default: the Library File List/Except setting)"},
    {"output", 'o', true, "FILE", "extract: the sheet file written (.tcd or .txt)"},
    {"add", 0, true, "LIB", "paths: append a library to the library list", true},
    {"remove", 0, true, "LIB", "paths: remove a library from the library list", true},
};

// Which options each subcommand takes, and its positional arguments.
struct Sub {
  const char* name;
  size_t args;
  const char* usage;
  std::set<std::string> options;
};
const std::vector<Sub> kSubs = {
    {"list", 1, "list LIB", {}},
    {"show", 2, "show LIB PACKAGE [--gate N]", {"gate"}},
    {"add", 3, "add LIB PACKAGE SHEET [--except P,Q] [--force]", {"except", "force"}},
    {"extract", 2, "extract LIB PACKAGE -o SHEET.tcd|SHEET.txt", {"output"}},
    {"delete", 2, "delete LIB PACKAGE [--gate N]", {"gate"}},
    {"copy", 3, "copy FROM PACKAGE TO [--force]", {"force"}},
    {"move", 3, "move FROM PACKAGE TO [--force]", {"force"}},
    {"rename", 3, "rename LIB OLD NEW", {}},
    {"to-text", 2, "to-text LIB OUT.txt [--force]", {"force"}},
    {"from-text", 2, "from-text IN.txt LIB [--force]", {"force"}},
    {"paths", 0, "paths [--add LIB] [--remove LIB]", {"add", "remove"}},
};

// The prompts of the command line: questions are answered from --force and
// remembered, messages are kept for the failure line.
struct CliPrompts {
  bool force = false;
  std::string question;  // the last question answered no
  std::vector<std::string> messages;

  LibraryPrompts Get() {
    return {[this](std::string_view q) {
              if (!force) question = q;
              return force;
            },
            [this](std::string_view m) { messages.emplace_back(m); }};
  }
};

std::string OneLineText(std::string_view text) {
  std::string s(text);
  for (char& c : s)
    if (c == '\n') c = ' ';
  return s;
}

// The failure line of an operation: a refused question with the hint, else
// the library's message.
int FailWith(const CliPrompts& prompts, const std::string& message) {
  if (!prompts.question.empty())
    return Fail(OneLineText(prompts.question) + " (answered no: give --force to answer yes)");
  if (!message.empty()) return Fail(OneLineText(message));
  if (!prompts.messages.empty()) return Fail(OneLineText(prompts.messages.back()));
  return Fail("the library operation failed");
}

int Result(const CliPrompts& prompts, const LibOpResult& r, bool quiet, const std::string& done) {
  if (r.status == LibOpStatus::kDone) {
    if (!quiet && !done.empty()) std::printf("%s\n", done.c_str());
    return kExitOk;
  }
  if (r.status == LibOpStatus::kNothing) {
    if (!quiet) std::printf("nothing to do\n");
    return kExitOk;
  }
  return FailWith(prompts, r.message);
}

// A library read for a command; nullopt after reporting the failure.
bool ReadLibrary(CLibrary& lib, const std::string& path, CliPrompts& prompts) {
  lib.SetPrompts(prompts.Get());
  lib.SetLibraryName(path);
  return lib.ReadFile() == 1;
}

std::string GateLabel(const LibIndexEntry& g) {
  if (!g.reference.empty()) return g.reference;
  return g.gateName.empty() ? g.packageName : g.gateName;
}

int List(const std::string& path, CliPrompts& prompts) {
  std::string message;
  auto packages = ListLibrary(path, prompts.Get(), &message);
  if (!packages) return FailWith(prompts, message);
  for (const LibPackage& p : *packages) {
    std::string line = Console(p.name) + "\t" + std::to_string(p.gates.size());
    if (p.gates.size() > 1) {
      line += "\t";
      for (size_t i = 0; i < p.gates.size(); ++i)
        line += (i ? "," : "") + Console(GateLabel(p.gates[i]));
    }
    std::printf("%s\n", line.c_str());
  }
  return kExitOk;
}

// The gates of a package; false after reporting that it is not there.
bool ReadPackage(const std::string& path, const std::string& package, CSheet& gates,
                 CliPrompts& prompts, int& exitCode) {
  CLibrary lib;
  if (!ReadLibrary(lib, path, prompts)) {
    exitCode = FailWith(prompts, {});
    return false;
  }
  lib.SetPackageName(Utf8ToCp932(package));
  if (lib.ReadPart(gates, true) != 1) {
    exitCode =
        lib.Damaged() ? FailWith(prompts, {}) : Fail("package " + package + " is not in " + path);
    return false;
  }
  return true;
}

int Show(const std::string& path, const std::string& package, std::optional<long> gate,
         CliPrompts& prompts) {
  CSheet gates(kSheetScratch);
  int code = kExitOk;
  if (!ReadPackage(path, package, gates, prompts, code)) return code;
  const size_t count = gates.Parts().size();
  if (gate && (*gate < 1 || static_cast<size_t>(*gate) > count))
    return Fail("package " + package + " has " + std::to_string(count) + " gates");
  for (size_t i = 0; i < count; ++i) {
    if (gate && static_cast<size_t>(*gate) != i + 1) continue;
    const CPart& p = *gates.Parts()[i];
    std::printf("gate %zu of %zu: part %s, reference %s, value %s, unit %u of %u, %d pins\n", i + 1,
                count, Console(p.GetPartName()).c_str(), Console(p.GetRefName()).c_str(),
                Console(p.GetValName()).c_str(), p.GetPackage(), p.GetPackageMax(),
                p.GetPinCount());
    for (const auto& pin : p.Pins()) {
      const char* type = pin->GetEleName();
      std::printf("  pin %s %s (%s%s)\n", Console(pin->GetNoText().GetName()).c_str(),
                  Console(pin->GetNameText().GetName()).c_str(), type ? type : "-",
                  (pin->GetElect() & 0x8000) ? ", hidden" : "");
    }
    for (const auto& t : p.Texts()) {
      if (t->IsProperty() > 0)
        std::printf("  property %s=%s\n", Console(t->GetPropertyName()).c_str(),
                    Console(t->GetPropertyVal(0)).c_str());
    }
  }
  return kExitOk;
}

int Add(const std::string& path, const std::string& package, const std::string& sheetPath,
        const ParsedArgs& parsed, CliPrompts& prompts) {
  CSheetDoc doc;
  const DocStatus st = ReadInputDocument(sheetPath, doc);
  if (!st.ok) return Fail(OneLine(st.message, sheetPath));
  PrintWarnings(st);
  if (doc.GetSheet().Parts().empty()) return Fail(sheetPath + ": the sheet holds no part");
  const std::string except = parsed.Get("except")
                                 ? Utf8ToCp932(*parsed.Get("except"))
                                 : AppSettings().GetString("Library File List", "Except");
  const LibOpResult r =
      RegisterParts(path, Utf8ToCp932(package), doc.GetSheet(), except, prompts.Get());
  return Result(prompts, r, parsed.quiet,
                "added " + package + " (" + std::to_string(doc.GetSheet().Parts().size()) +
                    " gates) to " + path);
}

int Extract(const std::string& path, const std::string& package, const std::string& out,
            CliPrompts& prompts) {
  CSheetDoc doc;
  doc.NewDocument();
  int code = kExitOk;
  if (!ReadPackage(path, package, doc.GetSheet(), prompts, code)) return code;
  if (HasExtension(out, ".txt")) {
    std::string error;
    if (!WriteFileAtomic(out, doc.WriteText(), &error))
      return Fail(FileMessage(kMsgCannotCreate, out) + " (" + error + ")");
    return kExitOk;
  }
  if (!HasExtension(out, ".tcd")) return Usage("lib", "-o needs a .tcd or .txt file name");
  const DocStatus st = doc.Save(out, false);
  if (!st.ok) return Fail(OneLine(st.message, out));
  return kExitOk;
}

// to-text and from-text: the conversion job of the editor's 部品ファイル変換.
int Convert(int type, const std::string& source, const std::string& dest, CliPrompts& prompts) {
  LibraryConvertJob job;
  job.type = type;
  job.source = source;
  job.dest = dest;
  const LibraryConvertResult r = RunLibraryConvert(
      job,
      [&](std::string_view question) {
        if (!prompts.force) prompts.question = question;
        return prompts.force;
      },
      prompts.Get());
  if (r.ok()) return kExitOk;
  return FailWith(prompts, r.message);
}

int Paths(const ParsedArgs& parsed) {
  CLibrary lib;
  lib.SetLibraryList(LibraryListOrStarter());
  if (parsed.Has("add") || parsed.Has("remove")) {
    std::vector<std::string> list = lib.GetLibraryList();
    for (const std::string& r : parsed.GetAll("remove")) {
      const size_t before = list.size();
      std::erase_if(list, [&](const std::string& p) { return p == r; });
      if (list.size() == before) return Fail(r + " is not in the library list");
    }
    for (const std::string& a : parsed.GetAll("add")) {
      const std::string full = std::filesystem::absolute(a).lexically_normal().string();
      if (std::find(list.begin(), list.end(), full) == list.end()) list.push_back(full);
    }
    lib.SetLibraryList(list);
    if (!lib.WriteLibraryList())
      return Fail(FileMessage(kMsgCannotCreate, AppSettings().Path()) + " (" +
                  AppSettings().LastError() + ")");
  }
  for (const std::string& p : lib.GetLibraryList()) std::printf("%s\n", p.c_str());
  return kExitOk;
}

}  // namespace

int RunLib(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("lib", error);
  if (!parsed->help && parsed->positional.empty()) {
    std::string names;
    for (const Sub& s : kSubs) names += std::string(names.empty() ? "" : ", ") + s.name;
    return Usage("lib", "expected a subcommand: " + names);
  }
  if (parsed->help) {
    std::string usage;
    for (const Sub& s : kSubs) usage += std::string("\n  tavro lib ") + s.usage;
    PrintCommandHelp(
        "lib", "SUBCOMMAND ...",
        "Lists, shows and edits part libraries (.lib):" + usage +
            "\n\nlist prints one line per package: its name, its gate count and, for a package\n"
            "of several gates, the gates' references (or names). A missing library is not\n"
            "created and an existing package or output file is not replaced unless --force\n"
            "answers yes. Every rewrite keeps the previous library as a backup (.lbk) when\n"
            "the FileSave/LibraryBackUp setting is on. paths prints the library list (the\n"
            "starter libraries on first use) and adds or removes entries.",
        kOptions);
    return kExitOk;
  }
  const std::string sub = parsed->positional[0];
  const auto it =
      std::find_if(kSubs.begin(), kSubs.end(), [&](const Sub& s) { return sub == s.name; });
  if (it == kSubs.end()) return Usage("lib", "unknown subcommand: " + sub);
  const std::vector<std::string> a(parsed->positional.begin() + 1, parsed->positional.end());
  if (a.size() != it->args) return Usage("lib", std::string("usage: tavro lib ") + it->usage);
  for (const auto& [name, values] : parsed->values)
    if (!it->options.count(name)) return Usage("lib", "--" + name + " does not apply to " + sub);

  CliPrompts prompts;
  prompts.force = parsed->Has("force");
  std::optional<long> gate;
  if (auto g = parsed->Get("gate")) {
    gate = ParseInt(*g);
    if (!gate || *gate < 1) return Usage("lib", "--gate needs a gate number from 1");
  }
  const bool quiet = parsed->quiet;
  if (sub == "list") return List(a[0], prompts);
  if (sub == "show") return Show(a[0], a[1], gate, prompts);
  if (sub == "add") return Add(a[0], a[1], a[2], *parsed, prompts);
  if (sub == "extract") {
    if (!parsed->Get("output")) return Usage("lib", "extract needs -o SHEET.tcd|SHEET.txt");
    return Extract(a[0], a[1], *parsed->Get("output"), prompts);
  }
  if (sub == "delete")
    return Result(
        prompts,
        DeletePackage(a[0], Utf8ToCp932(a[1]), gate ? static_cast<int>(*gate) : 0, prompts.Get()),
        quiet, "deleted " + a[1] + (gate ? " gate " + std::to_string(*gate) : ""));
  if (sub == "copy" || sub == "move")
    return Result(prompts, CopyPackage(a[0], Utf8ToCp932(a[1]), a[2], sub == "move", prompts.Get()),
                  quiet, (sub == "move" ? "moved " : "copied ") + a[1] + " to " + a[2]);
  if (sub == "rename")
    return Result(prompts, RenamePackage(a[0], Utf8ToCp932(a[1]), Utf8ToCp932(a[2]), prompts.Get()),
                  quiet, "renamed " + a[1] + " to " + a[2]);
  if (sub == "to-text") return Convert(LibraryConvertJob::kToText, a[0], a[1], prompts);
  if (sub == "from-text") return Convert(LibraryConvertJob::kFromText, a[0], a[1], prompts);
  return Paths(*parsed);
}

}  // namespace tavro::cli
