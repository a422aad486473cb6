// The parts list: grouping, reference keys, the NOPARTLIST and NOMOUNT
// lists, the header lines, the 250-field split and quoting (on sheets built
// in code), then the job on files: the gathering of a project, the stored
// header values, the question without a project, cancel and failures.
#include "app/bom_job.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <initializer_list>

#include "app/cli/doc_input.h"
#include "app/project.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::DataPath;
using test::ReadAll;
using test::TempDir;
using test::WriteAll;

// A part at (x, y) with its name, reference, value, package (gate count and
// gate) and property texts ("&NAME&value").
CPart& AddPart(CSheet& sheet, const std::string& name, const std::string& ref,
               const std::string& value, unsigned gates = 1, unsigned gate = 0,
               std::initializer_list<const char*> props = {}, int x = 0, int y = 0) {
  CPart& p = sheet.NewPart({x, y}, {x - 50, y - 50}, {x + 50, y + 50}, gates, gate, 0, 0);
  p.SetPartName(name, {x, y + 100}, 0);
  p.SetRefName(ref, {x, y + 150}, 0);
  p.SetValue(value, {x, y - 150}, 0);
  for (const char* prop : props) p.NewText(prop, {x, y - 200}, kTextDefaultSize, kTextHidden);
  return p;
}

BomOptions Defaults() {
  BomOptions o;
  o.unixLineEnds = true;
  return o;
}

std::string Compose(const CSheet& sheet, const BomOptions& o = Defaults(),
                    const BomHeader& h = {}) {
  const BomList list = ComposeBom(sheet, o, h);
  EXPECT_FALSE(list.cancelled);
  return list.text;
}

