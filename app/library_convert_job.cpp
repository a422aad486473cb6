#include "app/library_convert_job.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "core/platform/codec.h"
#include "core/platform/settings.h"

namespace tavro {

namespace {

constexpr const char* kSection = "Library Convert";

LibraryConvertResult Failed(std::string message) {
  return {LibraryConvertResult::kFailed, std::move(message)};
}

// The message of a library step that failed: what it showed or asked last,
// else a plain word for the file.
std::string Why(const CLibrary& lib, const std::string& path) {
  return lib.LastMessage().empty() ? "ファイル " + path + " を変換できません" : lib.LastMessage();
}

}  // namespace

LibraryConvertJob LibraryConvertJob::FromSettings(const Settings& settings) {
  LibraryConvertJob job;
  job.type = settings.GetInt(kSection, "Type") == kFromText ? kFromText : kToText;
  job.source = Cp932ToUtf8(settings.GetString(kSection, "SourceFileName"));
  job.dest = Cp932ToUtf8(settings.GetString(kSection, "DestFileName"));
  return job;
}

bool LibraryConvertJob::Store(Settings& settings) const {
  bool ok = settings.WriteInt(kSection, "Type", type);
  ok = settings.WriteString(kSection, "SourceFileName", Utf8ToCp932(source)) && ok;
  ok = settings.WriteString(kSection, "DestFileName", Utf8ToCp932(dest)) && ok;
  return ok;
}

std::string ConvertOverwriteQuestion(const std::string& dest) {
  return "ファイル " + dest + " は既にあります。上書きしますか。";
}

LibraryConvertResult RunLibraryConvert(
    const LibraryConvertJob& job, const std::function<bool(std::string_view question)>& overwrite,
    const LibraryPrompts& prompts) {
  if (job.source.empty() || job.dest.empty()) return Failed(std::string(kConvertNoName));
  if (job.type != LibraryConvertJob::kToText && job.type != LibraryConvertJob::kFromText)
    return Failed("変換の方向を指定して下さい。");

  // The source must be there: a missing library would otherwise be offered
  // for creation and converted as an empty one.
  struct stat st {};
  if (::stat(job.source.c_str(), &st) != 0)
    return Failed("ファイル " + job.source + " が開けません (" + std::strerror(errno) + ")");
  std::error_code ec;
  if (std::filesystem::equivalent(job.source, job.dest, ec))
    return Failed("変換元と変換先が同じファイルです。");
  if (std::filesystem::exists(job.dest, ec)) {
    const std::string question = ConvertOverwriteQuestion(job.dest);
    if (!overwrite || !overwrite(question)) return {LibraryConvertResult::kCancelled, question};
  }

  CLibrary lib(prompts);
  if (job.type == LibraryConvertJob::kToText) {
    lib.SetLibraryName(job.source);
    if (lib.ReadFile() != 1) return Failed(Why(lib, job.source));
    if (lib.WriteAsciiFile(job.dest) != 1) return Failed(Why(lib, job.dest));
  } else {
    lib.SetLibraryName(job.dest);
    if (lib.ReadAsciiFile(job.source) != 1) return Failed(Why(lib, job.source));
  }
  return {};
}

}  // namespace tavro
