// The buffered writer every converter writes through. Output documents are text files in the
// DOS convention: each line feed a converter writes is stored as CR LF, no other byte changes.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

#include "io/buffer_pool.h"
#include "io/sink.h"

namespace quorrel {

// A short literal of the output vocabulary (a tag, a paragraph break) with its line feeds
// already stored as CR LF when the program is compiled, so that writing it is one fixed-size
// copy of kCapacity bytes: converters write such literals for almost every byte of a document
// full of codes. Literals join at compile time into the texts of transition tables.
template <std::size_t kCapacityBytes>
class BasicLiteral {
 public:
  static constexpr std::size_t kCapacity = kCapacityBytes;

  constexpr BasicLiteral() = default;  // empty

  template <std::size_t N>
  explicit consteval BasicLiteral(const char (&text)[N]) {
    for (std::size_t i = 0; i + 1 < N; ++i) {
      if (text[i] == '\n') append('\r');
      append(text[i]);
    }
  }

  // The same text in a literal of another capacity.
  template <std::size_t kOther>
  explicit consteval BasicLiteral(const BasicLiteral<kOther>& other) {
    *this += other;
  }

  // For tables built when the program is compiled (a throw there stops the compilation).
  template <std::size_t kOther>
  constexpr BasicLiteral& operator+=(const BasicLiteral<kOther>& other) {
    for (char c : other.stored()) append(c);
    return *this;
  }

  // The bytes as stored in the output.
  constexpr std::string_view stored() const { return {bytes_, size_}; }
  const char* padded_bytes() const { return bytes_; }  // kCapacity bytes, zero after size()
  constexpr std::size_t size() const { return size_; }

 private:
  constexpr void append(char c) {
    // A literal that does not fit stops the compilation here.
    if (size_ == kCapacity) throw "literal longer than its capacity";
    bytes_[size_++] = c;
  }

  // The count first: a table entry's count and first bytes then share a cache line.
  std::size_t size_ = 0;
  char bytes_[kCapacity] = {};
};

using Literal = BasicLiteral<48>;

// A position in room a writer reserved, for converters that write several literals for one
// input code: the position stays in a register from one literal to the next, where the
// writer's own count would go through memory and make each literal wait for the last.
class Cursor {
 public:
  explicit Cursor(char* at) : at_(at) {}

  // The literal when `wanted`, else nothing, decided without a branch: tags that depend on
  // formatting state come at random in a document full of codes, and a branch on them would
  // be guessed wrong about half the time. Needs the literal's capacity in room.
  template <std::size_t kCapacity>
  void write_if(bool wanted, const BasicLiteral<kCapacity>& literal) {
    // The whole padded array, a constant size the compiler copies without a call; only the
    // literal's own bytes count.
    std::memcpy(at_, literal.padded_bytes(), kCapacity);
    at_ += literal.size() & (std::size_t{0} - wanted);  // a mask, which compilers keep
  }
  template <std::size_t kCapacity>
  void write(const BasicLiteral<kCapacity>& literal) {
    write_if(true, literal);
  }

  // A literal that is mostly short: its first kShort bytes are copied whatever its size, the
  // rest only when there is more, a jump that is guessed right while long ones stay rare.
  template <std::size_t kShort, std::size_t kSize>
  void write_mostly_short(const BasicLiteral<kSize>& literal) {
    static_assert(kShort < kSize);
    std::memcpy(at_, literal.padded_bytes(), kShort);
    if (literal.size() > kShort) [[unlikely]] {
      std::memcpy(at_ + kShort, literal.padded_bytes() + kShort, kSize - kShort);
    }
    at_ += literal.size();
  }

  // `count` copies of a byte that is not a line feed, count at most kRoom, as one fixed-size
  // store with no branch on the count. Needs kRoom bytes of room.
  template <std::size_t kRoom>
  void repeat_within(char c, std::size_t count) {
    std::memset(at_, c, kRoom);
    at_ += count;
  }

  char* position() const { return at_; }

 private:
  char* at_;
};

class TextWriter {
 public:
  // Bytes held before they go to the sink in one write. A file system spends part of its
  // time per write call, so a large output written in 256 KiB pieces costs about a tenth
  // less than in 64 KiB ones; much larger pieces no longer fit the cache beside the input.
  // On the heap, so that a writer can live on any stack.
  static constexpr std::size_t kCapacity = 256 * 1024;

