#include "app/bom_job.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <set>
#include <utility>

#include "app/part_gather.h"
#include "app/project.h"
#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/dbcs.h"
#include "core/platform/paths.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

BomResult Failed(std::string message) { return FailedResult<BomResult>(std::move(message)); }
BomResult Cancelled() { return CancelledResult<BomResult>(); }

// Fields of an entry after its name and value on one line.
constexpr size_t kFieldsPerLine = 250;

bool IsCsvBlankOrComma(unsigned char c) {
  return c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// One group of the list.
struct Entry {
  std::vector<std::string> key;  // part name, value, property values
  std::string sortKey;           // the same joined by commas: the order of the entries
  std::vector<std::string> refs;
  std::set<std::string> decided;  // the keys without "?" already in refs
};

std::string JoinKey(const std::vector<std::string>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    out += fields[i];
  }
  return out;
}

// A key once per list, in the order first seen.
void AddOnce(std::vector<std::string>& list, std::set<std::string>& seen, const std::string& key) {
  if (seen.insert(key).second) list.push_back(key);
}

void WriteKeyLine(std::string& out, std::string_view label, const std::vector<std::string>& keys) {
  if (keys.empty()) return;
  out += label;
  for (const std::string& k : keys) out += ',' + CsvField(k);
  out += '\n';
}

std::optional<int> ParsePcbMake(std::string_view text) {
  const std::string t = Trim(text);
  if (t.empty()) return 0;
  int value = 0;
  for (char c : t) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > kMaxPcbMake) return std::nullopt;
  }
  if (value < 1) return std::nullopt;
  return value;
}

}  // namespace

// ---- options ----

BomOptions BomOptions::FromSettings(const Settings& s) {
  BomOptions o;
  o.partCount = s.GetInt("Tool", "PartCount") != 0;
  o.listProperty = s.GetString("Tool", "ListProperty");
  o.unixLineEnds = s.GetInt("Tool", "NetUnix") != 0;
  return o;
}

void BomOptions::Store(Settings& s) const {
  s.WriteInt("Tool", "PartCount", partCount ? 1 : 0);
  s.WriteString("Tool", "ListProperty", listProperty);
}

// ---- the pieces of the list ----

