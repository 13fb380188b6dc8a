// Output held back until the end of the document (the notes, listed after the body): kept in
// memory up to a limit and in an unnamed temporary file past it, so that a document with a
// great many notes still converts within bounded memory.
#pragma once

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "output/sink.h"
#include "writers/output_buffer.h"

namespace quorrel::writers {

class HeldText {
 public:
  HeldText() = default;
  HeldText(const HeldText&) = delete;
  HeldText& operator=(const HeldText&) = delete;

  void append(std::string_view bytes);
  bool empty() const { return size_ == 0; }
  // Everything held, in order, to `out`; the store is empty afterwards. False when part of it
  // could not be stored or read back.
  bool write_to(OutputBuffer& out);

  // Bytes kept in memory before the rest goes to a temporary file.
  static constexpr std::size_t kMemoryLimit = 1 << 20;

 private:
  struct CloseFile {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };

  std::string memory_;
  std::unique_ptr<std::FILE, CloseFile> file_;
  std::size_t size_ = 0;
  bool ok_ = true;
  bool file_refused_ = false;
};

// One sub-document's output, gathered in memory until the writer knows where it goes (a
// header after the paragraph that anchors it, a note to the list at the end).
class SubDocumentText {
 public:
  SubDocumentText() = default;
  SubDocumentText(const SubDocumentText&) = delete;
  SubDocumentText& operator=(const SubDocumentText&) = delete;

  OutputBuffer& out() { return out_; }
  // Everything written since the last clear().
  std::string_view text() {
    out_.flush();
    return text_;
  }
  void clear() {
    out_.flush();
    text_.clear();
  }

 private:
  std::string text_;
  StringSink sink_{text_};
  OutputBuffer out_{sink_};
};

}  // namespace quorrel::writers
