// On documents full of codes the decoders hand a sink many codes in a row. A sink may take
// them as a run, `code_run<kMaxCodes>(body)`: it calls `body` once with a function that writes
// one code per call, called at most kMaxCodes times, and can keep its state in locals for the
// run (see TableWriter::Run) instead of going through memory for every code.
#pragma once

#include <cstddef>

#include "convert/fast_paths.h"

namespace quorrel {

template <std::size_t kMaxCodes, class Sink, class Body>
void run_codes(Sink& sink, Body&& body) {
  if constexpr (takes<Sink, kCodeRun, requires { sink.template code_run<kMaxCodes>(body); }>()) {
    sink.template code_run<kMaxCodes>(body);
  } else {
    body([&sink](auto... code) { sink.code(code...); });
  }
}

}  // namespace quorrel
