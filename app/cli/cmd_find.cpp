// tavro find (PROJECT.tpj | SHEET.tcd...) PATTERN [--match-case] [--word]
// [--hidden] [--target LIST]: every match of a pattern, one line each.
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "app/cli/args.h"
#include "app/cli/cli.h"
#include "app/cli/doc_input.h"
#include "app/cli/progress_bar.h"
#include "app/covered_sheets.h"
#include "app/find.h"
#include "core/model/part.h"
#include "core/model/pin.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/host.h"
#include "core/platform/settings.h"

namespace tavro::cli {

namespace {

const std::vector<OptionSpec> kOptions = {
    {"match-case", 0, false, nullptr,
     "letter case must match (default: the stored Find/MatchCase)"},
    {"word", 0, false, nullptr, "the whole text must be the pattern (default: Find/Word)"},
    {"hidden", 0, false, nullptr, "search hidden texts and hidden pins too (default: Find/Hide)"},
    {"target", 0, true, "LIST",
     "what to search: target names joined by commas, or the bit mask (default: Find/Target)"},
    {"all", 'a', false, nullptr, "every file of the project, not only the checked ones"},
};

// The names of the target bits, in the counting order; a match's kind column.
struct TargetName {
  std::string_view name;
  int bit;
};
constexpr std::array<TargetName, 8> kTargetNames = {{
    {"wire", kFindWire},
    {"part-name", kFindPartName},
    {"ref", kFindPartRef},
    {"value", kFindPartValue},
    {"pin-name", kFindPinName},
    {"pin-no", kFindPinNo},
    {"part-text", kFindPartText},
    {"text", kFindText},
}};

std::string_view FieldName(int field) {
  for (const TargetName& t : kTargetNames)
    if (t.bit == field) return t.name;
  return "?";
}

// A comma-separated list of names, or a number (decimal, or hexadecimal
// after "0x"); an empty string in `error` when good.
std::optional<int> ParseTarget(const std::string& list, std::string& error) {
  if (!list.empty() && list[0] >= '0' && list[0] <= '9') {
    const bool hex = list.size() > 2 && list[0] == '0' && (list[1] == 'x' || list[1] == 'X');
    const std::string digits = hex ? list.substr(2) : list;
    char* end = nullptr;
    const long v = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
    if (digits.empty() || *end != '\0' || v <= 0 || (v & ~long{kFindTargetMask}) != 0) {
      error = "--target " + list + ": not a mask of the bits 0x1-0x20, 0x100 and 0x200";
      return std::nullopt;
    }
    return static_cast<int>(v);
  }
  int mask = 0;
  size_t from = 0;
  while (true) {
    const size_t comma = list.find(',', from);
    const std::string name = Trim(list.substr(from, comma - from));
    bool known = false;
    for (const TargetName& t : kTargetNames)
      if (EqualNoCase(name, t.name)) {
        mask |= t.bit;
        known = true;
      }
    if (!known) {
      error = "--target: unknown target '" + name +
              "' (part-name, ref, value, pin-name, pin-no, part-text, wire, text)";
      return std::nullopt;
    }
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return mask;
}

// A text of the sheet on one console line: control characters become blanks
// (no CP932 trail byte is one), then UTF-8.
std::string ConsoleField(std::string cp932) {
  for (char& c : cp932)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = ' ';
  return Console(cp932);
}

}  // namespace

int RunFind(const std::vector<std::string>& args) {
  std::string error;
  auto parsed = ParseArgs(args, kOptions, error);
  if (!parsed) return Usage("find", error);
  if (parsed->help) {
    PrintCommandHelp(
        "find", "[options] (PROJECT.tpj | SHEET.tcd...) PATTERN",
        "Lists every text and name that holds PATTERN, in the order in which the\n"
        "editor's find next visits them: wire names, then each part (part name,\n"
        "reference, value, pin names and numbers, extra texts), the free pins and\n"
        "the free texts; a project's sheets in project order. One line per match,\n"
        "fields separated by tabs: the sheet file, the kind (the target names\n"
        "below), the text, X and Y as the editor shows them (value / 100, \"12.50\").\n"
        "Exits with 0 when something was found, 1 when nothing was (without a\n"
        "message), 2 on bad usage. Texts are shown in UTF-8.\n"
        "Targets: part-name (0x1), ref (0x2), value (0x4), pin-name (0x8), pin-no\n"
        "(0x10), part-text (the extra texts of parts, 0x20), wire (0x100), text\n"
        "(the free texts, 0x200).",
        kOptions);
    return kExitOk;
  }
  if (parsed->positional.size() < 2)
    return Usage("find", "expected a project file or one or more sheet files, and a pattern");

  FindOptions options = FindOptions::FromSettings(AppSettings());
  size_t invalid = 0;
  options.pattern = Utf8ToCp932(parsed->positional.back(), &invalid);
  if (options.pattern.empty()) return Usage("find", "the pattern is empty");
  if (invalid != 0) return Usage("find", "the pattern holds characters that CP932 cannot hold");
  if (parsed->Has("match-case")) options.matchCase = true;
  if (parsed->Has("word")) options.word = true;
  if (parsed->Has("hidden")) options.hidden = true;
  if (auto t = parsed->Get("target")) {
    const std::optional<int> mask = ParseTarget(*t, error);
    if (!mask) return Usage("find", error);
    options.target = *mask;
  }

  const std::vector<std::string> inputs(parsed->positional.begin(), parsed->positional.end() - 1);
  const auto coverage = ResolveCoverage(inputs, parsed->Has("all"), error);
  if (!coverage) return Fail(error);

  ProgressBar bar(parsed->quiet);
  std::vector<CSheetDoc> docs;
  LoadResult loaded;
  {
    const ScopedHost scoped(&bar);
    loaded = LoadCoveredSheets(*coverage, ReadInputDocument, docs, error);
  }
  bar.Finish();
  if (loaded == LoadResult::kCancelled) return Fail("cancelled");
  if (loaded == LoadResult::kFailed) return Fail(error);

  std::string out;
  for (size_t i = 0; i < docs.size(); ++i) {
    // Sheets are named as given; a project's as it lists them.
    const std::string& file = coverage->IsProject() ? coverage->sheets[i].path : inputs[i];
    for (const FindMatch& m : FindAll(docs[i].GetSheet(), options)) {
      out += file + "\t" + std::string(FieldName(m.field)) + "\t" + ConsoleField(m.text) + "\t" +
             Trim(FormatCoord(m.point.x)) + "\t" + Trim(FormatCoord(m.point.y)) + "\n";
    }
  }
  if (out.empty()) return kExitFailure;
  if (!WriteStdout(out)) return Fail("cannot write to stdout");
  return kExitOk;
}

}  // namespace tavro::cli
