// quorrel-cli: the converter on the command line.
#include <csignal>
#include <cstdio>

#include "cli/cli.h"
#include "io/process.h"

int main(int argc, char** argv) {
  quorrel::set_up_process();
  return quorrel::run_cli(argc, argv, stdout, stderr);
}
