#include "io/process.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "io/allocation.h"

namespace quorrel {

void set_up_process() {
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // open() takes the lowest free number, which is this one.
    int stand_in = ::open("/dev/null", fd == 0 ? O_WRONLY : O_RDONLY);
    if (stand_in >= 0 && stand_in != fd) ::close(stand_in);
  }
  keep_freed_buffers_for_reuse();
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace quorrel