// The lines of a list after the "使用部品数" line.
std::vector<std::string> EntryLines(const std::string& text) {
  std::vector<std::string> lines;
  const std::string total = J("使用部品数");
  size_t at = text.find(total);
  at = text.find('\n', at) + 1;
  while (at < text.size()) {
    const size_t end = text.find('\n', at);
    lines.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return lines;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  size_t from = 0;
  while (true) {
    const size_t comma = line.find(',', from);
    out.push_back(line.substr(from, comma == std::string::npos ? comma : comma - from));
    if (comma == std::string::npos) return out;
    from = comma + 1;
  }
}

std::string Total(int n) {
  char buf[32];
  std::snprintf(buf, sizeof buf, ",%7d\n", n);
  return J("使用部品数") + buf;
}

TEST(BomPieces, SplitPropertyList) {
  const struct {
    const char* list;
    std::vector<std::string> names;
  } cases[] = {
      {"", {}},
      {" , ,, ", {}},
      {"MAKER", {"MAKER"}},
      {" ,maker, PartNo ,, ", {"MAKER", "PARTNO"}},
      {"a,,b", {"A", "", "B"}},  // an empty name between commas stays a column
      {"\tvendor\t,pcb", {"VENDOR", "PCB"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitPropertyList(c.list), c.names) << c.list;
  // Double-byte names: upper-casing leaves the trail bytes alone ("ソ" ends in 0x5C).
  EXPECT_EQ(SplitPropertyList(J("ソフト,メーカー")),
            (std::vector<std::string>{J("ソフト"), J("メーカー")}));
}

TEST(BomPieces, ReferenceKeyAndCsvField) {
  const struct {
    const char* ref;
    unsigned gates;
    const char* key;
  } keys[] = {
      {"U1A", 4, "U1"}, {"u12b", 4, "U12"},    {"U1A", 1, "U1A"}, {"U?A", 4, "U?A"},
      {"r3", 1, "R3"},  {"IC1-2", 2, "IC1-2"}, {"TP", 2, "TP"},
  };
  for (const auto& k : keys) {
    CSheet s;
    EXPECT_EQ(BomRefKey(AddPart(s, "X", k.ref, "", k.gates, 1)), k.key) << k.ref;
  }
  const std::pair<const char*, const char*> fields[] = {{"10k", "10k"},
                                                        {"", ""},
                                                        {"1,5k", "\"1,5k\""},
                                                        {"2\" x", "\"2\"\" x\""},
                                                        {"a\nb", "\"a\nb\""}};
  for (const auto& [in, out] : fields) EXPECT_EQ(CsvField(in), out) << in;
  EXPECT_EQ(BomPath("/p/demo.tpj"), "/p/demo.csv");
  EXPECT_EQ(BomPath("/p/sheet.tcd"), "/p/sheet.csv");
}

// The cases the grouping has to get right, each a whole list.
TEST(BomCompose, Groups) {
  struct Case {
    const char* name;
    std::function<void(CSheet&)> parts;
    std::function<void(BomOptions&)> options;
    std::string expected;  // after the total line
    int used;
  };
  const std::vector<Case> cases = {
      {"gates of one package count once",
       [](CSheet& s) {
         AddPart(s, "74HC00", "U1A", "74HC00", 4, 1);
         AddPart(s, "74HC00", "U1B", "74HC00", 4, 2);
         AddPart(s, "74HC00", "U2A", "74HC00", 4, 1);
       },
       {},
       "74HC00,74HC00,U1,U2\n",
       2},
      {"undecided references are never merged",
       [](CSheet& s) {
         AddPart(s, "RES", "R?", "10k");
         AddPart(s, "RES", "R?", "10k");
       },
       {},
       "RES,10k,R?,R?\n",
       2},
      {"references sort by number, one key once, R1 is not part of R10",
       [](CSheet& s) {
         for (const char* r : {"R10", "r2", "R1", "R2", "R100"}) AddPart(s, "RES", r, "1k");
       },
       {},
       "RES,1k,R1,R2,R10,R100\n",
       4},
      {"entries by the bytes of their key; the name and value compare exactly",
       [](CSheet& s) {
         AddPart(s, "RES", "R1", "1k");
         AddPart(s, "RES", "R2", "10k");
         AddPart(s, "CAP", "C1", "1u");
         AddPart(s, "res", "R3", "1k");
         AddPart(s, "RES", "R4", "1K");
       },
       {},
       "CAP,1u,C1\nRES,10k,R2\nRES,1K,R4\nRES,1k,R1\nres,1k,R3\n",
       5},
      {"the count follows the key",
       [](CSheet& s) {
         AddPart(s, "RES", "R1", "1k");
         AddPart(s, "RES", "R2", "1k");
         AddPart(s, "CAP", "C1", "1u");
       },
       [](BomOptions& o) { o.partCount = true; }, "CAP,1u,1,C1\nRES,1k,2,R1,R2\n", 3},
      {"a comma inside a value is quoted and does not join another group",
       [](CSheet& s) {
         AddPart(s, "R", "R1", "1,5k");
         AddPart(s, "R,1", "R2", "5k");
       },
       {},
       "R,\"1,5k\",R1\n\"R,1\",5k,R2\n",
       2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSheet s;
    c.parts(s);
    BomOptions o = Defaults();
    if (c.options) c.options(o);
    const std::string text = Compose(s, o);
    const std::string total = Total(c.used);
    ASSERT_NE(text.find(total), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.find(total) + total.size()), c.expected);
  }
}

// MAKER and PARTNO listed: both values follow the value, the PROPERTY line
// names both, parts that differ only in MAKER form separate lines, a part
// without a property has an empty field.
TEST(BomCompose, ListedProperties) {
  CSheet s;
  AddPart(s, "RES", "R1", "10k", 1, 0, {"&MAKER&KOA", "&PARTNO&RK73"});
  AddPart(s, "RES", "R2", "10k", 1, 0, {"&PARTNO&RK73", "&maker&KOA"});
  AddPart(s, "RES", "R3", "10k", 1, 0, {"&MAKER&ROHM", "&PARTNO&RK73"});
  AddPart(s, "RES", "R4", "10k", 1, 0, {"&MAKER&ROHM"});
  BomOptions o = Defaults();
  o.listProperty = " maker , PartNo,";
  o.partCount = true;
  EXPECT_EQ(Compose(s, o), "PROPERTY,MAKER,PARTNO\nREFCOUNT\n" + Total(4) +
                               "RES,10k,KOA,RK73,2,R1,R2\n"
                               "RES,10k,ROHM,,1,R4\n"
                               "RES,10k,ROHM,RK73,1,R3\n");
}

// NOPARTLIST keeps a part out of every line (before or after the others of
// its group, and every gate of its package); forced, it is listed as any
// other and there is no NOPARTLIST line. NOMOUNT parts stay in their line.
// A property whose value is 0 does not mark a part.
TEST(BomCompose, NoPartListAndNoMount) {
  CSheet s;
  AddPart(s, "RES", "R9", "10k", 1, 0, {"&NOPARTLIST&1"});
  AddPart(s, "RES", "R1", "10k");
  AddPart(s, "RES", "R8", "10k", 1, 0, {"&NOPARTLIST&1"});
  AddPart(s, "RES", "R7", "10k", 1, 0, {"&NOPARTLIST&0"});
  AddPart(s, "74HC00", "U3A", "74HC00", 4, 1, {"&NOPARTLIST&1"});
  AddPart(s, "74HC00", "U3B", "74HC00", 4, 2);
  AddPart(s, "CAP", "C7", "1u", 1, 0, {"&NOMOUNT&1"});
  AddPart(s, "CAP", "C2", "1u");
  AddPart(s, "CAP", "C8", "1u", 1, 0, {"&NOMOUNT&1", "&NOPARTLIST&1"});

  BomList list = ComposeBom(s, Defaults(), {});
  EXPECT_EQ(list.text,
            "NOPARTLIST,R9,R8,U3,C8\nNOMOUNT,C7,C8\n" + Total(4) + "CAP,1u,C2,C7\nRES,10k,R1,R7\n");
  EXPECT_EQ(list.noPartList, 4);
  EXPECT_EQ(list.noMount, 2);

  BomOptions forced = Defaults();
  forced.forceNoPartList = true;
  list = ComposeBom(s, forced, {});
  EXPECT_EQ(list.text, "NOMOUNT,C7,C8\n" + Total(8) +
                           "74HC00,74HC00,U3\nCAP,1u,C2,C7,C8\nRES,10k,R1,R7,R8,R9\n");
  EXPECT_EQ(list.noPartList, 0);
}

// The header lines in their order, each only when it has something to say.
TEST(BomCompose, HeaderLines) {
  CSheet s;
  AddPart(s, "RES", "R1", "1k");
  const struct {
    BomHeader header;
    const char* properties;
    bool count;
    std::string head;
  } cases[] = {
      {{}, "", false, ""},
      {{"A-1", J("製品"), 5}, "", false, "SHEETNO,A-1\nSETNAME," + J("製品") + "\nPCBMAKE,5\n"},
      {{"", "", 32767}, "X", true, "PCBMAKE,32767\nPROPERTY,X\nREFCOUNT\n"},
      {{"A,1", "", 0}, "", false, "SHEETNO,\"A,1\"\n"},
  };
  for (const auto& c : cases) {
    BomOptions o = Defaults();
    o.listProperty = c.properties;
    o.partCount = c.count;
    const std::string text = Compose(s, o, c.header);
    EXPECT_EQ(text.substr(0, text.find(J("使用部品数"))), c.head) << c.head;
    EXPECT_NE(text.find(Total(1)), std::string::npos);
  }
  // No part at all: the total alone.
  EXPECT_EQ(Compose(CSheet()), Total(0));
}

// A group longer than 250 further fields goes on over lines that each start
// with the name and value again; properties and the count are further
// fields of the first line.
TEST(BomCompose, LongGroupsAreSplitEvery250Fields) {
  const struct {
    int refs;
    bool count;
    const char* properties;
    std::vector<size_t> further;  // fields after name and value, per line
  } cases[] = {
      {250, false, "", {250}},           {251, false, "", {250, 1}},
      {600, false, "", {250, 250, 100}}, {600, true, "MAKER", {250, 250, 102}},
      {500, false, "", {250, 250}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.refs);
    CSheet s;
    for (int i = c.refs; i >= 1; --i)
      AddPart(s, "RES", "R" + std::to_string(i), "1k", 1, 0, {"&MAKER&KOA"});
    BomOptions o = Defaults();
    o.partCount = c.count;
    o.listProperty = c.properties;
    const std::vector<std::string> lines = EntryLines(Compose(s, o));
    ASSERT_EQ(lines.size(), c.further.size());
    int next = 1;  // the references run on in order from line to line
    for (size_t l = 0; l < lines.size(); ++l) {
      const std::vector<std::string> f = Fields(lines[l]);
      ASSERT_EQ(f.size(), c.further[l] + 2) << l;
      EXPECT_EQ(f[0], "RES");
      EXPECT_EQ(f[1], "1k");
      size_t first = 2;
      if (l == 0) {
        if (*c.properties) {
          EXPECT_EQ(f[first++], "KOA");
        }
        if (c.count) {
          EXPECT_EQ(f[first++], std::to_string(c.refs));
        }
      }
      for (size_t k = first; k < f.size(); ++k) EXPECT_EQ(f[k], "R" + std::to_string(next++));
    }
    EXPECT_EQ(next, c.refs + 1);
  }
}

TEST(BomCompose, ProgressAndCancel) {
  CSheet s;
  for (int i = 1; i <= 5; ++i) AddPart(s, "RES", "R" + std::to_string(i), "1k");
  AddPart(s, "CAP", "C1", "1u");
  test::RecordingHost host;
  {
    ScopedHost scoped(&host);
    EXPECT_FALSE(ComposeBom(s, Defaults(), {}).cancelled);
  }
  ASSERT_EQ(host.stages.size(), 2u);
  EXPECT_EQ(host.stages[0].stage, kStagePartList);
  EXPECT_EQ(host.stages[0].total, 6);
  EXPECT_EQ(host.stages[1].stage, kStageSort);
  EXPECT_EQ(host.stages[1].total, 2);
  EXPECT_STREQ(StageTextUtf8(kStagePartList), "部品表を作成中");
  for (int at : {0, 5, 6, 7}) {  // while grouping, and while sorting
    test::RecordingHost stop;
    stop.cancelAtStep = at;
    ScopedHost scoped(&stop);
    const BomList list = ComposeBom(s, Defaults(), {});
    EXPECT_TRUE(list.cancelled) << at;
    EXPECT_EQ(list.text, "") << at;
  }
}

// ---- the job on files ----

class BomJob : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* f : {"small.tpj", "s1.txt", "s2.txt"})
      fs::copy_file(DataPath(std::string("bom/small/") + f), tmp_.path() / f);
  }
  BomResult Run(std::vector<std::string> inputs, const BomOptions& o, Host* host = nullptr) {
    for (std::string& in : inputs) in = tmp_.file(in);
    return RunBom(inputs, o, host, cli::ReadInputDocument);
  }
  static BomOptions Golden() {
    BomOptions o = Defaults();
    o.partCount = true;
    o.listProperty = "MAKER";
    return o;
  }
  TempDir tmp_;
};

