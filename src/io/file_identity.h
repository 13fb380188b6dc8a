// Which file a path or descriptor reaches, whatever its names: the device and inode.
#pragma once

#include <sys/types.h>

#include <compare>
#include <optional>
#include <string>

namespace quorrel {

struct FileIdentity {
  dev_t device = 0;
  ino_t inode = 0;
  auto operator<=>(const FileIdentity&) const = default;
};

// The file the directory entry `path` names; a symbolic link there is the link itself, which
// is what a rename over the path replaces. Nothing when the path names nothing.
std::optional<FileIdentity> entry_identity(const std::string& path);
// The file an open descriptor reads or writes.
std::optional<FileIdentity> descriptor_identity(int fd);

}  // namespace quorrel
