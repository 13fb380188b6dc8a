#include "io/document_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quorrel {

bool DocumentBytes::open(const std::string& path, std::string& reason) {
  // O_NONBLOCK keeps the open from waiting for a FIFO's writer; the type check refuses it.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    reason = std::strerror(errno);
    return false;
  }
  struct stat info;
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    reason = S_ISDIR(info.st_mode) ? "Is a directory" : "Not a regular file";
    ::close(fd);
    return false;
  }
  auto size = static_cast<std::size_t>(info.st_size);
  if (size >= kMapFrom) mapped_ = MappedFile::map(fd, size);
  if (mapped_) {
    bytes_ = mapped_->bytes();
    ::close(fd);
    return true;
  }
  // Not zeroed first: every byte is read over at once.
  owned_ = std::make_unique_for_overwrite<char[]>(size);
  std::size_t done = 0;
  while (done < size) {
    ssize_t got = ::read(fd, owned_.get() + done, size - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      reason = std::strerror(errno);
      ::close(fd);
      return false;
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  // A file that shrank between the size check and the read is not the whole document.
  lost_ = done < size;
  bytes_ = std::string_view(owned_.get(), done);
  ::close(fd);
  return true;
}

bool DocumentBytes::map(int fd, std::size_t size) {
  mapped_ = MappedFile::map(fd, size);
  if (mapped_) bytes_ = mapped_->bytes();
  return mapped_ != nullptr;
}

DocumentBytes DocumentBytes::slice(std::size_t offset, std::size_t size) {
  DocumentBytes part(bytes_.substr(offset, size));
  part.whole_ = this;
  part.offset_in_whole_ = offset;
  return part;
}

}  // namespace quorrel
