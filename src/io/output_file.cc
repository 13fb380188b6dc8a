#include "io/output_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace quorrel {

namespace {

// The process's file mode mask, read without changing it: umask() can only be read by setting
// it, which would briefly give files made meanwhile on other threads the wrong mode.
mode_t process_umask() {
  static const mode_t mask = [] {
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
      char line[256];
      unsigned value;
      while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "Umask: %o", &value) == 1) {
          std::fclose(status);
          return static_cast<mode_t>(value);
        }
      }
      std::fclose(status);
    }
    mode_t old = ::umask(022);
    ::umask(old);
    return old;
  }();
  return mask;
}

std::string base_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Puts the finished file at `from` under the name `to`, atomically. An earlier file there is
// swapped out and then removed, not renamed over: ext4 writes a file renamed over another to
// disk at once (its guard for programs that forget to sync), which stalls each output of a
// batch that runs again over its earlier results, while a swap leaves the writing to the
// kernel's own schedule.
bool replace(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;  // a new name
  }
  if (errno == EEXIST &&
      ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) == 0) {
    if (::unlink(from.c_str()) == 0) return true;
    // Not a file that may be replaced (a folder that appeared since): swap it back.
    ::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE);
    return false;
  }
  // A file system without these kinds of rename.
  return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace

std::string folder_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

OutputFile::~OutputFile() { discard(); }

bool can_take_output(const std::string& final_path) {
  std::string folder = folder_of(final_path);
  long name_max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  if (name_max < 0) name_max = NAME_MAX;
  std::string base = base_of(final_path);
  if (base.empty() || base.size() > static_cast<std::size_t>(name_max)) {
    errno = ENAMETOOLONG;
    return false;
  }
  // A path the system cannot take would only fail at the rename, after the whole conversion.
  if (final_path.size() >= PATH_MAX) {
    errno = ENAMETOOLONG;
    return false;
  }
  // A folder that takes no new files would only fail once the output is made; an archive's
  // content is held until then.
  if (::access(folder.c_str(), W_OK | X_OK) != 0) return false;
  // An existing directory under the final name could never be replaced by the output.
  struct stat info;
  if (::stat(final_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return true;
}

bool OutputFile::create(const std::string& final_path) {
  if (!can_take_output(final_path)) return false;
  std::string folder = folder_of(final_path);
  struct stat info;
  // The file replaced keeps its permissions (a read-only text stays read-only); a symbolic
  // link there is replaced by a new file, whatever it points to.
  mode_t mode = 0666 & ~process_umask();
  if (::lstat(final_path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) mode = info.st_mode & 0777;

  std::string pattern = (folder == "/" ? std::string() : folder) + "/" + kTemporaryPrefix + "XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return false;
  ::fchmod(fd, mode);  // mkstemp creates 0600
  fd_ = fd;
  final_path_ = final_path;
  temporary_path_ = name.data();
  sink_ = std::make_unique<FdSink>(fd);
  return true;
}

bool OutputFile::commit() {
  if (fd_ < 0) return false;
  // No fsync: the rename already keeps a killed process from leaving a partial file under the
  // final name, and a sync per output would dominate the time of a large batch.
  bool ok = sink_->finish();
  sink_.reset();
  ok = ::close(fd_) == 0 && ok;
  fd_ = -1;
  if (ok && replace(temporary_path_, final_path_)) {
    temporary_path_.clear();
    return true;
  }
  discard();
  return false;
}

bool OutputFile::finish() { return sink_ && sink_->finish(); }

void OutputFile::discard() {
  sink_.reset();  // ends a background write before the descriptor goes
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temporary_path_.empty()) {
    ::unlink(temporary_path_.c_str());
    temporary_path_.clear();
  }
}

}  // namespace quorrel
