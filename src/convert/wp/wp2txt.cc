// Ancient WordPerfect to plain text: characters, carriage returns as spaces, tabs and line
// ends; no formatting.
#include "convert/converters.h"
#include "convert/wp/wp_decoder.h"

namespace quorrel {

namespace {

class WpTextSink {
 public:
  static constexpr bool kLineEndsEarly = true;
  explicit WpTextSink(TextWriter& out) : out_(out) {}
  void character(int c) { out_.put_raw(static_cast<char>(c)); }
  static constexpr FastPaths kFastPaths = kCopyCharacters;
  const std::uint8_t* copy_characters(const std::uint8_t* begin, const std::uint8_t* end) {
    return copy_printable(out_, begin, end);
  }
  void carriage_return() { out_.put_raw(' '); }
  void line_feed() { out_.put('\n'); }
  void tab() { out_.put_raw('\t'); }
  void centre() {}
  void bold_on() {}
  void bold_off() {}

 private:
  TextWriter& out_;
};

}  // namespace

void wp2txt(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  WpTextSink sink(out);
  wp::decode(in, sink);
}

}  // namespace quorrel
