// Part library files: the record framing, lookup, aliases, deletion, the
// index, backups and damaged files.
#include "library/library.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "core/file/archive.h"
#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "library/library_fixture.h"
#include "library/library_scan.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using test::WriteAll;
using namespace test::lib;

TEST(LibraryFile, EmptyLibraryAndAppendingOverTheTerminator) {
  Lib lib;
  WriteAll(lib.path, "");
  EXPECT_TRUE(lib.Names().empty());
  EXPECT_TRUE(lib.Read("R").empty());

  // The first record starts at offset 0 and a terminator follows it.
  lib.Add("R", GateText("R", "R1", 0, 0));
  const std::string one = ReadAll(lib.path);
  CSheet gate = Sheet(GateText("R", "R1", 0, 0));
  const std::string record = LibraryRecord("R", {gate.Parts().front().get()});
  EXPECT_EQ(one, record + Int32(0));

  // The body size is the gate count's four bytes plus the part records.
  CArchive part;
  gate.Parts().front()->DataWrite(part);
  CArchive head(record);
  EXPECT_EQ(head.ReadI32(), kLibMarkerPackage);
  EXPECT_EQ(head.ReadString(), "R");
  EXPECT_EQ(static_cast<size_t>(head.ReadI32()), 4 + part.Buffer().size());

  // Appending grows the file by exactly the new record.
  lib.Add("C", GateText("C", "C1", 0, 0));
  const std::string two = ReadAll(lib.path);
  CSheet c = Sheet(GateText("C", "C1", 0, 0));
  EXPECT_EQ(two.size(), one.size() + LibraryRecord("C", {c.Parts().front().get()}).size());
  EXPECT_EQ((std::vector<std::string>{"R", "C"}), lib.Names());
}

TEST(LibraryFile, LookupIgnoresLetterCaseAndTakesTheFirstPackageForAnEmptyName) {
  Lib lib;
  lib.Add("R100", GateText("R100", "R1", 0, 0));
  lib.Add("C", GateText("C", "C1", 0, 0));
  EXPECT_EQ(lib.Read("r100"), std::vector<std::string>{"R100:R1"});
  EXPECT_EQ(lib.Read(""), std::vector<std::string>{"R100:R1"});
  EXPECT_TRUE(lib.Read("R10").empty());
}

TEST(LibraryFile, AliasTable) {
  Lib lib;
  lib.Add("7400", GateText("7400", "U?A", 1, 2) + GateText("7400", "U?B", 2, 2));
  WriteAll(lib.dir.file("parts.tbl"), "# gates\n  7400,74LS00,74HC00,\t\n\nLM324,NJM2902\n");
  // An alias reads the true package and names every gate after the alias.
  EXPECT_EQ((std::vector<std::string>{"74HC00:U?A", "74HC00:U?B"}), lib.Read("74hc00"));
  EXPECT_EQ((std::vector<std::string>{"7400:U?A", "7400:U?B"}), lib.Read("7400"));
  // Without the alias flag the alias is only a name.
  EXPECT_TRUE(lib.Read("74HC00", false).empty());
  // A true name the library does not hold: the alias itself is tried.
  lib.Add("NJM2902", GateText("NJM2902", "U?", 0, 0));
  EXPECT_EQ(lib.Read("njm2902"), std::vector<std::string>{"NJM2902:U?"});

  CLibrary list;
  list.SetLibraryList({lib.path});
  list.WriteLibraryList();
  list.SetPackageName("74ls00");
  std::string line;
  EXPECT_EQ(list.SetPartNameList(line), 1);
  EXPECT_EQ(line, "  7400,74LS00,74HC00,\t");
  list.SetPackageName("nothing");
  EXPECT_EQ(list.SetPartNameList(line), 0);
}

