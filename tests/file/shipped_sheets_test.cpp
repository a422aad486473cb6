// The sheet files the project ships (the title frames in data/ and the demo
// in examples/demo/) are made from their text form by `tavro convert`; these
// tests keep the binaries and their sources in step and check the drawings.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "core/file/document.h"
#include "core/platform/codec.h"
#include "support/test_util.h"

namespace tavro {
namespace {

using test::ReadAll;
using test::RunTavro;
using test::TempDir;

std::string Source(const std::string& relative) {
  return std::string(TAVRO_SOURCE_DIR) + "/" + relative;
}

// Converts a text-form source into a sheet file and back again.
void ExpectInStep(const std::string& source, const std::string& binary,
                  const std::vector<std::string>& options) {
  TempDir dir;
  std::vector<std::string> args = {"convert", "--to", "tcd"};
  args.insert(args.end(), options.begin(), options.end());
  args.push_back(Source(source));
  args.push_back(dir.file("out.tcd"));
  const test::RunResult made = RunTavro(args);
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_TRUE(ReadAll(dir.file("out.tcd")) == ReadAll(Source(binary)))
      << binary << " is not what `tavro convert` makes of " << source;
  const test::RunResult back = RunTavro({"convert", Source(binary), dir.file("back.txt")});
  ASSERT_EQ(back.exitCode, 0) << back.err;
  EXPECT_TRUE(ReadAll(dir.file("back.txt")) == ReadAll(Source(source)))
      << source << " is not in the text form that " << binary << " gives back";
}

TEST(ShippedSheetsTest, TitleFramesAreMadeFromTheirSources) {
  const char* names[] = {"Title.A2", "Title.A3", "Title.A4", "Title.A2P", "Title.A3P", "Title.A4P"};
  for (int code = 0; code < 6; ++code) {
    SCOPED_TRACE(names[code]);
    ExpectInStep(std::string("data/titles-src/") + names[code] + ".txt",
                 std::string("data/") + names[code], {"--size", std::to_string(code)});
  }
}

TEST(ShippedSheetsTest, TitleFramesFitTheirPaperAndCarryTheMacros) {
  for (int code = 0; code < 6; ++code) {
    const std::string name = CSheetDoc::TitleFileNameForSize(code);
    SCOPED_TRACE(name);
    CSheetDoc frame;
    ASSERT_TRUE(frame.Load(ReadAll(Source("data/" + name)), name, false).ok);
    EXPECT_EQ(frame.GetSizeCode(), code);
    const WorkSize paper = CSheetDoc::WorkSizeForCode(code);
    EXPECT_EQ(frame.GetWorkWidth(), paper.width);
    const CRect box = frame.GetSheet().GetBoundingRect();
    EXPECT_GE(box.left, 0);
    EXPECT_GE(box.top, 0);
    EXPECT_LE(box.right, paper.width);
    EXPECT_LE(box.bottom, paper.height);
    std::string all;
    for (const auto& t : frame.GetSheet().Texts()) all += t->GetName() + "\n";
    for (const char* macro :
         {"&TITLE&", "&DATE&%Y/%m/%d&", "&SIZE&", "&P&/&T&", "&SHEETNO&", "&AUTHOR&", "&FILE&"})
      EXPECT_NE(all.find(macro), std::string::npos) << macro;
    // Zone marks: numbers along the top and bottom, letters along the sides.
    EXPECT_NE(all.find("\n1\n"), std::string::npos);
    EXPECT_NE(all.find("\nA\n"), std::string::npos);
  }
}

TEST(ShippedSheetsTest, DemoSheetsAreMadeFromTheirSources) {
  for (const char* name : {"amp1", "amp2"}) {
    SCOPED_TRACE(name);
    ExpectInStep(std::string("examples/demo/src/") + name + ".txt",
                 std::string("examples/demo/") + name + ".tcd", {});
  }
}

// Every point on the 50-mil grid, every displayed pin of a part on a wire
// end, and every junction where three or more connections meet.
TEST(ShippedSheetsTest, DemoSheetsAreDrawnOnTheGridAndConnected) {
  int hiddenPowerPins = 0;
  int gates = 0;
  for (const char* name : {"amp1", "amp2"}) {
    SCOPED_TRACE(name);
    CSheetDoc doc;
    ASSERT_TRUE(
        doc.Load(ReadAll(Source(std::string("examples/demo/") + name + ".tcd")), name, false).ok);
    const CSheet& s = doc.GetSheet();
    EXPECT_EQ(doc.GetSizeCode(), kSizeA3);
    auto onGrid = [](CPoint p) { return p.x % 50 == 0 && p.y % 50 == 0; };
    std::vector<CPoint> ends;
    for (const auto* list : {&s.Wires(), &s.Buses(), &s.Lines()}) {
      for (const auto& l : *list) {
        EXPECT_TRUE(onGrid(l->GetStartPoint()) && onGrid(l->GetEndPoint()));
        if (l->IsWire()) {
          ends.push_back(l->GetStartPoint());
          ends.push_back(l->GetEndPoint());
        }
      }
    }
    for (const auto& j : s.Juncs()) {
      EXPECT_TRUE(onGrid(j->GetPoint()));
      EXPECT_GE(std::count(ends.begin(), ends.end(), j->GetPoint()), 3) << j->GetPoint().x;
    }
    for (const auto& part : s.Parts()) {
      EXPECT_TRUE(onGrid(part->GetOrg()));
      if (part->GetPackageMax() == 4) ++gates;
      if (part->GetRefName().empty()) {
        // A power symbol: one power pin named after its net.
        ASSERT_EQ(part->Pins().size(), 1u);
        EXPECT_EQ(part->Pins()[0]->GetEleType(), kPinPower);
        EXPECT_EQ(part->Pins()[0]->GetName(), part->GetPartName());
      }
      for (const auto& pin : part->Pins()) {
        EXPECT_TRUE(onGrid(pin->GetStartPoint()) && onGrid(pin->GetEndPoint()));
        if (!pin->IsDisp()) {
          EXPECT_EQ(pin->GetEleType(), kPinPower);
          ++hiddenPowerPins;
          continue;
        }
        EXPECT_NE(std::find(ends.begin(), ends.end(), pin->GetEndPoint()), ends.end())
            << part->GetRefName() << " pin " << pin->GetNo() << " is not on a wire end";
      }
    }
  }
  EXPECT_EQ(gates, 4);
  EXPECT_EQ(hiddenPowerPins, 8);  // VCC and GND in each of the four gates
}

}  // namespace
}  // namespace tavro
