// WordPerfect 6-9 to plain text: characters, spaces, tabs and line ends; no formatting.
#include "convert/converters.h"
#include "convert/wpd/wpd_decoder.h"

namespace quorrel {

namespace {

class WpdTextSink {
 public:
  explicit WpdTextSink(TextWriter& out) : out_(out) {}
  void character(int c) { out_.put_raw(static_cast<char>(c)); }
  static constexpr FastPaths kFastPaths = kCopyCharacters;
  const std::uint8_t* copy_characters(const std::uint8_t* begin, const std::uint8_t* end) {
    return copy_printable(out_, begin, end);
  }
  void space_code() { out_.put_raw(' '); }
  void tab() { out_.put_raw('\t'); }
  // Soft and hard returns both end the line: plain text cannot tell them apart.
  void soft_return() { out_.put('\n'); }
  void hard_return() { out_.put('\n'); }
  void centre() {}
  void rule() {}
  void attribute_on(int) {}
  void attribute_off(int) {}

 private:
  TextWriter& out_;
};

}  // namespace

void wpd2txt(ByteSource& in, TextWriter& out, const DocumentInfo&) {
  WpdTextSink sink(out);
  wpd::decode(in, sink);
}

}  // namespace quorrel
