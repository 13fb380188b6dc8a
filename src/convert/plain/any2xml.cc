// Plain text to the SXW content document: a paragraph per line, tab elements, character
// references for the four markup characters, every other byte outside printable ASCII dropped.
#include "convert/converters.h"
#include "convert/plain/plain_decoder.h"
#include "output/sxw_content.h"

namespace quorrel {

namespace {

class PlainSxwSink {
 public:
  static constexpr bool kLineEndsEarly = false;
  explicit PlainSxwSink(TextWriter& out) : out_(out) {}
  void character(int c) { sxw::write_character(out_, c); }
  static constexpr FastPaths kFastPaths = kCharacters | kCodeTexts;
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    sxw::write_characters(out_, begin, end);
  }
  void tab() { out_.write(sxw::kTab); }
  void line_feed() { sxw::write_paragraph_break(out_); }
  const plain::CodeTexts* code_texts() const { return &texts_; }

 private:
  TextWriter& out_;
  const plain::CodeTexts texts_{out_, sxw::kParagraphBreak, sxw::kTab};
};

}  // namespace

void any2xml(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  sxw::write_prolog(out, sxw::StyleSet::basic);
  PlainSxwSink sink(out);
  plain::decode(in, sink);
  sxw::write_epilogue(out);
}

}  // namespace quorrel
