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

std::string ExeDir() {
  std::error_code ec;
  fs::path exe = fs::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return exe.parent_path().string();
}

}  // namespace

std::string DataDir() {
  if (const char* d = std::getenv("TAVRO_DATA_DIR"); d && *d) return d;
  std::error_code ec;
  // Running from the build tree: the build's copy of data/.
  if (fs::is_directory(TAVRO_BUILD_DATA_DIR, ec)) {
    std::string exeDir = ExeDir();
    fs::path build = fs::path(TAVRO_BUILD_DATA_DIR).parent_path().parent_path();
    if (!exeDir.empty() && exeDir.rfind(build.string(), 0) == 0) return TAVRO_BUILD_DATA_DIR;
  }
  // Installed: <prefix>/bin/tavro next to <prefix>/share/tavro.
  std::string exeDir = ExeDir();
  if (!exeDir.empty()) {
    fs::path rel = fs::path(exeDir).parent_path() / "share" / "tavro";
    if (fs::is_directory(rel, ec)) return rel.string();
  }
  if (fs::is_directory(TAVRO_INSTALL_DATA_DIR, ec)) return TAVRO_INSTALL_DATA_DIR;
  return TAVRO_BUILD_DATA_DIR;
}

std::string DataFile(std::string_view name) { return (fs::path(DataDir()) / name).string(); }

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