  explicit TextWriter(Sink& sink)
      : sink_(sink), buffer_(take_buffer(kCapacity)) {}
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;
  ~TextWriter() {
    // Left by an exception (memory ran out), the output is discarded anyway.
    try {
      flush();
    } catch (const std::bad_alloc&) {
    }
    keep_buffer(std::move(buffer_), kCapacity);
  }

  // One byte; a line feed becomes CR LF.
  void put(char c) {
    if (c == '\n') {
      put_raw('\r');
    }
    put_raw(c);
  }

  // A byte known not to be a line feed (document characters, blanks, tabs).
  void put_raw(char c) {
    if (used_ == kCapacity) flush();
    buffer_[used_++] = c;
  }

  // Bytes known to hold no line feed.
  void write_raw(const char* data, std::size_t size) {
    if (size > kCapacity - used_) {
      flush();
      if (size >= kCapacity) {
        pass_through(data, size);
        return;
      }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
  }

  // A literal; its line feeds become CR LF.
  void write(std::string_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') {
        write_raw(text.data() + start, i - start);
        write_raw("\r\n", 2);
        start = i + 1;
      }
    }
    write_raw(text.data() + start, text.size() - start);
  }

  template <std::size_t kSize>
  void write(const BasicLiteral<kSize>& literal) {
    write_if(true, literal);
  }

  // The literal when `wanted`, else nothing, without a branch (see Cursor).
  template <std::size_t kSize>
  void write_if(bool wanted, const BasicLiteral<kSize>& literal) {
    Cursor cursor = room(kSize);
    cursor.write_if(wanted, literal);
    commit(cursor);
  }

  // `size` bytes of room at the end of the buffer (at most the capacity), for several
  // writes in a row; `commit` keeps them.
  Cursor room(std::size_t size) { return Cursor(reserve(size)); }
  void commit(const Cursor& cursor) { commit(cursor.position()); }

  // A run of input bytes that `map` turns into as many output bytes, none a line feed:
  // map(from, to, destination) fills to - from bytes at destination. The run goes straight
  // into the buffer, piece by piece as the buffer fills.
  template <class Map>
  void write_mapped(const std::uint8_t* begin, const std::uint8_t* end, Map map) {
    while (begin != end) {
      if (used_ == kCapacity) flush();
      std::size_t room = kCapacity - used_;
      std::size_t step = static_cast<std::size_t>(end - begin) < room
                             ? static_cast<std::size_t>(end - begin)
                             : room;
      map(begin, begin + step, buffer_.get() + used_);
      used_ += step;
      begin += step;
    }
  }

  // Direct access for bulk writers whose output is longer than their input: `reserve`
  // gives room for at least `size` bytes (at most the capacity) at the end of the buffer,
  // and `commit` keeps what was written there up to `end`. No line feeds.
  char* reserve(std::size_t size) {
    if (kCapacity - used_ < size) flush();
    return buffer_.get() + used_;
  }
  void commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.get()); }

  // `count` copies of a byte that is not a line feed (tab runs of blanks).
  void repeat(char c, std::size_t count);

  // `count` copies of a literal; its line feeds become CR LF. The first few are copied
  // whatever the count and only `count` of them kept, so that the short runs of tab units
  // at line starts take no branch on their length.
  template <std::size_t kSize>
  void repeat(const BasicLiteral<kSize>& literal, std::size_t count) {
    constexpr std::size_t kAlways = 4;
    for (;;) {
      // Room for the copies and the padding behind the last one, reserved once.
      std::size_t step = std::min(count, kCapacity / kSize - 1);
      char* at = reserve(std::max(step, kAlways) * literal.size() + kSize);
      for (std::size_t i = 0; i < kAlways; ++i) {
        std::memcpy(at + i * literal.size(), literal.padded_bytes(), kSize);
      }
      for (std::size_t i = kAlways; i < step; ++i) {
        std::memcpy(at + i * literal.size(), literal.padded_bytes(), kSize);
      }
      commit(at + step * literal.size());
      count -= step;
      if (count == 0) return;
    }
  }

  void flush();
  // True once any bytes could not be stored; the output is then incomplete.
  bool failed() const { return failed_; }
  // For a converter whose own storage lost bytes on the way (a spilled line buffer): the
  // output is incomplete although the sink took everything it was given.
  void mark_failed() { failed_ = true; }

 private:
  void pass_through(const char* data, std::size_t size);

  Sink& sink_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

}  // namespace quorrel
