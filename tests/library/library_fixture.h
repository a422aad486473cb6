// Small libraries for the tests: gates in the sheet text form, and a
// library in a temporary folder whose questions and messages are recorded.
#pragma once

#include <string>
#include <vector>

#include "core/file/archive.h"
#include "core/model/sheet.h"
#include "library/library.h"
#include "support/test_util.h"

namespace tavro::test::lib {

// A gate in the sheet text form.
inline std::string GateText(const std::string& name, const std::string& ref, int unit, int units,
                            uint32_t attr = 0) {
  return "Part 0 0 -100 -50 100 150 " + std::to_string(units) + " " + std::to_string(unit) + " 0 " +
         std::to_string(attr) + "\nName \"" + name + "\" 0 100 65 8\nRef \"" + ref +
         "\" 0 -50 65 8\nVal \"V\" 0 120 65 8\nPin -100 0 0 0 0\nNo \"1\" -50 0 70 8\n"
         "Line -50 -50 50 50 8 1 0 0\nPartEnd\n";
}

inline CSheet Sheet(const std::string& text) {
  CSheet sheet(kSheetScratch);
  CArchive ar(text);
  sheet.SerializeText(ar);
  return sheet;
}

// A library of packages written one by one with WritePart.
struct Lib {
  TempDir dir;
  std::string path = dir.file("parts.lib");
  std::vector<std::string> questions;
  std::vector<std::string> messages;
  bool answer = true;

  LibraryPrompts Prompts() {
    return {[this](std::string_view q) {
              questions.emplace_back(q);
              return answer;
            },
            [this](std::string_view m) { messages.emplace_back(m); }};
  }
  CLibrary Open() {
    CLibrary lib(Prompts());
    lib.SetLibraryName(path);
    return lib;
  }
  void Add(const std::string& package, const std::string& gates) {
    CLibrary lib = Open();
    lib.SetPackageName(package);
    ASSERT_TRUE(lib.WritePart(Sheet(gates)));
  }
  std::vector<std::string> Names() {
    CLibrary lib = Open();
    EXPECT_EQ(lib.ReadFile(), 1);
    return lib.PackageNames();
  }
  // The gates of a package; empty when not found.
  std::vector<std::string> Read(const std::string& package, bool alias = true) {
    CLibrary lib = Open();
    lib.ReadFile();
    lib.SetPackageName(package);
    CSheet out(kSheetScratch);
    lib.ReadPart(out, alias);
    std::vector<std::string> gates;
    for (const auto& p : out.Parts()) gates.push_back(p->GetPartName() + ":" + p->GetRefName());
    return gates;
  }
};

inline std::string Int32(int32_t v) {
  CArchive ar;
  ar.WriteI32(v);
  return ar.TakeBuffer();
}

}  // namespace tavro::test::lib
