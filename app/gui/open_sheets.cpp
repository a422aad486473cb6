#include "app/gui/open_sheets.h"

#include <filesystem>

#include "app/gui/editor_document.h"
#include "core/platform/paths.h"

namespace tavro::gui {

namespace {

namespace fs = std::filesystem;

// One spelling per file, so that a project's entry finds its open document.
std::string Key(const std::string& path) {
  std::error_code ec;
  fs::path p = fs::weakly_canonical(fs::absolute(path, ec), ec);
  return ec ? fs::path(path).lexically_normal().string() : p.string();
}

DocStatus CannotOpen(const std::string& path) {
  DocStatus st;
  st.ok = false;
  st.message = FileMessage(kMsgCannotOpen, path);
  return st;
}

// A file that is not open, read as the job's own reader reads it.
DocStatus ReadClosed(const std::string& path, CSheetDoc& doc, bool withTitleFrame) {
  if (withTitleFrame) return doc.Open(path);
  const std::optional<std::string> data = ReadFile(path);
  if (!data) return CannotOpen(path);
  return doc.Load(*data, path, false);
}

// An open document from its bytes. The bytes carry the sheets, the title
// frame and the fields, not the file's name and times: for the pages those
// come from the file itself (the title's &FILE&, &P& and dates show them),
// as long as it can still be read.
DocStatus ReadOpen(const std::string& bytes, const std::string& path, CSheetDoc& doc,
                   bool withTitleFrame) {
  CSheetDoc copy;
  DocStatus st = copy.Load(bytes, path, withTitleFrame);
  if (!st.ok) return st;
  CSheetDoc file;
  if (withTitleFrame && file.Open(path).ok) {
    file.GetSheet() = copy.GetSheet();
    file.GetTitleSheet() = copy.GetTitleSheet();
    file.SetProperties(copy.GetProperties());
    file.SetWorkSize(copy.GetWorkWidth(), copy.GetWorkHeight());
    file.SetSizeCode(copy.GetSizeCode());
    file.SetViewRect(copy.GetViewRect());
    doc = std::move(file);
  } else {
    doc = std::move(copy);
  }
  return st;
}

}  // namespace

OpenSheets::OpenSheets(const std::vector<const EditorDocument*>& documents) {
  auto entries = std::make_shared<std::vector<Entry>>();
  for (const EditorDocument* d : documents) {
    if (d == nullptr) continue;
    if (d->IsUntitled()) {
      untitled_.push_back(d->DisplayName());
      continue;
    }
    entries->push_back({Key(d->Path()), d->Path(), d->Doc().Write(true)});
  }
  entries_ = std::move(entries);
}

std::vector<std::string> OpenSheets::Paths() const {
  std::vector<std::string> out;
  for (const Entry& e : *entries_) out.push_back(e.path);
  return out;
}

bool OpenSheets::Has(const std::string& path) const {
  const std::string key = Key(path);
  for (const Entry& e : *entries_)
    if (e.key == key) return true;
  return false;
}

SheetLoader OpenSheets::Loader(bool withTitleFrame) const {
  return [entries = entries_, withTitleFrame](const std::string& path, CSheetDoc& doc) {
    const std::string key = Key(path);
    for (const Entry& e : *entries)
      if (e.key == key) return ReadOpen(e.bytes, path, doc, withTitleFrame);
    return ReadClosed(path, doc, withTitleFrame);
  };
}

}  // namespace tavro::gui
