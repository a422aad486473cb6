// The operations of the library browser and of part registration.
#include "library/library_ops.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/model/sheet.h"
#include "core/platform/settings.h"
#include "library/library_fixture.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using namespace test::lib;

std::string Gates(Lib& lib, const std::string& package) {
  std::string out;
  for (const std::string& g : lib.Read(package)) out += g + " ";
  return out;
}

TEST(LibraryOps, DeletingTheSecondOfThreeGatesMovesThePackageToTheEnd) {
  Lib lib;
  lib.Add("7400", GateText("7400", "U?A", 1, 3) + GateText("7400", "U?B", 2, 3) +
                      GateText("7400", "U?C", 3, 3));
  lib.Add("R", GateText("R", "R1", 0, 0));
  ASSERT_TRUE(DeletePackage(lib.path, "7400", 2, lib.Prompts()).ok());
  EXPECT_EQ(lib.Names(), (std::vector<std::string>{"R", "7400"}));
  EXPECT_EQ(Gates(lib, "7400"), "7400:U?A 7400:U?C ");
  auto listed = ListLibrary(lib.path, lib.Prompts());
  ASSERT_TRUE(listed);
  ASSERT_EQ(listed->size(), 2u);
  EXPECT_EQ((*listed)[1].gates.size(), 2u);

  EXPECT_EQ(DeletePackage(lib.path, "7400", 5, lib.Prompts()).status, LibOpStatus::kRefused);
  EXPECT_EQ(DeletePackage(lib.path, "nope", 0, lib.Prompts()).status, LibOpStatus::kRefused);
  ASSERT_TRUE(DeletePackage(lib.path, "r", 0, lib.Prompts()).ok());
  EXPECT_EQ(lib.Names(), std::vector<std::string>{"7400"});
}

TEST(LibraryOps, CopyAndMove) {
  Lib a, b;
  a.Add("R", GateText("R", "R1", 0, 0));
  a.Add("C", GateText("C", "C1", 0, 0));
  b.Add("r", GateText("r", "R9", 0, 0));
  b.Add("L", GateText("L", "L1", 0, 0));

  // The target holds the package: refused without a yes.
  b.answer = false;
  LibOpResult r = CopyPackage(a.path, "R", b.path, false, b.Prompts());
  EXPECT_EQ(r.status, LibOpStatus::kRefused);
  EXPECT_EQ(b.questions.back(), "Rは既に存在します。上書きしますか？");
  EXPECT_EQ(b.Names(), (std::vector<std::string>{"r", "L"}));
  // After a yes exactly one package of the name is left, at the end.
  b.answer = true;
  ASSERT_TRUE(CopyPackage(a.path, "R", b.path, false, b.Prompts()).ok());
  EXPECT_EQ(b.Names(), (std::vector<std::string>{"L", "R"}));
  EXPECT_EQ(Gates(b, "R"), "R:R1 ");
  EXPECT_EQ(a.Names(), (std::vector<std::string>{"R", "C"}));

  // A move leaves the source; a move to its own library does nothing.
  ASSERT_TRUE(CopyPackage(a.path, "C", b.path, true, b.Prompts()).ok());
  EXPECT_EQ(a.Names(), std::vector<std::string>{"R"});
  EXPECT_EQ(b.Names(), (std::vector<std::string>{"L", "R", "C"}));
  const std::string before = ReadAll(a.path);
  EXPECT_EQ(CopyPackage(a.path, "R", a.path, true, a.Prompts()).status, LibOpStatus::kNothing);
  const std::string other = a.dir.file("sub/../parts.lib");
  std::filesystem::create_directory(a.dir.file("sub"));
  EXPECT_EQ(CopyPackage(a.path, "R", other, true, a.Prompts()).status, LibOpStatus::kNothing);
  EXPECT_EQ(ReadAll(a.path), before);
}

