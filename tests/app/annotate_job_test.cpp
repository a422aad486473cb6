// The numbering job on sheet files: which parts change, the write-back to the
// very part each copy came from, dry runs and cancelling that write nothing,
// the sheets it refuses to write, and the options from the settings.
#include "app/annotate_job.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/annotate_sheets.h"
#include "app/part_changes.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "support/test_util.h"

namespace tavro {
namespace {

namespace fs = std::filesystem;
using test::PartSpec;
using test::ReadAll;
using test::TempDir;

class AnnotateJobTest : public ::testing::Test {
 protected:
  // Writes a sheet file from its parts.
  std::string Sheet(const std::string& name, const std::vector<PartSpec>& parts) {
    CSheetDoc d = test::SheetDoc(parts);
    const std::string path = tmp_.file(name);
    EXPECT_TRUE(d.Save(path, false).ok);
    return path;
  }
  static std::vector<std::string> FileRefs(const std::string& path) {
    CSheetDoc d;
    EXPECT_TRUE(d.Open(path).ok);
    return test::Refs(d.GetSheet());
  }
  static AnnotateCallbacks Saving() {
    AnnotateCallbacks cb;
    cb.writeBack = [](const SheetChanges& c, std::string& error) {
      const SheetWriteResult w = SaveSheetChanges(c, SaveOptions{});
      error = w.message;
      return w.ok;
    };
    return cb;
  }
  // "OLD -> NEW" of every change, sheet by sheet.
  static std::vector<std::string> Changes(const AnnotateResult& r) {
    std::vector<std::string> out;
    for (const SheetChanges& s : r.sheets)
      for (const PartChange& c : s.changes)
        out.push_back(std::to_string(s.number) + ":" + Cp932ToUtf8(c.oldRef) + "->" +
                      Cp932ToUtf8(c.newRef));
    return out;
  }

