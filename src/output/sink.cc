#include "output/sink.h"

#include <unistd.h>

#include <cerrno>

namespace quorrel {

bool FdSink::write(const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t done = ::write(fd_, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return true;
}

}  // namespace quorrel
