// The command-line front end, callable in-process so that tests can run it.
#pragma once

#include <cstdio>

namespace quorrel {

// Exit status: 0 when nothing was reported, 1 when any conversion reported a failure, 2 for a
// usage error.
int run_cli(int argc, const char* const* argv, std::FILE* out, std::FILE* err);

}  // namespace quorrel
