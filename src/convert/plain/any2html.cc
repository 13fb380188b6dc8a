// Plain text to HTML: each line becomes a paragraph, tabs become runs of blanks, angle
// brackets become square ones, every other byte outside printable ASCII is dropped.
#include "convert/converters.h"
#include "convert/plain/plain_decoder.h"
#include "output/html_frame.h"

namespace quorrel {

namespace {

constexpr Literal kFirstTabBlanks{"        "};  // a tab at the start of a line

// Nothing is ever inserted ahead of a line's text, so each piece is written as it comes: the
// bytes are those of a whole-line buffer, and no line is too long.
class PlainHtmlSink {
 public:
  static constexpr bool kLineEndsEarly = false;
  explicit PlainHtmlSink(TextWriter& out) : out_(out) {}
  void character(int c) {
    out_.put_raw(html::document_character(c));
    ++column_;
  }
  static constexpr FastPaths kFastPaths = kCharacters | kCodeTexts;
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    html::write_document_characters(out_, begin, end);
    column_ += static_cast<std::size_t>(end - begin);
  }
  // Blanks of earlier tabs do not move the column.
  void tab() { out_.repeat(' ', html::tab_blanks(column_)); }
  void line_feed() {
    column_ = 0;
    out_.write(html::kParagraph);
  }
  // At the start of a line a tab writes a fixed run of blanks, and a line feed keeps it there.
  const plain::CodeTexts* code_texts() const { return column_ == 0 ? &texts_ : nullptr; }

 private:
  static_assert(html::tab_blanks(0) == 8);

  TextWriter& out_;
  std::size_t column_ = 0;  // characters since the line began
  const plain::CodeTexts texts_{out_, html::kParagraph, kFirstTabBlanks};
};

}  // namespace

void any2html(ByteSource& in, TextWriter& out, const DocumentInfo& info) {
  html::write_prologue(out, info.title);
  PlainHtmlSink sink(out);
  plain::decode(in, sink);
  html::write_epilogue(out, html::Epilogue::after_line_feed);
}

}  // namespace quorrel
