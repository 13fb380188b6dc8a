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
  // A large file is read ahead on a second thread.
  ByteSource source() const {
    return size_ >= kReadAheadFrom ? ByteSource::from_fd_read_ahead(fd_) : ByteSource::from_fd(fd_);
  }

 private:
  // Below this size a thread costs more than it saves.
  static constexpr long long kReadAheadFrom = 8 << 20;

  int fd_ = -1;
  long long size_ = 0;
};

}  // namespace quorrel