std::vector<std::string> SplitPropertyList(std::string_view list) {
  size_t begin = 0, end = list.size();
  while (begin < end && IsCsvBlankOrComma(static_cast<unsigned char>(list[begin]))) ++begin;
  // No blank and no comma is ever a trail byte: the end is cut byte by byte.
  while (end > begin && IsCsvBlankOrComma(static_cast<unsigned char>(list[end - 1]))) --end;
  std::vector<std::string> names;
  if (begin == end) return names;
  const std::string_view body = list.substr(begin, end - begin);
  size_t from = 0;
  while (true) {
    const size_t comma = FindChar(body, ',', from);
    const size_t stop = comma == std::string::npos ? body.size() : comma;
    names.push_back(ToUpper(Trim(body.substr(from, stop - from))));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return names;
}

std::string BomRefKey(const CPart& part) {
  return ToUpper(part.GetPackageMax() > 1 ? part.GetRefNameA() : part.GetRefName());
}

std::string CsvField(std::string_view field) {
  // None of these bytes is ever the trail byte of a double-byte character.
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(field);
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

BomList ComposeBom(const CSheet& gathered, const BomOptions& options, const BomHeader& header) {
  Host& host = CurrentHost();
  BomList list;
  const std::vector<std::string> properties = SplitPropertyList(options.listProperty);
  const auto& parts = gathered.Parts();

  // First pass: the parts kept out of the groups, and those not mounted.
  std::vector<std::string> noPartList, noMount;
  std::set<std::string> noPartListSet, noMountSet;
  std::vector<std::string> refKeys;
  refKeys.reserve(parts.size());
  for (const auto& p : parts) {
    refKeys.push_back(BomRefKey(*p));
    if (!options.forceNoPartList && p->IsProperty("NOPARTLIST"))
      AddOnce(noPartList, noPartListSet, refKeys.back());
    if (p->IsProperty("NOMOUNT")) AddOnce(noMount, noMountSet, refKeys.back());
  }

  // Second pass: the groups in the order first seen. A part whose key is on
  // the NOPARTLIST list joins no group, whichever gate or part of that key
  // comes first.
  host.BeginStage(kStagePartList, static_cast<int>(parts.size()));
  std::vector<Entry> entries;
  std::map<std::vector<std::string>, size_t> byKey;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (host.Step(true) != 0) {
      list.cancelled = true;
      return list;
    }
    const CPart& p = *parts[i];
    const std::string& ref = refKeys[i];
    if (noPartListSet.count(ref) != 0) continue;
    std::vector<std::string> key = {p.GetPartName(), p.GetValName()};
    for (const std::string& name : properties) key.push_back(p.GetProperty(name));
    auto [it, added] = byKey.try_emplace(key, entries.size());
    if (added) {
      Entry e;
      e.sortKey = JoinKey(key);
      e.key = std::move(key);
      entries.push_back(std::move(e));
    }
    Entry& e = entries[it->second];
    const bool undecided = FindChar(ref, '?') != std::string::npos;
    if (undecided || e.decided.insert(ref).second) e.refs.push_back(ref);
  }

  // The references of each entry by CompareRef, the entries by their key.
  host.BeginStage(kStageSort, static_cast<int>(entries.size()));
  for (Entry& e : entries) {
    if (host.Step(true) != 0) {
      list.cancelled = true;
      return list;
    }
    std::vector<std::pair<CPart::RefParts, std::string>> keyed;
    keyed.reserve(e.refs.size());
    for (std::string& r : e.refs) keyed.emplace_back(CPart::SplitRef(r), std::move(r));
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
      return CPart::CompareRefParts(a.first, b.first) < 0;
    });
    e.refs.clear();
    for (auto& k : keyed) e.refs.push_back(std::move(k.second));
  }
  // Bytes of the joined key; keys that join alike but differ in their
  // fields (a comma inside a value) keep a fixed order.
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.sortKey != b.sortKey) return a.sortKey < b.sortKey;
    return a.key < b.key;
  });

  std::string& out = list.text;
  WriteKeyLine(out, "NOPARTLIST", noPartList);
  WriteKeyLine(out, "NOMOUNT", noMount);
  if (!header.sheetNo.empty()) out += "SHEETNO," + CsvField(header.sheetNo) + '\n';
  if (!header.setName.empty()) out += "SETNAME," + CsvField(header.setName) + '\n';
  if (header.pcbMake != 0) out += "PCBMAKE," + std::to_string(header.pcbMake) + '\n';
  if (!properties.empty()) {
    out += "PROPERTY";
    for (const std::string& name : properties) out += ',' + CsvField(name);
    out += '\n';
  }
  if (options.partCount) out += "REFCOUNT\n";
  int used = 0;
  for (const Entry& e : entries) used += static_cast<int>(e.refs.size());
  char total[64];
  std::snprintf(total, sizeof total, ",%7d\n", used);
  out += J("使用部品数") + total;

  for (const Entry& e : entries) {
    const std::string head = CsvField(e.key[0]) + ',' + CsvField(e.key[1]);
    std::vector<std::string> further;
    further.reserve(e.key.size() - 2 + 1 + e.refs.size());
    for (size_t k = 2; k < e.key.size(); ++k) further.push_back(CsvField(e.key[k]));
    if (options.partCount) further.push_back(std::to_string(e.refs.size()));
    for (const std::string& r : e.refs) further.push_back(CsvField(r));
    out += head;
    for (size_t k = 0; k < further.size(); ++k) {
      if (k > 0 && k % kFieldsPerLine == 0) out += '\n' + head;
      out += ',' + further[k];
    }
    out += '\n';
  }
  list.entries = static_cast<int>(entries.size());
  list.usedParts = used;
  list.noPartList = static_cast<int>(noPartList.size());
  list.noMount = static_cast<int>(noMount.size());
  return list;
}

// ---- the project's header values ----

std::string BomPath(const std::string& base) { return WithExtension(base, ".csv"); }

BomHeader ReadBomHeader(const std::string& projectPath, std::vector<std::string>* warnings) {
  BomHeader h;
  h.sheetNo = ProjectFile::GetProperty(projectPath, "SHEETNO");
  h.setName = ProjectFile::GetProperty(projectPath, "SETNAME");
  const std::string count = ProjectFile::GetProperty(projectPath, "PCBMAKE");
  if (auto n = ParsePcbMake(count)) {
    h.pcbMake = *n;
  } else if (warnings) {
    warnings->push_back("the project's PCBMAKE \"" + Cp932ToUtf8(count) +
                        "\" is not a number from 1 to 32767; the list has no PCBMAKE line");
  }
  return h;
}

