// The find job: the counting order over every kind of item, the options that
// narrow a match, find next with its per-document counters (one sheet and
// the walk over the open sheets), selecting every match, and the options and
// history of section "Find".
#include "app/find.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "core/file/document.h"
#include "core/model/sheet.h"
#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro {
namespace {

// Every searchable kind holding an "X", and a bus and a graphic line whose
// names hold one too (never searched). The part name is hidden (attr 0x8000),
// and so is the second pin (elect 0x8000 | output).
constexpr const char* kEveryKind =
    "Line 1000 1000 2000 1000 8 0 0 0\n"
    "Name \"VCC\" 1100 1020 70 0\n"
    "Line 1000 500 2000 500 8 0 0 0\n"
    "Name \"SIGX\" 1100 520 70 0\n"
    "Line 1000 300 2000 300 8 2 0 0\n"
    "Name \"XBUS\" 1100 320 70 0\n"
    "Line 1000 200 2000 200 8 1 0 0\n"
    "Name \"XLINE\" 1100 220 70 0\n"
    "Part 3000 3000 2800 2800 3200 3200 1 0 0 0\n"
    "Name \"XPART\" 3000 3150 70 32768\n"
    "Ref \"UX1\" 3000 3200 70 0\n"
    "Val \"XVAL\" 3000 2850 70 0\n"
    "Pin 2900 3000 2800 3000 1\n"
    "Name \"XIN\" 2920 3000 70 0\n"
    "No \"1\" 2850 3020 70 0\n"
    "Pin 3100 3000 3200 3000 32770\n"
    "Name \"XOUT\" 3080 3000 70 0\n"
    "No \"X2\" 3150 3020 70 0\n"
    "Text \"XNOTE\" 3000 2700 70 0\n"
    "PartEnd\n"
    "Pin 4000 4000 4100 4000 0\n"
    "Name \"XFREE\" 4020 4000 70 0\n"
    "No \"X9\" 4050 4020 70 0\n"
    "Text \"X TEXT\" 5000 -1250 70 0\n";

CSheetDoc Load(const std::string& text) {
  CSheetDoc doc;
  EXPECT_TRUE(doc.LoadText(text, "find.txt", false).ok);
  return doc;
}

FindOptions Options(std::string pattern, int target = kFindTargetMask) {
  FindOptions o;
  o.pattern = std::move(pattern);
  o.target = target;
  return o;
}

struct Seen {
  int kind;
  int field;
  std::string text;
  CPoint point;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> Listed(const std::vector<FindMatch>& matches) {
  std::vector<Seen> out;
  for (const FindMatch& m : matches) out.push_back({m.kind, m.field, m.text, m.point});
  return out;
}

void PrintTo(const Seen& s, std::ostream* os) {
  *os << "{" << s.kind << ", 0x" << std::hex << s.field << std::dec << ", " << s.text << ", "
      << s.point.x << "/" << s.point.y << "}";
}

TEST(FindTest, ListsEveryPlaceOnceInTheCountingOrder) {
  const CSheetDoc doc = Load(kEveryKind);
  FindOptions o = Options("x");
  o.hidden = true;
  // Wires, then the part (attribute texts, each pin's name then number, its
  // extra texts), the free pin once although name and number both match, the
  // free text. No bus, no graphic line, and no pin or part text twice.
  const std::vector<Seen> expected = {
      {kKindWire, kFindWire, "SIGX", {1100, 520}},
      {kKindPart, kFindPartName, "XPART", {3000, 3150}},
      {kKindPart, kFindPartRef, "UX1", {3000, 3200}},
      {kKindPart, kFindPartValue, "XVAL", {3000, 2850}},
      {kKindPart, kFindPinName, "XIN", {2920, 3000}},
      {kKindPart, kFindPinName, "XOUT", {3080, 3000}},
      {kKindPart, kFindPinNo, "X2", {3150, 3020}},
      {kKindPart, kFindPartText, "XNOTE", {3000, 2700}},
      {kKindPin, kFindPinName, "XFREE", {4020, 4000}},
      {kKindText, kFindText, "X TEXT", {5000, -1250}},
  };
  const std::vector<FindMatch> all = FindAll(doc.GetSheet(), o);
  EXPECT_EQ(Listed(all), expected);
  ASSERT_EQ(all.size(), expected.size());
  const CSheet& sheet = doc.GetSheet();
  EXPECT_EQ(all[0].item, sheet.Wires()[1].get());
  for (size_t i = 1; i <= 7; ++i) EXPECT_EQ(all[i].item, sheet.Parts()[0].get()) << i;
  EXPECT_EQ(all[8].item, sheet.Pins()[0].get());
  EXPECT_EQ(all[9].item, sheet.Texts()[0].get());

  // A free pin whose name does not match is found by its number; one whose
  // name is not searched, too.
  o.pattern = "x9";
  EXPECT_EQ(Listed(FindAll(sheet, o)),
            (std::vector<Seen>{{kKindPin, kFindPinNo, "X9", {4050, 4020}}}));
  o.pattern = "xfree";
  o.target = kFindPinNo;
  EXPECT_TRUE(FindAll(sheet, o).empty());
}

TEST(FindTest, OptionsNarrowTheMatches) {
  const CSheetDoc doc =
      Load(std::string(kEveryKind) + "Text \"" + J("電源ライン") + "\" 0 0 70 0\n");
  struct Case {
    const char* pattern;
    bool matchCase, word, hidden;
    int target;
    std::vector<std::string> texts;
  } cases[] = {
      // Letter case is ignored unless matchCase.
      {"vcc", false, false, false, kFindWire, {"VCC"}},
      {"vcc", true, false, false, kFindWire, {}},
      {"VCC", true, false, false, kFindWire, {"VCC"}},
      // Word: the whole text.
      {"x", false, true, false, kFindTargetMask, {}},
      {"xin", false, true, false, kFindTargetMask, {"XIN"}},
      {"XIN", false, true, false, kFindPinNo, {}},
      // Hidden pins and texts only with hidden.
      {"xout", false, false, false, kFindPinName, {}},
      {"xout", false, false, true, kFindPinName, {"XOUT"}},
      {"xpart", false, false, false, kFindPartName, {}},
      {"xpart", false, false, true, kFindPartName, {"XPART"}},
      // Only the targets asked for.
      {"x", false, false, true, kFindPartRef | kFindText, {"UX1", "X TEXT"}},
      {"x", false, false, true, kFindPartText, {"XNOTE"}},
      // Double-byte texts, and an empty pattern finds nothing.
      {"ライン", false, false, false, kFindText, {"電源ライン"}},
      {"", false, false, true, kFindTargetMask, {}},
  };
  for (const Case& c : cases) {
    FindOptions o = Options(J(c.pattern), c.target);
    o.matchCase = c.matchCase;
    o.word = c.word;
    o.hidden = c.hidden;
    std::vector<std::string> texts;
    for (const FindMatch& m : FindAll(doc.GetSheet(), o)) texts.push_back(Cp932ToUtf8(m.text));
    EXPECT_EQ(texts, c.texts) << c.pattern << " case " << c.matchCase << " word " << c.word
                              << " hidden " << c.hidden << " target " << c.target;
  }
}

TEST(FindTest, FindNextVisitsEachMatchThenReportsNothingThenStartsAgain) {
  const CSheetDoc doc = Load(
      "Text \"NOTE A\" 100 100 70 0\n"
      "Text \"OTHER\" 200 200 70 0\n"
      "Text \"NOTE B\" 300 300 70 0\n"
      "Text \"note c\" 400 400 70 0\n");
  const FindOptions o = Options("note", kFindText);
  int found = 7;  // left over from an earlier search
  const FindDocument docs[] = {{&doc.GetSheet(), &found}};
  std::vector<std::string> seen;
  for (int press = 0; press < 5; ++press) {
    const auto hit = FindNext(docs, 0, o, press == 0);
    seen.push_back(hit ? hit->match.text : "-");
    EXPECT_EQ(found, press < 3 ? press + 1 : press == 3 ? 0 : 1) << press;
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"NOTE A", "NOTE B", "note c", "-", "NOTE A"}));
  // A new search starts at the first match wherever the counter stood.
  EXPECT_EQ(FindNext(docs, 0, o, true)->match.text, "NOTE A");
  EXPECT_FALSE(FindNext(docs, 1, o, false));
}

