// The buffered writer every converter writes through. Output documents are text files in the
// DOS convention: each line feed a converter writes is stored as CR LF, no other byte changes.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "output/sink.h"

namespace quorrel {

class TextWriter {
 public:
  explicit TextWriter(Sink& sink) : sink_(sink) {}
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;
  ~TextWriter() { flush(); }

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
    std::memcpy(buffer_ + used_, data, size);
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

  // `count` copies of a byte that is not a line feed (tab runs of blanks).
  void repeat(char c, std::size_t count);

  void flush();
  // True once any bytes could not be stored; the output is then incomplete.
  bool failed() const { return failed_; }
  // For a converter whose own storage lost bytes on the way (a spilled line buffer): the
  // output is incomplete although the sink took everything it was given.
  void mark_failed() { failed_ = true; }

 private:
  void pass_through(const char* data, std::size_t size);

  static constexpr std::size_t kCapacity = 64 * 1024;
  Sink& sink_;
  std::size_t used_ = 0;
  bool failed_ = false;
  char buffer_[kCapacity];
};

}  // namespace quorrel
