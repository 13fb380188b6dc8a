#include "io/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace quorrel {

InputFile::~InputFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool InputFile::open(const std::string& path) {
  // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer; such files are then
  // refused by the type check before anything is read.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error_ = errno;
    return false;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    error_ = S_ISDIR(info.st_mode) ? EISDIR : kNotARegularFile;
    ::close(fd);
    return false;
  }
  int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  // One pass from start to end: a large file is worth telling the kernel to read further
  // ahead. Only a hint.
  if (info.st_size >= kMapFrom) ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  fd_ = fd;
  size_ = info.st_size;
  device_ = info.st_dev;
  inode_ = info.st_ino;
  return true;
}

ByteSource InputFile::source() const {
  if (size_ >= kMapFrom) return ByteSource::from_mapped_file(fd_, static_cast<std::size_t>(size_));
  ::lseek(fd_, 0, SEEK_SET);
  // A file found shorter at its end than when it was opened ends with a read error.
  return ByteSource::from_fd(fd_, ByteSource::kDefaultBufferSize, size_);
}

bool InputFile::read_small(std::string& bytes) {
  if (size_ >= kMapFrom) return false;
  auto size = static_cast<std::size_t>(size_);
  bytes.resize(size);
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = ::pread(fd_, bytes.data() + done, size - done, static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      read_error_ = true;
      return false;
    }
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace quorrel
