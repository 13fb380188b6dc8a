// quorrel-cli: the converter on the command line.
#include <cstdio>

#include "cli/cli.h"
#include "io/allocation.h"

int main(int argc, char** argv) {
  quorrel::keep_freed_buffers_for_reuse();
  return quorrel::run_cli(argc, argv, stdout, stderr);
}
