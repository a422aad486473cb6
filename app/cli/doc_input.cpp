#include "app/cli/doc_input.h"

#include <cstdio>

#include "core/platform/dbcs.h"
#include "core/platform/paths.h"

namespace tavro::cli {

bool HasExtension(const std::string& path, const std::string& ext) {
  return path.size() >= ext.size() && EqualNoCase(path.substr(path.size() - ext.size()), ext);
}

DocStatus ReadInputDocument(const std::string& path, CSheetDoc& doc) {
  if (HasExtension(path, ".txt")) {
    // A sheet file named .txt is still read as a sheet file.
    const std::optional<std::string> data = ReadFile(path);
    const bool sheetFile =
        data && (data->rfind(";Tango", 0) == 0 ||
                 data->substr(0, 256).find("Tavro DATA FILE") != std::string::npos);
    if (!sheetFile) return doc.OpenText(path);
  }
  return doc.Open(path);
}

void PrintWarnings(const DocStatus& st) { PrintWarnings(st.warnings); }

void PrintWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& w : warnings)
    std::fprintf(stderr, "tavro: warning: %s\n", OneLine(w, "").c_str());
}

std::string OneLine(const std::string& message, const std::string& file) {
  std::string out;
  for (char c : message) {
    if (c == '\n') {
      if (!out.empty() && out.back() != ' ') out += ' ';
    } else {
      out += c;
    }
  }
  if (!file.empty() && out.find(file) == std::string::npos) out = file + ": " + out;
  return out;
}

}  // namespace tavro::cli
