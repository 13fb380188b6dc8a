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
  constexpr Transition(Text written = {}, std::uint8_t after = 0) : next(after), text(written) {}

  // First, so that with the text's count and first bytes it shares one cache line: only
  // long texts reach further.
  std::uint8_t next;  // the state after it
  Text text;          // written when the event comes in the state
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

  // Up to kMaxEvents events in a row, each followed by up to kRoomAfter bytes: copies of a
  // unit byte, the first kFew of them without a branch on their count, or what the caller
  // writes through `cursor()`. The state and the writing position live in the run, a local
  // of the caller that the compiler keeps in registers: kept in the writers, they would be
  // loaded again after every copy, since the bytes copied might overwrite them, and each
  // event would wait for the last one's stores. The run hands both back when it ends.
  template <std::size_t kMaxEvents, std::size_t kFew = 0, std::size_t kRoomAfter = kFew>
  class Run {
   public:
    static constexpr std::size_t kRoom = kMaxEvents * (Text::kCapacity + kRoomAfter);

    Run(TableWriter& writer, TextWriter& out)
        : writer_(writer), out_(out), table_(writer.table_.data()), state_(writer.state_),
          cursor_(out.room(kRoom)) {}
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;
    ~Run() {
      writer_.state_ = state_;
      out_.commit(cursor_);
    }

    // The event's text in the current state.
    void write(std::size_t event) {
      const Transition<Text>& step = table_[state_ * kEvents + event];
      if constexpr (kShortPart < Text::kCapacity) {
        cursor_.write_mostly_short<kShortPart>(step.text);
      } else {
        cursor_.write(step.text);
      }
      state_ = step.next;
    }
    // The event's text, then `count` copies of `unit`, a byte that is not a line feed.
    void write(std::size_t event, char unit, std::size_t count) {
      write(event);
      // No call on the usual paths: around one, the compiler would keep the run's values in
      // memory rather than registers.
      if (count <= kFew) [[likely]] {
        cursor_.repeat_within<kFew>(unit, count);
      } else if (count <= kRoomAfter) {
        cursor_.repeat_within<kRoomAfter>(unit, count);
      } else {
        write_outside([&](TextWriter& out) { out.repeat(unit, count); });
      }
    }
    // The writing position, with kRoomAfter bytes of room after the last event's text.
    Cursor& cursor() { return cursor_; }
    // What does not fit the run's room goes to the writer directly, in its place.
    template <class Write>
    void write_outside(Write&& write) {
      out_.commit(cursor_);
      write(out_);
      cursor_ = out_.room(kRoom);
    }

   private:
    TableWriter& writer_;
    TextWriter& out_;
    const Transition<Text>* table_;
    std::size_t state_;
    Cursor cursor_;
  };

  template <std::size_t kMaxEvents, std::size_t kFew = 0, std::size_t kRoomAfter = kFew>
  Run<kMaxEvents, kFew, kRoomAfter> run(TextWriter& out) {
    return {*this, out};
  }

  // One event: its text in the current state, then, with kFew, `count` copies of `unit`.
  void write(TextWriter& out, std::size_t event) { run<1>(out).write(event); }
  template <std::size_t kFew>
  void write(TextWriter& out, std::size_t event, char unit, std::size_t count) {
    run<1, kFew>(out).write(event, unit, count);
  }

  std::uint8_t state() const { return static_cast<std::uint8_t>(state_); }

 private:
  const Table& table_;
  std::size_t state_ = 0;
};

}  // namespace quorrel
