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
  // A large file is read where the system maps it.
  // A file found shorter at its end than when it was opened ends with a read error.
  ByteSource source() const {
    return size_ >= kMapFrom ? ByteSource::from_mapped_file(fd_, static_cast<std::size_t>(size_))
                             : ByteSource::from_fd(fd_, ByteSource::kDefaultBufferSize, size_);
  }
  int descriptor() const { return fd_; }

 private:
  // Below this size mapping and unmapping cost more than copying saves.
  static constexpr long long kMapFrom = 8 << 20;

  int fd_ = -1;
  long long size_ = 0;
};

}  // namespace quorrel
