// quorrel-cli: the converter on the command line.
#include <cstdio>

#include "cli/cli.h"

int main(int argc, char** argv) { return quorrel::run_cli(argc, argv, stdout, stderr); }
