// Ancient WordPerfect to HTML: a paragraph per line feed, centred lines, bold tags, tab blanks
// to the next stop. A centre code anywhere in a line puts its tag ahead of the whole line, so
// each line is held until it ends.
#include "convert/converters.h"
#include "convert/wp/wp_decoder.h"
#include "output/html_frame.h"
#include "output/pending_line.h"

namespace quorrel {

namespace {

class WpHtmlSink {
 public:
  static constexpr bool kLineEndsEarly = false;
  explicit WpHtmlSink(TextWriter& out) : out_(out) {}

  void character(int c) {
    line_.put(html::document_character(c));
    ++column_;
  }
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    line_.append_mapped(begin, end, html::copy_document_characters);
    column_ += static_cast<std::size_t>(end - begin);
  }
  void carriage_return() { line_.put(' '); }  // a space that does not move the column
  void line_feed() {
    column_ = 0;
    line_.write_to(out_);
    // Without a branch: centred lines come at random in a document of codes.
    out_.write_if(centre_owed_, html::kCentreOff);
    centre_owed_ = false;
    out_.write(html::kParagraph);
  }
  void tab() { line_.repeat(' ', html::tab_blanks(column_)); }
  // Goes straight out, ahead of the text held for the line.
  void centre() {
    out_.write(html::kCentreOn);
    centre_owed_ = true;
  }
  // No bold state: every code writes its tag.
  void bold_on() { line_.append(html::kBoldOn.stored()); }
  void bold_off() { line_.append(html::kBoldOff.stored()); }

  // The last line has no line feed: its text is written, its centring is never closed.
  void finish() { line_.write_to(out_); }

 private:
  TextWriter& out_;
  PendingLine line_;
  std::size_t column_ = 0;    // characters since the line began
  bool centre_owed_ = false;  // "<CENTER>" written for this line, "</CENTER>" not yet
};

}  // namespace

void wp2html(ByteSource& in, TextWriter& out, const DocumentInfo& info) {
  html::write_prologue(out, info.title);
  WpHtmlSink sink(out);
  wp::decode(in, sink);
  sink.finish();
  html::write_epilogue(out, html::Epilogue::after_line_feed);
}

}  // namespace quorrel
