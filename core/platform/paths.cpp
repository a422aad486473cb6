#include "core/platform/paths.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
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

std::optional<std::string> FinalLinkTarget(const std::string& path) {
  std::string p = path;
  // As many links as the kernel follows in one path before it gives ELOOP.
  for (int hops = 0; hops <= 40; ++hops) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
    char buf[PATH_MAX];
    const ssize_t n = ::readlink(p.c_str(), buf, sizeof buf);
    if (n < 0) return std::nullopt;
    if (static_cast<size_t>(n) >= sizeof buf) {
      errno = ENAMETOOLONG;
      return std::nullopt;
    }
    if (n == 0) {
      errno = ENOENT;
      return std::nullopt;
    }
    const std::string link(buf, static_cast<size_t>(n));
    const fs::path parent = fs::path(p).parent_path();
    p = (link.front() == '/' || parent.empty()) ? link : (parent / link).string();
  }
  errno = ELOOP;
  return std::nullopt;
}

namespace {

// The file being written: an unnamed file in the target's folder (O_TMPFILE)
// where the file system supports it, so that a killed save leaves nothing,
// else a named temporary file. It is removed unless Commit succeeds.
class PendingFile {
 public:
  PendingFile() = default;
  PendingFile(const PendingFile&) = delete;
  PendingFile& operator=(const PendingFile&) = delete;
  ~PendingFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!name_.empty()) ::unlink(name_.c_str());
  }

  // Creates the file in `dir`; false with errno set on failure.
  bool Create(const fs::path& dir, const std::string& base) {
    dir_ = dir;
    base_ = base.substr(0, 128);  // leaves room for the suffix within NAME_MAX
    fd_ = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ >= 0) return true;
    // Kernels or file systems without unnamed files.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) return false;
    std::string tmpl = (dir / ("." + base_ + ".XXXXXX")).string();
    fd_ = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (fd_ < 0) return false;
    name_ = tmpl;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
    return true;
  }

  int fd() const { return fd_; }

  // Writes everything and syncs it to the disk.
  bool Write(std::string_view data) {
    const char* p = data.data();
    size_t left = data.size();
    while (left > 0) {
      const ssize_t n = ::write(fd_, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      p += n;
      left -= static_cast<size_t>(n);
    }
    return ::fsync(fd_) == 0;
  }

  // Gives an unnamed file a name in its folder; false with errno set.
  bool Name() {
    if (!name_.empty()) return true;
    static std::atomic<unsigned> counter{0};
    const std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
    for (int attempt = 0; attempt < 100; ++attempt) {
      char suffix[40];
      const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
      std::snprintf(suffix, sizeof suffix, ".%x%x%x", static_cast<unsigned>(::getpid()),
                    static_cast<unsigned>(now), counter.fetch_add(1));
      const std::string name = (dir_ / ("." + base_ + suffix)).string();
      int rc = ::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW);
      if (rc != 0 && errno == ENOENT)  // no /proc: needs CAP_DAC_READ_SEARCH
        rc = ::linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH);
      if (rc == 0) {
        name_ = name;
        return true;
      }
      if (errno != EEXIST) return false;
    }
    return false;
  }

  // Renames the file over `target`; false with errno set.
  bool Commit(const std::string& target) {
    if (!Name()) return false;
    if (::close(fd_) != 0) {
      fd_ = -1;
      return false;
    }
    fd_ = -1;
    if (::rename(name_.c_str(), target.c_str()) != 0) return false;
    name_.clear();
    return true;
  }

 private:
  fs::path dir_;
  std::string base_;
  int fd_ = -1;
  std::string name_;  // the temporary file's name, once it has one
};

// Syncs a folder so that a rename in it is on the disk (best effort: some file
// systems cannot sync folders, and the new file is in place already).
void SyncFolder(const fs::path& dir) {
  const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

bool WriteFileAtomic(const std::string& path, std::string_view data, std::string* error) {
  auto fail = [&](const char* what) {
    if (error) *error = std::string(what) + ": " + std::strerror(errno);
    return false;
  };
  if (path.empty()) {
    errno = ENOENT;
    return fail("no file name");
  }
  const std::optional<std::string> resolved = FinalLinkTarget(path);
  if (!resolved) return fail("cannot follow the link");
  const fs::path target(*resolved);
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");

  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && S_ISDIR(old.st_mode)) {
    errno = EISDIR;
    return fail("cannot replace the file");
  }

  PendingFile file;
  if (!file.Create(dir, target.filename().string())) return fail("cannot create a temporary file");
  if (exists) {
    // Owner and group first (a change of owner clears the set-id bits), then
    // the mode. Without the right to give the file away, the group alone may
    // still be kept; the mode is kept in any case.
    if (::fchown(file.fd(), old.st_uid, old.st_gid) != 0) ::fchown(file.fd(), -1, old.st_gid);
    if (::fchmod(file.fd(), old.st_mode & 07777) != 0) return fail("cannot keep the permissions");
  }
  if (!file.Write(data)) return fail("cannot write");
  if (!file.Commit(target.string())) return fail("cannot replace the file");
  SyncFolder(dir);
  return true;
}

std::string Version() { return TAVRO_VERSION; }

}  // namespace tavro
