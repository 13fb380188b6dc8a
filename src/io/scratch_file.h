// A file without a name, for bytes a conversion keeps only while it runs (a line held back,
// a content document on its way into an archive). It disappears with its descriptor, even
// when the process is killed, and no other process can reach it by a name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorrel {

class ScratchFile {
 public:
  ScratchFile() = default;
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  ~ScratchFile();

  // Creates the file in `folder`, readable and writable. False when the folder does not take
  // new files. A file system without unnamed files gets a named one, removed at once.
  bool create(const std::string& folder);
  bool is_open() const { return fd_ >= 0; }
  int descriptor() const { return fd_; }

 private:
  int fd_ = -1;
};

// The system's folder for temporary files (TMPDIR, else /tmp), for bytes that have no output
// folder to go beside.
std::string system_temporary_folder();

// Writes all of `bytes` at `offset` of the open file `fd`, through short writes and signals.
// False on failure, with errno set.
bool write_at(int fd, std::string_view bytes, std::uint64_t offset);

}  // namespace quorrel
