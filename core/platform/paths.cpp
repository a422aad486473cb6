#include "core/platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tavro {

namespace fs = std::filesystem;

namespace {

std::string& TestDataDir() {
  static std::string dir;
  return dir;
}

}  // namespace

std::string ProgramPath() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.string();
}

std::vector<std::string> DataDirs() {
  if (!TestDataDir().empty()) return {TestDataDir()};
  std::vector<std::string> dirs;
  if (const std::string exe = ProgramPath(); !exe.empty())
    dirs.push_back((fs::path(exe).parent_path().parent_path() / "share" / "tavro").string());
  if (const char* d = std::getenv("TAVRO_DATA_DIR"); d && *d) dirs.push_back(d);
  return dirs;
}

std::string DataDir() {
  const std::vector<std::string> dirs = DataDirs();
  return dirs.empty() ? std::string() : dirs.front();
}

std::string DataFile(std::string_view name) {
  const std::vector<std::string> dirs = DataDirs();
  std::error_code ec;
  for (const std::string& d : dirs) {
    fs::path p = fs::path(d) / name;
    if (fs::is_regular_file(p, ec)) return p.string();
  }
  return (fs::path(dirs.empty() ? std::string() : dirs.front()) / name).string();
}

void SetDataDirForTests(std::string dir) { TestDataDir() = std::move(dir); }

std::optional<std::string> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::error_code ec;
  if (fs::is_directory(path, ec)) return std::nullopt;
  std::ostringstream ss;
  ss << in.rdbuf();
  if (in.bad()) return std::nullopt;
  return ss.str();
}

bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + ": " + std::strerror(errno);
    return false;
  };
  fs::path target(path);
  fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  int fd = mkstemp(tmpl.data());
  if (fd < 0) return fail("cannot create a temporary file");
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      int e = errno;
      ::close(fd);
      ::unlink(tmpl.c_str());
      errno = e;
      return fail("cannot write");
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  if (::fsync(fd) != 0 || ::close(fd) != 0) {
    int e = errno;
    ::unlink(tmpl.c_str());
    errno = e;
    return fail("cannot write");
  }
  // Keep the permissions of an existing file; new files get 0644 less the umask.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) {
    ::chmod(tmpl.c_str(), st.st_mode & 07777);
  } else {
    mode_t mask = ::umask(0);
    ::umask(mask);
    ::chmod(tmpl.c_str(), 0666 & ~mask);
  }
  if (::rename(tmpl.c_str(), path.c_str()) != 0) {
    int e = errno;
    ::unlink(tmpl.c_str());
    errno = e;
    return fail("cannot replace the file");
  }
  return true;
}

std::string Version() { return TAVRO_VERSION; }

}  // namespace tavro