TEST(FindTest, FindNextWalksTheOpenSheetsEachFromItsOwnCounter) {
  const CSheetDoc a = Load("Text \"A1 X\" 0 0 70 0\nText \"A2 X\" 0 0 70 0\n");
  const CSheetDoc none = Load("Text \"NOTHING\" 0 0 70 0\n");
  const CSheetDoc b = Load("Text \"B1 X\" 0 0 70 0\n");
  int counters[3] = {0, 5, 0};
  const FindDocument docs[] = {{&a.GetSheet(), &counters[0]},
                               {&none.GetSheet(), &counters[1]},
                               {&b.GetSheet(), &counters[2]}};
  FindOptions o = Options("x", kFindText);

  // The editor activates the sheet of each hit, so the next press starts
  // there; every match comes once a round, then one "nothing found".
  size_t current = 0;
  std::vector<std::string> seen;
  for (int press = 0; press < 9; ++press) {
    const auto hit = FindNext(docs, current, o, press == 0);
    if (!hit) {
      seen.push_back("-");
      EXPECT_EQ(counters[0] + counters[1] + counters[2], 0);
      continue;
    }
    seen.push_back(hit->match.text.substr(0, 2));
    current = hit->doc;
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"A1", "A2", "B1", "-", "B1", "A1", "A2", "-", "A1"}));

  // Without allSheets the search stays in the current sheet.
  o.allSheets = false;
  counters[2] = 1;
  seen.clear();
  for (int press = 0; press < 4; ++press) {
    const auto hit = FindNext(docs, 0, o, press == 0);
    seen.push_back(hit ? hit->match.text.substr(0, 2) : "-");
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"A1", "A2", "-", "A1"}));
  EXPECT_EQ(counters[2], 1);  // left alone
}