TEST(LibraryFile, UnknownRecordsAreSkippedByEveryReader) {
  Lib lib;
  lib.Add("A", GateText("A", "R1", 0, 0));
  // An unknown record (marker 300) between two packages.
  std::string bytes = ReadAll(lib.path);
  bytes.resize(bytes.size() - 4);
  CArchive unknown;
  unknown.WriteI32(300);
  unknown.WriteString("B");
  unknown.WriteI32(6);
  unknown.WriteBytes("\xca\0\0\0\0\0", 6);  // bytes that look like a marker 202
  bytes += unknown.Buffer();
  CSheet b = Sheet(GateText("B", "R2", 0, 0));
  bytes += LibraryRecord("B", {b.Parts().front().get()}) + Int32(0);
  WriteAll(lib.path, bytes);

  EXPECT_EQ((std::vector<std::string>{"A", "B"}), lib.Names());
  EXPECT_EQ(lib.Read("B"), std::vector<std::string>{"B:R2"});
  CLibrary l = lib.Open();
  ASSERT_EQ(l.ReadFile(), 1);
  auto index = l.ReadIndex();
  ASSERT_TRUE(index);
  EXPECT_EQ(index->size(), 2u);
  ASSERT_TRUE(l.WriteAsciiFile(lib.dir.file("parts.txt")));
  EXPECT_EQ(ReadAll(lib.dir.file("parts.txt")).find("Package Name \"B\"\nPackage Total 1"),
            ReadAll(lib.dir.file("parts.txt")).rfind("Package Name"));
  // Deleting B removes the package and keeps the unknown record.
  l.SetPackageName("b");
  ASSERT_TRUE(l.DelPart(false, true));
  const size_t bSize = LibraryRecord("B", {b.Parts().front().get()}).size();
  EXPECT_EQ(ReadAll(lib.path), bytes.substr(0, bytes.size() - 4 - bSize) + Int32(0));
  EXPECT_EQ(lib.Names(), std::vector<std::string>{"A"});
}

TEST(LibraryFile, GetPartByGate) {
  Lib lib;
  lib.Add("7474", GateText("7474", "U?A", 1, 2) + GateText("7474", "U?B", 2, 2));
  struct Case {
    int gate;
    const char* ref;
  } cases[] = {{0, "U?A"}, {1, "U?A"}, {2, "U?B"}, {3, "U?A"}, {-1, "U?A"}};
  for (const Case& c : cases) {
    CLibrary l(lib.Prompts());
    CPart part;
    ASSERT_EQ(l.GetPart(part, lib.path, "7474", c.gate), 1) << c.gate;
    EXPECT_EQ(part.GetRefName(), c.ref) << c.gate;
  }
  CLibrary l(lib.Prompts());
  CPart part;
  EXPECT_EQ(l.GetPart(part, lib.path, "7475", 1), 0);
  EXPECT_EQ(lib.messages.back().rfind(kLibDataFault, 0), 0u);
}

TEST(LibraryFile, DeletingAsksAndRemovesOnlyTheFirstMatch) {
  Lib lib;
  lib.Add("R", GateText("R", "R1", 0, 0));
  lib.Add("C", GateText("C", "C1", 0, 0));
  lib.Add("r", GateText("r", "R2", 0, 0));
  const std::string before = ReadAll(lib.path);
  CLibrary l = lib.Open();
  ASSERT_EQ(l.ReadFile(), 1);
  l.SetPackageName("R");
  lib.answer = false;
  EXPECT_FALSE(l.DelPart(true, true));
  EXPECT_EQ(lib.questions, std::vector<std::string>{std::string(kLibAskOverwrite)});
  EXPECT_EQ(l.Image(), before);
  lib.answer = true;
  EXPECT_TRUE(l.DelPart(true, false));
  EXPECT_EQ(ReadAll(lib.path), before);  // not written
  EXPECT_EQ(l.PackageNames(), (std::vector<std::string>{"C", "r"}));
  l.SetPackageName("X");
  EXPECT_TRUE(l.DelPart(false, false));  // nothing to delete
}

TEST(LibraryFile, MissingAndBackupFiles) {
  Lib lib;
  lib.answer = false;
  CLibrary l = lib.Open();
  EXPECT_EQ(l.ReadFile(), 0);
  EXPECT_FALSE(std::filesystem::exists(lib.path));
  EXPECT_EQ(lib.questions.back(), lib.path + "\n" + std::string(kLibAskCreate));
  lib.answer = true;
  EXPECT_EQ(l.ReadFile(), 1);
  EXPECT_EQ(ReadAll(lib.path), "");

  l.SetLibraryName(lib.dir.file("parts.LBK"));
  EXPECT_EQ(l.ReadFile(), 0);
  EXPECT_EQ(lib.messages.back(), kLibIsBackup);
}

