#include "app/gui/editor_document.h"

#include <filesystem>

#include "core/platform/codec.h"
#include "core/platform/dbcs.h"

namespace tavro::gui {

namespace {

bool EndsWithNoCase(const std::string& s, std::string_view ext) {
  return s.size() >= ext.size() &&
         EqualNoCase(std::string_view(s).substr(s.size() - ext.size()), ext);
}

}  // namespace

EditorDocument::EditorDocument() {
  static long next = 0;
  serial_ = ++next;
}

DocStatus EditorDocument::Open(const std::string& path) {
  CSheetDoc fresh;
  DocStatus st = EndsWithNoCase(path, ".txt") ? fresh.OpenText(path) : fresh.Open(path);
  if (!st.ok) return st;
  doc_ = std::move(fresh);
  selection_.DeleteContents();
  save_ = {};
  return st;
}

DocStatus EditorDocument::New(int untitledNumber) {
  CSheetDoc fresh;
  DocStatus st = fresh.NewDocument();
  doc_ = std::move(fresh);
  selection_.DeleteContents();
  save_ = {};
  untitled_ = "無題" + std::to_string(untitledNumber) + ".tcd";
  return st;
}

SaveResult EditorDocument::SaveAs(const std::string& path, const SaveOptions& options) {
  // What is selected belongs to the sheet that is written.
  doc_.GetSheet() += selection_;
  selection_.DeleteContents();
  return SaveDocument(doc_, path, options, save_, UndoPosition());
}

AutoSaveResult EditorDocument::AutoSave(
    const SaveOptions& options, const std::string& workFolder, long number,
    const std::function<bool(const std::string&)>& isRemovable) {
  AutoSaveContext context;
  context.selectionHasItems = selection_.GetItemCount() > 0;
  context.workFolder = workFolder;
  context.title = DisplayName();
  context.number = number;
  context.undoPos = UndoPosition();
  context.isRemovable = isRemovable;
  return AutoSaveDocument(doc_, save_, options, context);
}

std::string EditorDocument::DisplayName() const {
  if (IsUntitled()) return untitled_;
  return std::filesystem::path(doc_.GetPath()).filename().string();
}

}  // namespace tavro::gui
