// Opening an input document safely: only regular files, never blocking on a FIFO or device.
#pragma once

#include <sys/types.h>

#include <string>

#include "io/byte_source.h"

namespace quorrel {

// Why an open failed when no errno value says it: the path names a FIFO, device or socket.
inline constexpr int kNotARegularFile = -1;

class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // False when the path cannot be opened or is not a regular file (a directory, FIFO, device);
  // error() then says why: an errno value (EISDIR for a directory) or kNotARegularFile.
  bool open(const std::string& path);
  int error() const { return error_; }

  // A source reading from the start of the file; valid while this object lives. Each call
  // starts again from the first byte. A large file is read where the system maps it.
  ByteSource source() const;

  // Reads the whole file into `bytes` when it is smaller than the size from which it would be
  // mapped; false when it is larger (use source()) or a read failed (read_error() is then set).
  // A file that shrank since it was opened counts as a read failure.
  bool read_small(std::string& bytes);
  bool read_error() const { return read_error_; }

  long long size() const { return size_; }
  // The file's identity, whatever name reached it.
  dev_t device() const { return device_; }
  ino_t inode() const { return inode_; }
  int descriptor() const { return fd_; }

 private:
  // Below this size mapping and unmapping cost more than copying saves.
  static constexpr long long kMapFrom = 8 << 20;

  int fd_ = -1;
  int error_ = 0;
  bool read_error_ = false;
  long long size_ = 0;
  dev_t device_ = 0;
  ino_t inode_ = 0;
};

}  // namespace quorrel
