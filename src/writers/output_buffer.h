// The buffer a document writer fills and hands to its byte sink in large pieces. Unlike the
// exact converters' TextWriter it writes line feeds as they are: the complete reading's outputs
// use this system's native line end.
#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "io/buffer_pool.h"
#include "io/sink.h"

namespace quorrel::writers {

class OutputBuffer {
 public:
  explicit OutputBuffer(Sink& sink) : sink_(sink), data_(take_buffer(kCapacity)) {}
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;
  ~OutputBuffer() { keep_buffer(std::move(data_), kCapacity); }

  void append(std::string_view bytes) {
    if (bytes.size() > kCapacity - size_) return append_large(bytes);
    std::memcpy(data_.get() + size_, bytes.data(), bytes.size());
    size_ += bytes.size();
    if (size_ >= kFlushAt) flush();
  }
  void push_back(char c) {
    data_[size_++] = c;
    if (size_ >= kFlushAt) flush();
  }
  // Text with the XML special characters written as entities (for HTML and XML outputs).
  void append_escaped(std::string_view text);
  // Copies `text` from `from` on up to the first byte that find_markup finds, and returns its
  // position (text.size() when the whole rest was copied). Scanning while copying reads the
  // text once instead of twice.
  std::size_t append_until_markup(std::string_view text, std::size_t from, bool double_spaces);

  // Bytes appended and not yet handed over; overwrite_buffered changes some of them (a count
  // only known later).
  std::size_t buffered() const { return size_; }
  void overwrite_buffered(std::size_t at, std::string_view bytes) {
    std::memcpy(data_.get() + at, bytes.data(), bytes.size());
  }

  // Hands everything over; false once anything could not be stored.
  bool flush() {
    if (size_ != 0) {
      ok_ = sink_.take(data_, size_, kCapacity) && ok_;
      size_ = 0;
    }
    return ok_;
  }
  // Flushes and waits until the sink has stored everything.
  bool finish() { return flush() && sink_.finish() && ok_; }
  bool ok() const { return ok_; }

 private:
  static constexpr std::size_t kFlushAt = 256 * 1024;
  // Room past the flush mark for one sixteen-byte store of append_until_markup.
  static constexpr std::size_t kCapacity = kFlushAt + 64;

  void append_large(std::string_view bytes);

  Sink& sink_;
  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  bool ok_ = true;
};

// `text` as the content of an OpenDocument or SXW paragraph: markup characters as references,
// and each stretch of spaces that an office suite would collapse or drop as text:s.
// `after_space` says whether a space here would be dropped (at a paragraph's start, after a
// tab or a space), and is left saying so after the text.
void append_paragraph_text(OutputBuffer& out, std::string_view text, bool& after_space);

// Appends `text` with &, <, > and " written as entities.
void append_xml_escaped(std::string& out, std::string_view text);
// The entity of one of those four characters.
std::string_view xml_reference(char c);

}  // namespace quorrel::writers
