// The codes of a 5.1 sink whose texts come from a transition table and whose tab unit is one
// tab byte: the text and HTML outputs. Each code is its table text, then its tab units.
#pragma once

#include <cstddef>

#include "convert/w51/w51_decoder.h"
#include "output/text_writer.h"
#include "output/transitions.h"

namespace quorrel::w51 {

template <class Text, std::size_t kStates>
class TabByteCodes {
 public:
  using Writer = TableWriter<Text, kStates, kEvents>;
  TabByteCodes(TextWriter& out, const typename Writer::Table& table) : out_(out), table_(table) {}

  void code(Kind kind, int number, int tab_units) {
    code_run<1>([&](auto&& write) { write(kind, number, tab_units); });
  }
  static constexpr FastPaths kFastPaths = kCodeRun;
  template <std::size_t kMaxCodes, class Body>
  void code_run(Body&& body) {
    auto run = table_.template run<kMaxCodes, kFewTabs, kMaxTabUnits>(out_);
    body([&run](Kind kind, int number, int tab_units) {
      run.write(event_of(kind, number), '\t', static_cast<std::size_t>(tab_units));
    });
  }

 protected:
  TextWriter& out_;

 private:
  // Tab units up to this many go in as one fixed-size store: most codes write none or one.
  static constexpr std::size_t kFewTabs = 32;
  Writer table_;
};

}  // namespace quorrel::w51
