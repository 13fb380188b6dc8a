#include "io/process.h"

#include <csignal>

#include "io/allocation.h"

namespace quorrel {

void set_up_process() {
  keep_freed_buffers_for_reuse();
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace quorrel