std::optional<std::string> CheckBomHeader(const BomHeader& header) {
  const std::pair<const char*, const std::string*> texts[] = {{"SHEETNO", &header.sheetNo},
                                                              {"SETNAME", &header.setName}};
  for (const auto& [name, value] : texts) {
    if (value->empty()) continue;
    if (auto bad = ProjectFile::CheckProperty(name, *value)) return std::string(name) + ": " + *bad;
  }
  if (header.pcbMake < 0 || header.pcbMake > kMaxPcbMake)
    return std::string("PCBMAKE: 製作台数は1から32767の範囲で指定してください");
  return std::nullopt;
}

bool StoreBomHeader(const std::string& projectPath, const BomHeader& header, std::string* error) {
  if (auto bad = CheckBomHeader(header)) {
    if (error) *error = *bad;
    return false;
  }
  std::vector<std::string> remove;
  std::vector<std::pair<std::string, std::string>> set;
  auto put = [&](const char* name, const std::string& value) {
    if (value.empty())
      remove.emplace_back(name);
    else
      set.emplace_back(name, value);
  };
  put("SHEETNO", header.sheetNo);
  put("SETNAME", header.setName);
  put("PCBMAKE", header.pcbMake > 0 ? std::to_string(header.pcbMake) : std::string());
  return ProjectFile::UpdateProperties(projectPath, remove, set, error);
}

// ---- the job ----

BomResult RunBom(std::span<const std::string> inputs, const BomOptions& options, Host* progress,
                 const SheetLoader& loader) {
  std::string error;
  const auto coverage = ResolveCoverage(inputs, options.allFiles, error);
  if (!coverage) return Failed(error);
  if (!coverage->IsProject() && options.useOpenSheets && !options.useOpenSheets())
    return Cancelled();

  BomResult result;
  result.outputPath =
      options.outputPath.empty() ? BomPath(FullPath(coverage->BasePath())) : options.outputPath;
  if (options.writeFile) {
    const std::string out[] = {result.outputPath};
    if (OutputOverInput(out, *coverage))
      return Failed(
          FileMessage(kMsgCannotCreate, result.outputPath, "it is an input of the parts list"));
  }

  // The header: the values given, the project's for the others.
  if (coverage->IsProject()) result.header = ReadBomHeader(coverage->projectPath, &result.warnings);
  // A project keeps its values without blanks around them.
  if (options.sheetNo) result.header.sheetNo = Trim(*options.sheetNo);
  if (options.setName) result.header.setName = Trim(*options.setName);
  if (options.pcbMake) {
    if (*options.pcbMake < 0 || *options.pcbMake > kMaxPcbMake)
      return Failed("the number of boards (PCBMAKE) must be from 1 to 32767");
    result.header.pcbMake = *options.pcbMake;
  }
  if (options.storeHeader) {
    if (!coverage->IsProject())
      return Failed("there is no project to store SHEETNO, SETNAME and PCBMAKE into");
    if (auto bad = CheckBomHeader(result.header)) return Failed(*bad);
    std::string why;
    if (!StoreBomHeader(coverage->projectPath, result.header, &why))
      return Failed(FileMessage(kMsgCannotCreate, coverage->projectPath, why));
    result.stored = true;
  }

  CoverageHost host(progress ? *progress : CurrentHost(), *coverage);
  ScopedHost scoped(&host);
  // The parts as reference numbering gathers them, each sheet's by position.
  std::vector<CSheetDoc> docs;
  GatheredParts gathered;
  switch (LoadAndGather(*coverage, loader, true, docs, gathered, error)) {
    case LoadResult::kCancelled:
      return Cancelled();
    case LoadResult::kFailed:
      return Failed(error);
    case LoadResult::kOk:
      break;
  }

  BomList list = ComposeBom(gathered.Sheet(), options, result.header);
  if (list.cancelled) return Cancelled();
  result.text = ApplyLineEnds(list.text, options.unixLineEnds);
  std::string why;
  if (options.writeFile && !WriteFileAtomic(result.outputPath, result.text, &why))
    return Failed(FileMessage(kMsgCannotCreate, result.outputPath, why));
  result.entries = list.entries;
  result.usedParts = list.usedParts;
  result.noPartList = list.noPartList;
  result.noMount = list.noMount;
  return result;
}

}  // namespace tavro
