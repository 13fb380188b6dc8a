// quorrel-cli: the converter on the command line.
#include <csignal>
#include <cstdio>

#include "cli/cli.h"
#include "io/allocation.h"

int main(int argc, char** argv) {
  quorrel::keep_freed_buffers_for_reuse();
  // Past a file-size limit a write then fails like on a full disk, and is reported as such,
  // instead of the signal ending the process with a partial temporary file.
  std::signal(SIGXFSZ, SIG_IGN);
  return quorrel::run_cli(argc, argv, stdout, stderr);
}
