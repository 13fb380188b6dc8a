// The optional fast paths a converter's sink may offer the decoders. A sink names the ones it
// has in `static constexpr FastPaths kFastPaths`; a decoder takes a path only when the sink
// names it, and the compilation stops where the names and the members disagree, so that a
// misspelt member is an error instead of a silent fall back to the slow path.
#pragma once

namespace quorrel {

enum FastPathKind : unsigned {
  kCharacters = 1,      // characters(begin, end): a run of characters in one call
  kCopyCharacters = 2,  // copy_characters(p, end): copies a run while finding its end
  kCodeRun = 4,         // code_run<kMaxCodes>(body): many codes in a row (code_run.h)
  kTabs = 8,            // tabs(count): a run of tab units in one call
  kCodeTexts = 16,      // code_texts(): the fixed text of each code (plain decoder)
};
using FastPaths = unsigned;

template <class Sink>
constexpr FastPaths fast_paths_of() {
  if constexpr (requires { Sink::kFastPaths; }) {
    return Sink::kFastPaths;
  } else {
    return 0;
  }
}

// Whether the decoder takes `path` with `Sink`, given whether the sink has the member
// (`has`); the two must agree.
template <class Sink, FastPathKind path, bool has>
constexpr bool takes() {
  constexpr bool named = (fast_paths_of<Sink>() & path) != 0;
  static_assert(named == has,
                "a sink's kFastPaths must name exactly the fast-path members it has");
  return named;
}

}  // namespace quorrel
