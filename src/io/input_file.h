// Opening an input document safely: only regular files, never blocking on a FIFO or device.
#pragma once

#include <string>

#include "io/byte_source.h"

namespace quorrel {

class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile();

  // False when the path cannot be opened or is not a regular file (a directory, FIFO, device).
  bool open(const std::string& path);
  // A source reading from the start of the file; valid while this object lives.
  ByteSource source() const { return ByteSource::from_fd(fd_); }

 private:
  int fd_ = -1;
};

}  // namespace quorrel
