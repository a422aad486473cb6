// The library conversion job: a part library (.lib) to its editable text
// form, or a text library back to a part library. GUI-free; the editor's
// "部品ファイル変換" dialog and the command line fill the same job.
//
// The destination is replaced only after the overwrite question (asked when
// it exists) is answered yes; a library-to-text conversion writes the text
// through the one save routine, a text-to-library conversion leaves the
// library as it was when the text cannot be read. A source that does not
// exist is reported, never created, and a file is never converted onto
// itself.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "library/library.h"

namespace tavro {

class Settings;

struct LibraryConvertJob {
  enum Type { kToText = 0, kFromText = 1 };
  int type = kToText;
  std::string source;  // UTF-8 paths
  std::string dest;

  // The last conversion of section "Library Convert" (Type, SourceFileName,
  // DestFileName, CP932 paths).
  static LibraryConvertJob FromSettings(const Settings& settings);
  // Stores the job as the last conversion; false when the store could not
  // be written.
  bool Store(Settings& settings) const;
};

struct LibraryConvertResult {
  enum Status { kDone, kCancelled, kFailed };
  Status status = kDone;
  std::string message;  // UTF-8: why it failed
  bool ok() const { return status == kDone; }
};

// The messages of the conversion (UTF-8).
inline constexpr std::string_view kConvertNoName = "ファイル名を入力して下さい。";
inline constexpr std::string_view kConvertDone = "変換終了";
// "ファイル %s は既にあります。上書きしますか。" with the destination.
std::string ConvertOverwriteQuestion(const std::string& dest);

// Runs the conversion. `overwrite` is asked before an existing destination
// is replaced (no answer: not replaced); the library's own questions and
// messages go through `prompts`.
LibraryConvertResult RunLibraryConvert(
    const LibraryConvertJob& job, const std::function<bool(std::string_view question)>& overwrite,
    const LibraryPrompts& prompts = {});

}  // namespace tavro