// The small project: gathered per sheet by position, block symbols and parts
// without a reference left out, the header from the project; written with
// CR LF beside the project.
TEST_F(BomJob, SmallProjectGolden) {
  BomOptions o = Golden();
  o.writeFile = false;
  BomResult r = Run({"small.tpj"}, o);
  ASSERT_EQ(r.status, BomResult::kOk) << r.message;
  EXPECT_TRUE(test::MatchesGolden(r.text, "bom/small/expected.csv"));
  EXPECT_EQ(r.outputPath, tmp_.file("small.csv"));
  EXPECT_FALSE(fs::exists(r.outputPath));
  EXPECT_EQ(r.header, (BomHeader{"B-100", J("テスト基板"), 5}));
  EXPECT_EQ(r.entries, 6);
  EXPECT_EQ(r.usedParts, 10);
  EXPECT_EQ(r.noPartList, 2);
  EXPECT_EQ(r.noMount, 1);
  EXPECT_TRUE(r.warnings.empty());

  o = Golden();
  o.unixLineEnds = false;
  r = Run({"small.tpj"}, o);
  ASSERT_EQ(r.status, BomResult::kOk) << r.message;
  std::string crlf;
  for (char c : ReadAll(test::DataPath("bom/small/expected.csv")))
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(ReadAll(tmp_.file("small.csv")), crlf);
  EXPECT_EQ(r.text, crlf);
}

