#include "io/file_identity.h"

#include <sys/stat.h>

namespace quorrel {

std::optional<FileIdentity> entry_identity(const std::string& path) {
  struct stat info;
  if (::lstat(path.c_str(), &info) != 0) return std::nullopt;
  return FileIdentity{info.st_dev, info.st_ino};
}

std::optional<FileIdentity> descriptor_identity(int fd) {
  struct stat info;
  if (::fstat(fd, &info) != 0) return std::nullopt;
  return FileIdentity{info.st_dev, info.st_ino};
}

}  // namespace quorrel
