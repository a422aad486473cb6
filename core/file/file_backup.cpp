#include "core/file/file_backup.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "core/file/document.h"
#include "core/platform/paths.h"

namespace tavro {

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && IsReadOnlyMode(st.st_mode);
}

bool MakeBackupCopy(const std::string& path, const std::string& bak, std::time_t creation) {
  if (bak.empty() || bak == path) return false;
  struct stat st {};
  if (::lstat(bak.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode) || IsReadOnlyMode(st.st_mode)) return false;
    if (::unlink(bak.c_str()) != 0) return false;
  }
  if (::linkat(AT_FDCWD, path.c_str(), AT_FDCWD, bak.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
  // Another file system (through a link), or one without hard links.
  const std::optional<std::string> bytes = ReadFile(path);
  if (!bytes || !WriteFileAtomic(bak, *bytes)) return false;
  if (::stat(path.c_str(), &st) == 0) ::chmod(bak.c_str(), st.st_mode & 07777);
  if (creation != 0) SetFileCreationTime(bak, creation);
  return true;
}

}  // namespace tavro