  TempDir tmp_;
};

TEST_F(AnnotateJobTest, OnlyUndecidedReferencesChangeInModeZero) {
  const std::string a = Sheet("a.tcd", {{1000, 3000, "R?"},
                                        {2000, 3000, "R7"},
                                        {3000, 3000, ""},  // a power symbol
                                        {4000, 3000, "B?", "SUB", "", 1, 0, "&FILE&b.tcd"},
                                        {1000, 1000, "R3"}});
  const std::string b = Sheet("b.tcd", {{1000, 1000, "R?"}, {2000, 1000, "12"}});
  const std::string before = ReadAll(a);
  const std::string inputs[] = {a, b};

  // Without a write-back: the changes, and no file touched.
  AnnotateResult r = RunAnnotate(inputs, AnnotateOptions{});
  ASSERT_EQ(r.status, AnnotateResult::kOk) << r.message;
  EXPECT_EQ(Changes(r), (std::vector<std::string>{"1:R?->R8", "2:R?->R9"}));
  EXPECT_EQ(r.counters, 2);  // "R" and "" (of "12"); the block is left out
  EXPECT_EQ(r.counterText, "リファレンスカウンター    2");
  EXPECT_TRUE(r.written.empty());
  EXPECT_EQ(ReadAll(a), before);

  r = RunAnnotate(inputs, AnnotateOptions{}, Saving());
  ASSERT_EQ(r.status, AnnotateResult::kOk) << r.message;
  EXPECT_EQ(r.written, (std::vector<std::string>{a, b}));
  // The block for an open sheet, the part without a reference and the
  // reference of digits alone stay as they were.
  EXPECT_EQ(FileRefs(a), (std::vector<std::string>{"R8", "R7", "", "B?", "R3"}));
  EXPECT_EQ(FileRefs(b), (std::vector<std::string>{"R9", "12"}));
  EXPECT_TRUE(fs::exists(tmp_.file("a.bak")));
  // Nothing left to number: nothing written.
  r = RunAnnotate(inputs, AnnotateOptions{}, Saving());
  EXPECT_TRUE(r.sheets.empty());
  EXPECT_TRUE(r.written.empty());
}

TEST_F(AnnotateJobTest, PartsAlikeInEveryFieldGetNumbersOfTheirOwn) {
  // Two parts stacked on one another (a slip of the mouse): equal as parts
  // go, each still gets its own number, in mode 0 and in mode 1.
  const std::string a =
      Sheet("a.tcd", {{1000, 1000, "R?"}, {1000, 1000, "R?"}, {3000, 1000, "R1"}});
  const std::string inputs[] = {a};
  AnnotateResult r = RunAnnotate(inputs, AnnotateOptions{}, Saving());
  ASSERT_EQ(r.status, AnnotateResult::kOk) << r.message;
  EXPECT_EQ(FileRefs(a), (std::vector<std::string>{"R2", "R3", "R1"}));
  AnnotateOptions all;
  all.mode = 1;
  r = RunAnnotate(inputs, all, Saving());
  ASSERT_EQ(r.status, AnnotateResult::kOk) << r.message;
  EXPECT_EQ(FileRefs(a), (std::vector<std::string>{"R1", "R2", "R3"}));
}

TEST_F(AnnotateJobTest, ACancelledRunWritesNothing) {
  const std::string a = Sheet("a.tcd", {{1000, 1000, "R?"}, {2000, 1000, "R?"}});
  const std::string before = ReadAll(a);
  const std::string inputs[] = {a};
  for (int at = 0; at < 7; ++at) {  // reading, sorting, pass 1, pass 2
    SCOPED_TRACE(at);
    test::RecordingHost host;
    host.cancelAtStep = at;
    AnnotateCallbacks cb = Saving();
    cb.progress = &host;
    const AnnotateResult r = RunAnnotate(inputs, AnnotateOptions{}, cb);
    EXPECT_EQ(r.status, AnnotateResult::kCancelled);
    EXPECT_EQ(ReadAll(a), before);
  }
}

TEST_F(AnnotateJobTest, RefusesWhatItCouldNotWriteBack) {
  // A text-form sheet would be replaced by a sheet file.
  test::WriteAll(tmp_.file("t.txt"), test::SheetText({{1000, 1000, "R?"}}));
  const std::string text[] = {tmp_.file("t.txt")};
  AnnotateCallbacks cb = Saving();
  cb.loader = ReadSheetFileForChange;
  AnnotateResult r = RunAnnotate(text, AnnotateOptions{}, cb);
  EXPECT_EQ(r.status, AnnotateResult::kFailed);
  EXPECT_NE(r.message.find("t.txt"), std::string::npos) << r.message;
  // Options out of range, and a sheet that is not there.
  const std::string missing[] = {tmp_.file("missing.tcd")};
  EXPECT_EQ(RunAnnotate(missing, AnnotateOptions{}).status, AnnotateResult::kFailed);
  for (auto bad : {&AnnotateOptions::step, &AnnotateOptions::firstNo, &AnnotateOptions::mode}) {
    AnnotateOptions o;
    o.*bad = 7 + 10000;
    EXPECT_FALSE(o.Check().empty());
    EXPECT_EQ(RunAnnotate(text, o).status, AnnotateResult::kFailed);
  }
}

TEST_F(AnnotateJobTest, OptionsFromTheSettings) {
  Settings& s = AppSettings();
  const struct {
    int makeType, step, top, offset, each;
    int mode, expectedStep;
  } cases[] = {{0, 0, 1, 0, 0, 0, 1},
               {1, 1, 100, 200, 1, 1, 2},
               {2, 0, 5, 0, 0, 0, 1},
               {3, 1, 5, 0, 0, 0, 2}};
  for (const auto& c : cases) {
    s.WriteInt("Tool", "PartNoMakeType", c.makeType);
    s.WriteInt("Tool", "PartNoStep", c.step);
    s.WriteInt("Tool", "PartTopRefNo", c.top);
    s.WriteInt("Tool", "RefPageOffset", c.offset);
    s.WriteInt("Tool", "EachSheet", c.each);
    const AnnotateOptions o = AnnotateOptions::FromSettings(s);
    EXPECT_EQ(o.mode, c.mode);
    EXPECT_EQ(o.step, c.expectedStep);
    EXPECT_EQ(o.firstNo, c.top);
    EXPECT_EQ(o.pageOffset, c.offset);
    EXPECT_EQ(o.eachSheet, c.each != 0);
  }
  s.DeleteSection("Tool");
  const AnnotateOptions d = AnnotateOptions::FromSettings(s);
  EXPECT_EQ(d.mode, 0);
  EXPECT_EQ(d.step, 1);
  EXPECT_EQ(d.firstNo, 1);
  EXPECT_EQ(d.pageOffset, 0);
  EXPECT_FALSE(d.eachSheet);
}

TEST(PartChangesTest, EachChangeFindsItsPartOnce) {
  // Two parts alike in every field and a third; changes decided on the
  // sheet as it was.
  const CSheetDoc original =
      test::SheetDoc({{1000, 1000, "R?"}, {1000, 1000, "R?"}, {2000, 1000, "C1"}});
  const auto& parts = original.GetSheet().Parts();
  auto change = [&](size_t i, const char* ref) {
    PartChange c = PartChange::Of(*parts[i], i);
    c.newRef = ref;
    return c;
  };
  const std::vector<PartChange> changes = {change(0, "R1"), change(1, "R2"), change(2, "C5")};
  struct Case {
    const char* name;
    std::function<void(CSheet&)> before;  // what happened to the sheet meanwhile
    std::vector<std::string> refs;
    size_t missed;
  };
  const Case cases[] = {
      {"as it was", [](CSheet&) {}, {"R1", "R2", "C5"}, 0},
      // The parts moved in the list: each change finds its part by what it was.
      {"reordered",
       [](CSheet& s) { std::swap(s.Parts()[0], s.Parts()[2]); },
       {"C5", "R1", "R2"},
       0},
      // A part that changed is not there any more: its change is not made,
      // and not made on another part either.
      {"edited",
       [](CSheet& s) { s.Parts()[2]->RefNameText().SetName("C9"); },
       {"R1", "R2", "C9"},
       1},
      {"one of the two gone", [](CSheet& s) { s.RemoveItem(s.Parts()[1].get()); }, {"R1", "C5"}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    CSheet sheet(kSheetMain);
    sheet = original.GetSheet();
    c.before(sheet);
    const auto missed = ApplyPartChanges(sheet, changes);
    EXPECT_EQ(test::Refs(sheet), c.refs);
    EXPECT_EQ(missed.size(), c.missed);
  }
}

TEST(PartChangesTest, SavingRefusesAChangedFileAndKeepsABackup) {
  TempDir tmp;
  CSheetDoc d = test::SheetDoc({{1000, 1000, "R?"}});
  const std::string path = tmp.file("a.tcd");
  ASSERT_TRUE(d.Save(path, false).ok);
  SheetChanges sc;
  sc.path = path;
  PartChange c = PartChange::Of(*d.GetSheet().Parts()[0], 0);
  c.newRef = "R1";
  sc.changes = {c};
  // The file changed since the job read it: nothing is written.
  d.GetSheet().Parts()[0]->RefNameText().SetName("R5");
  ASSERT_TRUE(d.Save(path, false).ok);
  const std::string changed = ReadAll(path);
  SaveOptions o;
  o.backUp = true;
  SheetWriteResult w = SaveSheetChanges(sc, o);
  EXPECT_FALSE(w.ok);
  EXPECT_NE(w.message.find(path), std::string::npos) << w.message;
  EXPECT_EQ(ReadAll(path), changed);
  // As the job read it: saved, the old file kept as the backup.
  d.GetSheet().Parts()[0]->RefNameText().SetName("R?");
  ASSERT_TRUE(d.Save(path, false).ok);
  const std::string old = ReadAll(path);
  w = SaveSheetChanges(sc, o);
  ASSERT_TRUE(w.ok) << w.message;
  EXPECT_EQ(w.backupPath, tmp.file("a.bak"));
  EXPECT_EQ(ReadAll(w.backupPath), old);
  CSheetDoc back;
  ASSERT_TRUE(back.Open(path).ok);
  EXPECT_EQ(test::Refs(back.GetSheet()), std::vector<std::string>{"R1"});
}

TEST(PartChangesTest, ShownSheetName) {
  EXPECT_EQ(ShownSheetName("/p/a.tcd", "/p/x.tpj"), "a.tcd");
  EXPECT_EQ(ShownSheetName("/p/sub/a.tcd", "/p/x.tpj"), "sub/a.tcd");
  EXPECT_EQ(ShownSheetName("/q/a.tcd", "/p/x.tpj"), "/q/a.tcd");
}

}  // namespace
}  // namespace tavro