TEST(LibraryFile, RewritingKeepsABackupAndTheCreationTime) {
  Lib lib;
  lib.Add("R", GateText("R", "R1", 0, 0));
  lib.Add("C", GateText("C", "C1", 0, 0));
  ASSERT_TRUE(SetFileCreationTime(lib.path, 1000000));
  const std::string before = ReadAll(lib.path);
  const std::string bak = lib.dir.file("parts.lbk");
  {
    CLibrary l = lib.Open();
    ASSERT_EQ(l.ReadFile(), 1);
    l.SetPackageName("R");
    ASSERT_TRUE(l.DelPart(false, true));
  }
  EXPECT_EQ(ReadAll(bak), before);
  EXPECT_EQ(ReadFileTimes(lib.path).creation, 1000000);
  EXPECT_EQ(lib.Names(), std::vector<std::string>{"C"});

  // Without backups the old backup stays as it was.
  AppSettings().WriteInt("FileSave", "LibraryBackUp", 0);
  lib.Add("L", GateText("L", "L1", 0, 0));
  {
    CLibrary l = lib.Open();
    ASSERT_EQ(l.ReadFile(), 1);
    l.SetPackageName("C");
    ASSERT_TRUE(l.DelPart(false, true));
  }
  AppSettings().DeleteValue("FileSave", "LibraryBackUp");
  EXPECT_EQ(ReadAll(bak), before);

  // A read-only library is not rewritten.
  const std::string now = ReadAll(lib.path);
  ::chmod(lib.path.c_str(), 0444);
  CLibrary l = lib.Open();
  ASSERT_EQ(l.ReadFile(), 1);
  l.SetPackageName("L");
  EXPECT_FALSE(l.DelPart(false, true));
  EXPECT_EQ(ReadAll(lib.path), now);
  EXPECT_NE(lib.messages.back().find("を作成できません"), std::string::npos);
  l.SetPackageName("X");
  EXPECT_FALSE(l.WritePart(Sheet(GateText("X", "X1", 0, 0))));
  EXPECT_EQ(ReadAll(lib.path), now);
}

TEST(LibraryFile, TheIndexListsGatesAndIsRebuiltWhenStale) {
  Lib lib;
  lib.Add("R", GateText("R", "R1", 0, 0));
  lib.Add("7400", GateText("7400", "U?A", 1, 2, 2) + GateText("7400N", "", 2, 2));
  CLibrary l = lib.Open();
  auto entries = l.ReadIndex();
  ASSERT_TRUE(entries);
  ASSERT_EQ(entries->size(), 3u);
  EXPECT_EQ((*entries)[0].packageName, "R");
  EXPECT_EQ((*entries)[0].gateCount, 1);
  EXPECT_EQ((*entries)[1].reference, "U?A");
  EXPECT_EQ((*entries)[1].attr, 2u);
  EXPECT_EQ((*entries)[2].packageName, "7400");
  EXPECT_EQ((*entries)[2].gateName, "7400N");

  const std::string tix = lib.dir.file("parts.tix");
  const std::string tixBytes = ReadAll(tix);
  CArchive head(tixBytes);
  EXPECT_EQ(head.ReadString(), kLibIndexVersion);
  EXPECT_EQ(head.ReadI32(), 3);
  EXPECT_TRUE(CLibrary::CheckIndexVer("TAVRO LIBRARY INDEX Ver 0.01"));
  EXPECT_FALSE(CLibrary::CheckIndexVer("tavro library index Ver 0.01"));

  // Appending drops the index; the next listing sees the new package.
  lib.Add("C", GateText("C", "C1", 0, 0));
  EXPECT_FALSE(std::filesystem::exists(tix));
  EXPECT_EQ(lib.Open().ReadIndex()->size(), 4u);
  // An index of another version is rewritten.
  CArchive old;
  old.WriteString("TAVRO LIBRARY INDEX Ver 0.00");
  old.WriteI32(0);
  WriteAll(tix, old.Buffer());
  EXPECT_EQ(lib.Open().ReadIndex()->size(), 4u);
  const std::string rewritten = ReadAll(tix);
  EXPECT_EQ(CArchive(rewritten).ReadString(), kLibIndexVersion);
}