TEST_F(BomJob, DemoProjectGolden) {
  BomOptions o = Defaults();
  o.writeFile = false;
  const std::string demo[] = {std::string(TAVRO_SOURCE_DIR) + "/examples/demo/demo.tpj"};
  const BomResult r = RunBom(demo, o);
  ASSERT_EQ(r.status, BomResult::kOk) << r.message;
  EXPECT_TRUE(test::MatchesGolden(r.text, "bom/demo/expected.csv"));
}

// Values given override the project's for this list only; stored, only the
// three properties of the project file change (an empty one is removed).
TEST_F(BomJob, HeaderValuesGivenAndStored) {
  const std::string before = ReadAll(tmp_.file("small.tpj"));
  BomOptions o = Golden();
  o.writeFile = false;
  o.sheetNo = "  C-7 ";
  o.pcbMake = 12;
  BomResult r = Run({"small.tpj"}, o);
  ASSERT_EQ(r.status, BomResult::kOk) << r.message;
  EXPECT_EQ(r.header, (BomHeader{"C-7", J("テスト基板"), 12}));
  EXPECT_NE(r.text.find("SHEETNO,C-7\nSETNAME,"), std::string::npos);
  EXPECT_NE(r.text.find("PCBMAKE,12\n"), std::string::npos);
  EXPECT_FALSE(r.stored);
  EXPECT_EQ(ReadAll(tmp_.file("small.tpj")), before);

  o.storeHeader = true;
  o.setName = "";
  r = Run({"small.tpj"}, o);
  ASSERT_EQ(r.status, BomResult::kOk) << r.message;
  EXPECT_TRUE(r.stored);
  EXPECT_EQ(r.text.find("SETNAME"), std::string::npos);
  EXPECT_EQ(ReadAll(tmp_.file("small.tpj")),
            "Project File Ver 0.03\n1:s1.txt\n1:s2.txt\nEndFileList\nProperty List\n"
            "&SHEETNO&C-7\n&PCBMAKE&12\nEndPropertyList\n");
  EXPECT_EQ(ReadBomHeader(tmp_.file("small.tpj")), (BomHeader{"C-7", "", 12}));

  // A value that a project file cannot hold stops the run before anything.
  const std::string stored = ReadAll(tmp_.file("small.tpj"));
  o.sheetNo = "A\nB";
  r = Run({"small.tpj"}, o);
  EXPECT_EQ(r.status, BomResult::kFailed);
  EXPECT_NE(r.message.find("SHEETNO"), std::string::npos) << r.message;
  EXPECT_EQ(ReadAll(tmp_.file("small.tpj")), stored);
  // Nor can sheets without a project store anything.
  o.sheetNo = "X";
  r = Run({"s1.txt"}, o);
  EXPECT_EQ(r.status, BomResult::kFailed);
}

