// tavro info FILE: what a sheet file (or a text-form file) holds.
#include <cstdio>
#include <numeric>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "core/file/document.h"

namespace tavro::cli {

namespace {

const char* TitleSourceName(TitleSource s) {
  switch (s) {
    case TitleSource::kEmbedded:
      return "embedded";
    case TitleSource::kFile:
      return "title file";
    default:
      return "none";
  }
}

void PrintCounts(const char* which, const CSheet& s) {
  const size_t partPins =
      std::accumulate(s.Parts().begin(), s.Parts().end(), size_t{0},
                      [](size_t n, const auto& p) { return n + p->Pins().size(); });
  const std::pair<const char*, size_t> counts[] = {
      {"wires", s.Wires().size()},     {"buses", s.Buses().size()}, {"lines", s.Lines().size()},
      {"junctions", s.Juncs().size()}, {"parts", s.Parts().size()}, {"part pins", partPins},
      {"free pins", s.Pins().size()},  {"texts", s.Texts().size()}, {"arcs", s.Arcs().size()},
  };
  for (const auto& [kind, n] : counts) std::printf("%s %s: %zu\n", which, kind, n);
}

}  // namespace

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

  const CRect& v = doc.GetViewRect();
  std::printf("file: %s\n", path.c_str());
  std::printf("format version: %d\n", doc.GetVersion());
  std::printf("sheet size: %d %s\n", doc.GetSizeCode(), CSheetDoc::PaperName(doc.GetSizeCode()));
  std::printf("work size: %d x %d\n", doc.GetWorkWidth(), doc.GetWorkHeight());
  std::printf("view rectangle: %d %d %d %d\n", v.left, v.top, v.right, v.bottom);
  for (const std::string& p : doc.GetProperties())
    std::printf("property: %s\n", Console(p).c_str());
  std::printf("title file: %s (%s)\n", Console(doc.GetTitleFileName()).c_str(),
              TitleSourceName(doc.GetTitleSource()));
  PrintCounts("main", doc.GetSheet());
  PrintCounts("title", doc.GetTitleSheet());
  return kExitOk;
}

}  // namespace tavro::cli
