#include "io/spool.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quorrel {

Spool::~Spool() = default;

bool Spool::spill() {
  // Without a name, so that nothing of it stays visible after a crash.
  if (!file_.create(folder_.empty() ? "." : folder_)) return ok_ = false;
  fd_ = file_.descriptor();
  if (!write_at(fd_, memory_, 0)) return ok_ = false;
  std::string().swap(memory_);
  return true;
}

bool Spool::write(const char* data, std::size_t size) {
  if (!ok_) return false;
  if (fd_ < 0) {
    if (memory_.size() + size <= kMemoryLimit) {
      memory_.append(data, size);
      size_ += size;
      return true;
    }
    if (!spill()) return false;
  }
  if (!write_at(fd_, std::string_view(data, size), size_)) return ok_ = false;
  size_ += size;
  return true;
}

bool Spool::patch(std::uint64_t offset, std::string_view bytes) {
  if (!ok_ || offset > size_ || bytes.size() > size_ - offset) return false;
  if (fd_ < 0) {
    memory_.replace(static_cast<std::size_t>(offset), bytes.size(), bytes);
    return true;
  }
  return ok_ = write_at(fd_, bytes, offset);
}

std::int64_t Spool::read(std::uint64_t offset, char* data, std::size_t size) const {
  if (offset >= size_) return 0;
  std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(size, size_ - offset));
  if (fd_ < 0) {
    std::memcpy(data, memory_.data() + offset, count);
    return static_cast<std::int64_t>(count);
  }
  for (;;) {
    ssize_t got = ::pread(fd_, data, count, static_cast<off_t>(offset));
    if (got >= 0) return got;
    if (errno != EINTR) return -1;
  }
}

}  // namespace quorrel
