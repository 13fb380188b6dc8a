#include "io/byte_source.h"

#include <unistd.h>

#include <cerrno>

namespace quorrel {

ByteSource ByteSource::from_memory(std::string_view data) {
  ByteSource source;
  source.pos_ = reinterpret_cast<const std::uint8_t*>(data.data());
  source.end_ = source.pos_ + data.size();
  source.at_end_ = true;  // nothing beyond the given bytes
  return source;
}

ByteSource ByteSource::from_fd(int fd, std::size_t buffer_size) {
  ByteSource source;
  source.fd_ = fd;
  source.buffer_size_ = buffer_size;
  // Not zeroed: only what read() fills is ever looked at, and a short file touches few pages.
  source.buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(buffer_size);
  source.pos_ = source.end_ = source.buffer_.get();
  return source;
}

ByteSource::ByteSource(ByteSource&&) noexcept = default;
ByteSource& ByteSource::operator=(ByteSource&&) noexcept = default;
ByteSource::~ByteSource() = default;

bool ByteSource::fill() {
  if (pos_ != end_) return true;
  if (at_end_) return false;
  for (;;) {
    ssize_t got = ::read(fd_, buffer_.get(), buffer_size_);
    if (got > 0) {
      pos_ = buffer_.get();
      end_ = pos_ + got;
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) read_error_ = true;
    at_end_ = true;
    return false;
  }
}

int ByteSource::refill_and_get() { return fill() ? *pos_++ : kEndOfInput; }

void ByteSource::skip(std::size_t n) {
  while (n > 0 && fill()) {
    std::size_t available = static_cast<std::size_t>(end_ - pos_);
    std::size_t step = available < n ? available : n;
    pos_ += step;
    n -= step;
  }
}

}  // namespace quorrel