TEST(FindTest, SelectMatchesGivesEachItemOnceInTheSelectOrder) {
  const CSheetDoc doc = Load(std::string(kEveryKind) + "Text \"XMORE\" 0 0 70 0\n");
  const CSheet& sheet = doc.GetSheet();
  FindOptions o = Options("x");
  o.selectItems = true;
  const std::vector<FindMatch> items = SelectMatches(sheet, o);
  std::vector<const CObject*> got;
  for (const FindMatch& m : items) got.push_back(m.item);
  EXPECT_EQ(got, (std::vector<const CObject*>{sheet.Wires()[1].get(), sheet.Parts()[0].get(),
                                              sheet.Pins()[0].get(), sheet.Texts()[0].get(),
                                              sheet.Texts()[1].get()}));
  // A part is selected for its first match (the reference: the part name is hidden).
  EXPECT_EQ(items[1].field, kFindPartRef);
  o.target = kFindPinNo;
  ASSERT_EQ(SelectMatches(sheet, o).size(), 1u);
  EXPECT_EQ(SelectMatches(sheet, o)[0].item, sheet.Pins()[0].get());
}

TEST(FindTest, OptionsComeFromAndGoToSectionFind) {
  Settings s;
  FindOptions o = FindOptions::FromSettings(s);
  EXPECT_EQ(o.pattern, "");
  EXPECT_FALSE(o.matchCase || o.word || o.hidden || o.selectItems);
  EXPECT_TRUE(o.allSheets);
  EXPECT_EQ(o.target, 770);  // references, wire names and free texts

  o.matchCase = true;
  o.target = kFindWire;
  for (const char* p : {"A", "B", "C", "B", ""}) {
    o.pattern = p;
    EXPECT_TRUE(o.Store(s));
  }
  // The latest first, no duplicate, an empty pattern not kept.
  EXPECT_EQ(FindHistory(s), (std::vector<std::string>{"B", "C", "A"}));
  const FindOptions back = FindOptions::FromSettings(s);
  EXPECT_EQ(back.pattern, "B");
  EXPECT_TRUE(back.matchCase);
  EXPECT_EQ(back.target, kFindWire);

  for (int i = 0; i < kFindHistoryMax + 4; ++i) {
    o.pattern = "P" + std::to_string(i);
    o.Store(s);
  }
  const std::vector<std::string> history = FindHistory(s);
  ASSERT_EQ(history.size(), static_cast<size_t>(kFindHistoryMax));
  EXPECT_EQ(history.front(), "P19");
  EXPECT_EQ(history.back(), "P4");
}

}  // namespace
}  // namespace tavro
