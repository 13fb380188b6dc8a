// The buffer a document writer fills and hands to its byte sink in large pieces. Unlike the
// exact converters' TextWriter it writes line feeds as they are: the complete reading's outputs
// use this system's native line end.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "io/sink.h"

namespace quorrel::writers {

class OutputBuffer {
 public:
  explicit OutputBuffer(Sink& sink) : sink_(sink) { buffer_.reserve(kFlushAt + 4096); }

  void append(std::string_view bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushAt) flush();
  }
  void push_back(char c) {
    buffer_.push_back(c);
    if (buffer_.size() >= kFlushAt) flush();
  }
  // Text with the XML special characters written as entities (for HTML and XML outputs).
  void append_escaped(std::string_view text);

  // Hands everything over; false once anything could not be stored.
  bool flush() {
    if (!buffer_.empty()) {
      ok_ = sink_.write(buffer_.data(), buffer_.size()) && ok_;
      buffer_.clear();
    }
    return ok_;
  }
  // Flushes and waits until the sink has stored everything.
  bool finish() { return flush() && sink_.finish() && ok_; }
  bool ok() const { return ok_; }

 private:
  static constexpr std::size_t kFlushAt = 256 * 1024;

  Sink& sink_;
  std::string buffer_;
  bool ok_ = true;
};

// Appends `text` with &, <, > and " written as entities.
void append_xml_escaped(std::string& out, std::string_view text);
// The entity of one of those four characters.
std::string_view xml_reference(char c);

inline void OutputBuffer::append_escaped(std::string_view text) {
  append_xml_escaped(buffer_, text);
  if (buffer_.size() >= kFlushAt) flush();
}

}  // namespace quorrel::writers
