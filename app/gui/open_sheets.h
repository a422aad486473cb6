// OpenSheets: the open documents as a job reads them. When a job starts, the
// bytes of every open document that has a file are taken (what a save would
// write, modified or not), so that the job reads the sheets the user sees,
// unsaved changes included, and a window closed while the job runs changes
// nothing. The loader it gives serves those documents by path and reads every
// other file as the job's own reader would.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/covered_sheets.h"

namespace tavro::gui {

class EditorDocument;

class OpenSheets {
 public:
  // The documents in window order; untitled ones (no file yet) are kept
  // apart: a job names its sheets by file.
  explicit OpenSheets(const std::vector<const EditorDocument*>& documents);

  // The files of the documents, in window order (UTF-8 full paths).
  std::vector<std::string> Paths() const;
  // The names of the documents that have no file yet (UTF-8).
  const std::vector<std::string>& Untitled() const { return untitled_; }
  // Whether `path` is one of the documents (however the path is spelled).
  bool Has(const std::string& path) const;

  // A loader for the jobs. Without the title frame, a sheet is read as the
  // nets and the index read it; with it (the PDF pages), as a file opens: the
  // title frame, and the file's name and times for the title's macros.
  SheetLoader Loader(bool withTitleFrame) const;

 private:
  struct Entry {
    std::string key;    // the canonical path
    std::string path;   // as the document names it
    std::string bytes;  // the document as a save would write it
  };
  std::shared_ptr<const std::vector<Entry>> entries_;
  std::vector<std::string> untitled_;
};

}  // namespace tavro::gui
