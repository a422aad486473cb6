// Small helpers shared by the tool menu's commands (tool_actions*.cpp): the
// texts of their messages and the matching of an open document to a file.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>
#include <string>
#include <vector>

namespace tavro::gui::tooltext {

inline QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

inline QString FileName(const std::string& path) {
  return Q(std::filesystem::path(path).filename().string());
}

// Whether two paths name one file (by their text when either cannot be checked).
inline bool SameFile(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const bool same = fs::equivalent(a, b, ec);
  return ec ? fs::path(a).lexically_normal() == fs::path(b).lexically_normal() : same;
}

// At most this many lines of a report go into one message.
inline constexpr size_t kMaxShownLines = 30;

// The lines of a report (UTF-8) as one message, cut after kMaxShownLines.
inline QString ReportLines(const std::vector<std::string>& lines) {
  QStringList shown;
  for (size_t i = 0; i < lines.size() && i < kMaxShownLines; ++i) shown << Q(lines[i]);
  if (lines.size() > kMaxShownLines)
    shown << QStringLiteral("… 他 %1 件").arg(lines.size() - kMaxShownLines);
  return shown.join(QLatin1Char('\n'));
}

}  // namespace tavro::gui::tooltext