// A count in the project that is not a board count gives no PCBMAKE line
// and a warning.
TEST_F(BomJob, BadStoredBoardCount) {
  const struct {
    const char* stored;
    int count;
    bool warned;
  } cases[] = {{"7", 7, false},    {" 32767 ", 32767, false}, {"0", 0, true},
               {"32768", 0, true}, {"-3", 0, true},           {"5x", 0, true}};
  for (const auto& c : cases) {
    ASSERT_TRUE(ProjectFile::SetProperty(tmp_.file("small.tpj"), "PCBMAKE", c.stored));
    std::vector<std::string> warnings;
    EXPECT_EQ(ReadBomHeader(tmp_.file("small.tpj"), &warnings).pcbMake, c.count) << c.stored;
    EXPECT_EQ(warnings.size(), c.warned ? 1u : 0u) << c.stored;
  }
}

// Sheets without a project: the question first ("no" writes nothing); the
// list goes beside the first sheet, with no header from any project.
TEST_F(BomJob, SheetsWithoutAProject) {
  BomOptions o = Golden();
  int asked = 0;
  o.useOpenSheets = [&] {
    ++asked;
    return false;
  };
  BomResult r = Run({"s2.txt", "s1.txt"}, o);
  EXPECT_EQ(r.status, BomResult::kCancelled);
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(fs::exists(tmp_.file("s2.csv")));

  o.useOpenSheets = [&] {
    ++asked;
    return true;
  };
  r = Run({"s2.txt", "s1.txt"}, o);
  ASSERT_EQ(r.status, BomResult::kOk) << r.message;
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(r.outputPath, tmp_.file("s2.csv"));
  const std::string text = ReadAll(r.outputPath);
  EXPECT_EQ(text.rfind("NOPARTLIST,TP2,TP1\nNOMOUNT,C1\nPROPERTY,MAKER\n", 0), 0u) << text;
  // s1 is given, so X1 stands for it and is not listed.
  EXPECT_EQ(text.find("SUB"), std::string::npos);
  // With s1 alone, X1's sheet is not covered: the block is a part.
  r = Run({"s2.txt"}, o);
  ASSERT_EQ(r.status, BomResult::kOk);
  EXPECT_NE(ReadAll(r.outputPath).find("SUB,,,1,X1\n"), std::string::npos);
}

