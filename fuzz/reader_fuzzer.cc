// Fuzzes the complete reading: detection, then the reader of the detected generation or of one
// forced on the bytes, with and without a password. Whatever the bytes: no crash, events in the
// well-formed order, text runs of valid UTF-8 without control characters, and an output
// bounded by the input.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "document/builder.h"
#include "document/document_sink.h"
#include "document/utf8.h"
#include "io/document_bytes.h"
#include "properties.h"
#include "readers/read_document.h"

namespace {

using namespace quorrel;

class CheckingSink final : public document::DocumentSink {
 public:
  std::size_t text_bytes = 0, events = 0;

  void open_paragraph(document::Align) override {
    event();
    fuzz::require(!paragraph_, "paragraphs do not nest");
    paragraph_ = true;
  }
  void close_paragraph() override {
    event();
    fuzz::require(paragraph_, "a paragraph closes after it opens");
    paragraph_ = false;
  }
  void text(std::string_view utf8, document::Attributes) override {
    event();
    fuzz::require(paragraph_ && !utf8.empty(), "text runs sit in a paragraph, never empty");
    fuzz::require(document::is_valid_utf8(utf8), "text runs are valid UTF-8");
    for (char c : utf8) {
      const auto byte = static_cast<unsigned char>(c);
      fuzz::require(byte >= 0x20 && byte != 0x7F, "text runs hold no control characters");
    }
    text_bytes += utf8.size();
  }
  void tab() override { inline_event(); }
  void line_break() override { inline_event(); }
  void page_break() override {
    event();
    fuzz::require(!paragraph_, "a page break stands between paragraphs");
  }
  void open_sub_document(document::SubDocument) override {
    inline_event();
    fuzz::require(!sub_document_, "sub-documents do not nest");
    sub_document_ = true;
    outer_paragraph_ = paragraph_;
    paragraph_ = false;
  }
  void close_sub_document() override {
    event();
    fuzz::require(sub_document_ && !paragraph_, "a sub-document closes after its paragraphs");
    sub_document_ = false;
    paragraph_ = outer_paragraph_;
  }
  void open_table(int) override { event(); }
  void open_row() override { event(); }
  void open_cell() override { event(); }
  void close_cell() override { event(); }
  void close_row() override { event(); }
  void close_table() override { event(); }
  void end_document() override {
    event();
    fuzz::require(!paragraph_ && !sub_document_, "the document ends with everything closed");
  }

 private:
  void event() { ++events; }
  void inline_event() {
    event();
    fuzz::require(paragraph_, "tabs, breaks and anchors sit in a paragraph");
  }
  bool paragraph_ = false, outer_paragraph_ = false, sub_document_ = false;
};

void read(std::string_view bytes, readers::Generation generation, const char* password) {
  CheckingSink sink;
  document::DocumentBuilder builder(sink);
  DocumentBytes input = DocumentBytes::from_memory(bytes);
  readers::ReadOptions options;
  if (password != nullptr) {
    options.has_password = true;
    options.password = password;
  }
  const readers::ReadResult result = readers::read_document(input, generation, options, builder);
  builder.finish();
  // A byte becomes at most a few characters (a 5.x character group of 4 bytes the longest
  // sequence of code points), and each code at most a few events.
  fuzz::require(sink.text_bytes <= 4 * bytes.size() + 16, "text bounded by the input");
  fuzz::require(sink.events <= 8 * bytes.size() + 16, "events bounded by the input");
  const bool refused = result.status == readers::ReadStatus::password_protected ||
                       result.status == readers::ReadStatus::wrong_password ||
                       result.status == readers::ReadStatus::unsupported;
  fuzz::require(!refused || sink.events == 1, "a refused document delivers nothing");
  fuzz::require(result.status == readers::ReadStatus::complete || !result.message.empty(),
                "a reading that is not complete says why");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const readers::Generation detected = readers::detect_generation(bytes);
  read(bytes, detected, nullptr);
  read(bytes, detected, "password");
  // Each reader also meets bytes that are not its own.
  for (readers::Generation forced :
       {readers::Generation::plain, readers::Generation::wp42, readers::Generation::wp5}) {
    if (forced != detected) read(bytes, forced, nullptr);
  }
  return 0;
}