TEST(LibraryOps, RenameRefusesAnExistingName) {
  Lib lib;
  lib.Add("R", GateText("R", "R1", 0, 0));
  lib.Add("C", GateText("C", "C1", 0, 0));
  const std::string before = ReadAll(lib.path);
  struct Case {
    const char* to;
    LibOpStatus status;
  } refused[] = {{"C", LibOpStatus::kRefused},
                 {"c", LibOpStatus::kRefused},
                 {"R", LibOpStatus::kNothing},
                 {"", LibOpStatus::kNothing}};
  for (const Case& c : refused) {
    EXPECT_EQ(RenamePackage(lib.path, "R", c.to, lib.Prompts()).status, c.status) << c.to;
    EXPECT_EQ(ReadAll(lib.path), before) << c.to;
  }
  ASSERT_TRUE(RenamePackage(lib.path, "R", "RES", lib.Prompts()).ok());
  EXPECT_EQ(lib.Names(), (std::vector<std::string>{"C", "RES"}));
  EXPECT_EQ(Gates(lib, "RES"), "R:R1 ");  // the part keeps its own name
}

TEST(LibraryOps, RegisteringParts) {
  EXPECT_EQ(ParseExceptList(" /NOMOUNT, FILE/X&&Y &"),
            (std::vector<std::string>{"NOMOUNT", "FILE", "X&&Y"}));
  EXPECT_TRUE(ParseExceptList(" , ").empty());

  Lib lib;
  lib.Add("OP", GateText("OP", "U1", 0, 0));
  CSheet parts = Sheet(GateText("OP", "U12A", 1, 2) + GateText("OP", "U12B", 2, 2) +
                       GateText("OP", "12", 0, 0));
  for (const auto& p : parts.Parts()) {
    p->SetAngle(0x1100);
    p->NewText("&NOMOUNT&1", {}, 50, 0);
    p->NewText("&PCB&SOP8", {}, 50, 0);
  }
  lib.answer = false;
  EXPECT_EQ(RegisterParts(lib.path, "OP", parts, "NOMOUNT", lib.Prompts()).status,
            LibOpStatus::kRefused);
  EXPECT_EQ(Gates(lib, "OP"), "OP:U1 ");
  lib.answer = true;
  ASSERT_TRUE(RegisterParts(lib.path, "OP", parts, "NOMOUNT", lib.Prompts()).ok());
  CSheet back(kSheetScratch);
  CLibrary l = lib.Open();
  l.ReadFile();
  l.SetPackageName("OP");
  ASSERT_EQ(l.ReadPart(back, false), 1);
  ASSERT_EQ(back.Parts().size(), 3u);
  const char* refs[] = {"U?A", "U?B", "12"};
  for (size_t i = 0; i < 3; ++i) {
    const CPart& p = *back.Parts()[i];
    EXPECT_EQ(p.GetRefName(), refs[i]);
    EXPECT_EQ(p.GetAngle(), 0u);
    EXPECT_EQ(p.GetProperty("NOMOUNT"), "");
    EXPECT_EQ(p.GetProperty("PCB"), "SOP8");
  }
  // The drawing's own parts are not changed.
  EXPECT_EQ(parts.Parts()[0]->GetRefName(), "U12A");
}

TEST(LibraryOps, FindingAPackageAlongTheLibraryList) {
  Lib a, b;
  a.Add("R", GateText("R", "R1", 0, 0));
  b.Add("R", GateText("R", "R2", 0, 0));
  b.Add("C", GateText("C", "C1", 0, 0));
  CSheet out(kSheetScratch);
  EXPECT_EQ(FindPackage({a.path, b.path}, "c", out, a.Prompts()), b.path);
  EXPECT_EQ(FindPackage({a.path, b.path}, "r", out, a.Prompts()), a.path);
  ASSERT_EQ(out.Parts().size(), 2u);
  EXPECT_EQ(out.Parts()[1]->GetRefName(), "R1");
  EXPECT_EQ(FindPackage({a.path, b.path}, "L", out, a.Prompts()), "");
}

}  // namespace
}  // namespace tavro
