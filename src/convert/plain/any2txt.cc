// Plain text to plain text: keeps printable ASCII, tabs and line ends, drops every other byte.
#include "convert/converters.h"
#include "convert/plain/plain_decoder.h"

namespace quorrel {

namespace {

constexpr Literal kLineEnd{"\n"};
constexpr Literal kTab{"\t"};

class PlainTextSink {
 public:
  static constexpr bool kLineEndsEarly = true;
  explicit PlainTextSink(TextWriter& out) : out_(out) {}
  void character(int c) { out_.put_raw(static_cast<char>(c)); }
  static constexpr FastPaths kFastPaths = kCopyCharacters | kCodeTexts;
  const std::uint8_t* copy_characters(const std::uint8_t* begin, const std::uint8_t* end) {
    return copy_printable(out_, begin, end);
  }
  void tab() { out_.put_raw('\t'); }
  // Every line feed ends the line, after a carriage return too, so CR LF text keeps its lines.
  void line_feed() { out_.put('\n'); }
  const plain::CodeTexts* code_texts() const { return &texts_; }

 private:
  TextWriter& out_;
  const plain::CodeTexts texts_{out_, kLineEnd, kTab};
};

}  // namespace

void any2txt(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  PlainTextSink sink(out);
  plain::decode(in, sink);
}

}  // namespace quorrel
