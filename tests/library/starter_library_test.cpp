// The starter libraries installed with the program: built from their text
// sources, every package reads back, and the demo's parts are found in them.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/file/document.h"
#include "core/model/sheet.h"
#include "library/library.h"
#include "library/library_ops.h"
#include "support/test_util.h"

namespace tavro {
namespace {

TEST(StarterLibrary, EveryPackageReadsBack) {
  const std::vector<std::string> libs = StarterLibraries();
  std::set<std::string> names;
  for (const auto& e :
       std::filesystem::directory_iterator(std::string(TAVRO_SOURCE_DIR) + "/data/lib-src"))
    if (e.path().extension() == ".txt") names.insert(e.path().stem().string() + ".lib");
  std::set<std::string> built;
  for (const std::string& l : libs) built.insert(std::filesystem::path(l).filename().string());
  EXPECT_EQ(built, names);

  for (const std::string& path : libs) {
    SCOPED_TRACE(path);
    std::string message;
    auto packages = ListLibrary(path, {}, &message);
    ASSERT_TRUE(packages) << message;
    EXPECT_FALSE(packages->empty());
    for (const LibPackage& p : *packages) {
      CLibrary lib;
      lib.SetLibraryName(path);
      ASSERT_EQ(lib.ReadFile(), 1);
      lib.SetPackageName(p.name);
      CSheet gates(kSheetScratch);
      ASSERT_EQ(lib.ReadPart(gates, false), 1) << p.name;
      EXPECT_EQ(gates.Parts().size(), p.gates.size()) << p.name;
      for (const auto& g : gates.Parts()) EXPECT_FALSE(g->Pins().empty()) << p.name;
    }
  }
}

TEST(StarterLibrary, TheDemosPartsAndTheAliasesAreFound) {
  const std::vector<std::string> libs = StarterLibraries();
  std::set<std::string> parts;
  for (const char* sheet : {"amp1.tcd", "amp2.tcd"}) {
    CSheetDoc doc;
    ASSERT_TRUE(doc.Open(std::string(TAVRO_SOURCE_DIR) + "/examples/demo/" + sheet).ok);
    for (const auto& p : doc.GetSheet().Parts()) parts.insert(p->GetPartName());
  }
  EXPECT_GE(parts.size(), 5u);
  for (const std::string& name : parts) {
    CSheet out(kSheetScratch);
    EXPECT_NE(FindPackage(libs, name, out, {}), "") << name;
  }
  CSheet out(kSheetScratch);
  EXPECT_NE(FindPackage(libs, "74hc00", out, {}), "");
  ASSERT_EQ(out.Parts().size(), 4u);
  EXPECT_EQ(out.Parts()[0]->GetPartName(), "74HC00");
}

}  // namespace
}  // namespace tavro