TEST(LibraryFile, WritingTheListRemovesTheSectionsOtherKeys) {
  AppSettings().WriteString("Library File List", "AddPart", "x.lib");
  AppSettings().WriteString("Library File List", "File3", "old.lib");
  CLibrary l;
  l.SetLibraryList({"/a/one.lib", "/b/" + std::string("二.lib")});
  ASSERT_TRUE(l.WriteLibraryList());
  EXPECT_FALSE(AppSettings().Has("Library File List", "AddPart"));
  EXPECT_FALSE(AppSettings().Has("Library File List", "File3"));
  EXPECT_EQ(AppSettings().GetString("Library File List", "File2", ""), J("/b/二.lib"));
  CLibrary r;
  EXPECT_EQ(r.ReadLibraryList(), (std::vector<std::string>{"/a/one.lib", "/b/二.lib"}));
  AppSettings().DeleteSection("Library File List");
}

TEST(LibraryFile, NamesOfTheFilesBesideALibrary) {
  CLibrary l;
  l.SetLibraryName("/x/parts.LIB. ");
  EXPECT_EQ(l.GetLibraryName(), "/x/parts.LIB");
  EXPECT_EQ(l.GetIndexName(), "/x/parts.tix");
  l.SetLibraryName("/x/parts");
  EXPECT_EQ(l.GetIndexName(), "/x/parts.tix");
  EXPECT_EQ(CLibrary::BackupName("/x/parts.Lib"), "/x/parts.lbk");
  EXPECT_EQ(CLibrary::BackupName("/x/parts"), "/x/parts.lbk");
  EXPECT_EQ(CLibrary::AliasTableName("/x/parts.txt"), "");
}

// Damaged libraries: a reader stops with a message naming the library and
// the package. A record whose framing is broken hides where the library
// ends, so nothing is written to such a library; a record whose framing is
// sound but whose parts are damaged fails alone.
TEST(LibraryFile, DamagedLibrariesAreReportedAndNeverRewritten) {
  CSheet gate = Sheet(GateText("R", "R1", 0, 0));
  const std::string good = LibraryRecord("R", {gate.Parts().front().get()});
  auto withBody = [&](int32_t bodySize, const std::string& body) {
    CArchive ar;
    ar.WriteI32(kLibMarkerPackage);
    ar.WriteString("R");
    ar.WriteI32(bodySize);
    return ar.TakeBuffer() + body;
  };
  const std::string goodBody = good.substr(4 + 2 + 4);
  struct Case {
    const char* what;
    std::string bytes;
    bool framing;  // the record's framing is broken
  } cases[] = {
      {"body past the end", withBody(1000, goodBody) + Int32(0), true},
      {"negative body", withBody(-8, goodBody) + Int32(0), true},
      {"cut header", std::string("\xca\0\0\0\x05R", 6), true},
      {"gate count past the data",
       withBody(static_cast<int32_t>(goodBody.size()), Int32(50) + goodBody.substr(4)) + Int32(0),
       false},
      {"cut part record", withBody(40, goodBody.substr(0, 40)) + Int32(0), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Lib lib;
    WriteAll(lib.path, c.bytes);
    CLibrary l = lib.Open();
    ASSERT_EQ(l.ReadFile(), 1);
    l.SetPackageName("r");
    CSheet out(kSheetScratch);
    EXPECT_EQ(l.ReadPart(out, true), 0);
    EXPECT_TRUE(out.Parts().empty());
    EXPECT_TRUE(l.Damaged());
    ASSERT_FALSE(lib.messages.empty());
    EXPECT_NE(lib.messages.back().find(lib.path), std::string::npos);
    EXPECT_FALSE(l.WriteAsciiFile(lib.dir.file("out.txt")));
    EXPECT_FALSE(std::filesystem::exists(lib.dir.file("out.txt")));
    EXPECT_FALSE(lib.Open().ReadIndex());
    if (c.framing) {
      l.SetPackageName("X");
      EXPECT_FALSE(l.WritePart(Sheet(GateText("X", "X1", 0, 0))));
      l.SetPackageName("R");
      EXPECT_FALSE(l.DelPart(false, true));
      EXPECT_EQ(ReadAll(lib.path), c.bytes);
    } else {
      // The damaged package can be deleted; the rest of the library is sound.
      l.SetPackageName("R");
      EXPECT_TRUE(l.DelPart(false, true));
      EXPECT_TRUE(lib.Names().empty());
    }
  }
}

}  // namespace
}  // namespace tavro
