// CLibrary: the user's ordered list of library files, kept in the settings
// store (section "Library File List", keys File1, File2, ...) as CP932 text.
#include <cstdio>

#include "core/platform/codec.h"
#include "core/platform/settings.h"
#include "library/library.h"

namespace tavro {

namespace {
constexpr const char* kSection = "Library File List";

std::string FileKey(size_t n) {
  char key[32];
  std::snprintf(key, sizeof key, "File%zu", n);
  return key;
}
}  // namespace

const std::vector<std::string>& CLibrary::ReadLibraryList() {
  libraryList_.clear();
  const Settings& s = AppSettings();
  for (size_t n = 1;; ++n) {
    const std::string value = s.GetString(kSection, FileKey(n), "");
    if (value.empty()) break;
    libraryList_.push_back(Cp932ToUtf8(value));
  }
  return libraryList_;
}

bool CLibrary::WriteLibraryList() {
  Settings& s = AppSettings();
  bool ok = s.DeleteSection(kSection);
  for (size_t n = 0; n < libraryList_.size(); ++n)
    ok = s.WriteString(kSection, FileKey(n + 1), Utf8ToCp932(libraryList_[n])) && ok;
  return ok;
}

}  // namespace tavro
