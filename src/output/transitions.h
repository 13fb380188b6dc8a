// Sinks whose output for a code depends on a little formatting state (which tags are open)
// can be tables: for each state and each event, the text to write and the state after it,
// computed when the program is compiled from a plain function of the two. At run time a code
// then costs one lookup and one fixed-size copy, the same instructions whatever the code and
// the state, where the function's own branches would be guessed wrong at random on a
// document of codes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "output/text_writer.h"

namespace quorrel {

template <class Text>
struct Transition {
  Text text;             // written when the event comes in the state
  std::uint8_t next{};   // the state after it
};

// make(state, event) gives the transition; the table is indexed by state * kEvents + event.
template <class Text, std::size_t kStates, std::size_t kEvents, class Make>
consteval std::array<Transition<Text>, kStates * kEvents> transition_table(Make make) {
  std::array<Transition<Text>, kStates * kEvents> table{};
  for (std::size_t state = 0; state < kStates; ++state) {
    for (std::size_t event = 0; event < kEvents; ++event) {
      table[state * kEvents + event] = make(static_cast<std::uint8_t>(state), event);
    }
  }
  return table;
}

// A sink's formatting state with its table. Texts are copied whole, in one fixed-size copy;
// or, where texts longer than kShortPart bytes are rare, as their first kShortPart bytes and
// only for the long ones the rest, after a jump.
template <class Text, std::size_t kStates, std::size_t kEvents,
          std::size_t kShortPart = Text::kCapacity>
class TableWriter {
 public:
  using Table = std::array<Transition<Text>, kStates * kEvents>;
  explicit TableWriter(const Table& table) : table_(table) {}

  // The event's text in the current state, then `count` copies of the byte `unit`, up to
  // kFew of them without a branch on the count.
  template <std::size_t kFew>
  void write(TextWriter& out, std::size_t event, char unit, std::size_t count) {
    Cursor cursor = out.room(Text::kCapacity + kFew);
    write_text(cursor, event);
    out.commit_with_copies<kFew>(cursor, unit, count);
  }
  // The event's text alone.
  void write(TextWriter& out, std::size_t event) {
    Cursor cursor = out.room(Text::kCapacity);
    write_text(cursor, event);
    out.commit(cursor);
  }

  std::uint8_t state() const { return static_cast<std::uint8_t>(state_); }

 private:
  void write_text(Cursor& cursor, std::size_t event) {
    const Transition<Text>& step = table_[state_ * kEvents + event];
    if constexpr (kShortPart < Text::kCapacity) {
      cursor.write_mostly_short<kShortPart>(step.text);
    } else {
      cursor.write(step.text);
    }
    state_ = step.next;
  }

  const Table& table_;
  std::size_t state_ = 0;
};

}  // namespace quorrel