// A cancel or a failure leaves the file that was there as it was.
TEST_F(BomJob, CancelAndFailuresWriteNothing) {
  WriteAll(tmp_.file("small.csv"), "old");
  for (int at = 0; at < 40; at += 3) {
    test::RecordingHost host;
    host.cancelAtStep = at;
    const BomResult r = Run({"small.tpj"}, Golden(), &host);
    if (r.status == BomResult::kOk) break;  // past the last step
    EXPECT_EQ(r.status, BomResult::kCancelled) << at;
    EXPECT_EQ(ReadAll(tmp_.file("small.csv")), "old") << at;
  }

  BomOptions o = Golden();
  o.outputPath = tmp_.file("s1.txt");  // an input of the list
  BomResult r = Run({"small.tpj"}, o);
  EXPECT_EQ(r.status, BomResult::kFailed);
  EXPECT_NE(r.message.find("s1.txt"), std::string::npos) << r.message;

  o.outputPath = tmp_.file("no/such/folder/list.csv");
  r = Run({"small.tpj"}, o);
  EXPECT_EQ(r.status, BomResult::kFailed);
  EXPECT_NE(r.message.find("を作成できません"), std::string::npos) << r.message;

  fs::remove(tmp_.file("s2.txt"));
  r = Run({"small.tpj"}, Golden());
  EXPECT_EQ(r.status, BomResult::kFailed);
  EXPECT_NE(r.message.find("s2.txt"), std::string::npos) << r.message;
}

TEST(BomOptionsTest, FromAndToSettings) {
  Settings& s = AppSettings();
  s.DeleteSection("Tool");
  BomOptions o = BomOptions::FromSettings(s);
  EXPECT_FALSE(o.partCount);
  EXPECT_EQ(o.listProperty, "");
  EXPECT_FALSE(o.unixLineEnds);
  o.partCount = true;
  o.listProperty = "MAKER,PARTNO";
  o.Store(s);
  EXPECT_EQ(s.GetInt("Tool", "PartCount"), 1);
  EXPECT_EQ(s.GetString("Tool", "ListProperty"), "MAKER,PARTNO");
  s.DeleteSection("Tool");
}

}  // namespace
}  // namespace tavro
