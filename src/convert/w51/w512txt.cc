// WordPerfect 5.1 to plain text: characters, tabs and line ends; no formatting.
#include "convert/converters.h"
#include "convert/w51/w51_decoder.h"

namespace quorrel {

namespace {

class W51TextSink {
 public:
  explicit W51TextSink(TextWriter& out) : out_(out) {}
  void character(int c) { out_.put_raw(static_cast<char>(c)); }
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    out_.write_raw(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin));
  }
  // Soft and hard returns both end the line: plain text cannot tell them apart.
  void line_break() { out_.put('\n'); }
  void paragraph_break() { out_.put('\n'); }
  void tab() { out_.put_raw('\t'); }
  void tabs(int count) { out_.repeat_short('\t', static_cast<std::size_t>(count)); }
  void attribute_on(int) {}
  void attribute_off(int) {}

 private:
  TextWriter& out_;
};

}  // namespace

void w512txt(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  W51TextSink sink(out);
  w51::decode(in, sink);
}

}  // namespace quorrel
