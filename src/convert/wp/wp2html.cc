// Ancient WordPerfect to HTML: a paragraph per line feed, centred lines, bold tags, tab blanks
// to the next stop. A centre code anywhere in a line puts its tag ahead of the whole line, so
// each line is held until it ends.
#include "convert/converters.h"
#include "convert/wp/wp_decoder.h"
#include "output/html_frame.h"
#include "output/pending_line.h"

namespace quorrel {

namespace {

// The tags and texts a code writes, joined where one code writes several.
using Text = JoinedLiterals<16>;

inline constexpr Literal kSpace{" "};
inline constexpr Literal kBlanks{"                "};

// What each code adds to the held line. A tab adds as many of its blanks as the column asks.
constexpr Text line_text(wp::Kind kind) {
  Text text;
  switch (kind) {
    case wp::Kind::carriage_return: text.append(kSpace); break;  // does not move the column
    case wp::Kind::tab: text.append(kBlanks); break;
    case wp::Kind::bold_on: text.append(html::kBoldOn); break;  // no bold state: every code
    case wp::Kind::bold_off: text.append(html::kBoldOff); break;  // writes its tag
    default: break;
  }
  return text;
}
inline constexpr auto kLineTexts = wp::kind_table<Text>(line_text);

// What a code writes straight out, after the held line when it ends one: the centre tag goes
// ahead of the text held for its line, and a line end closes the centring owed for its line.
constexpr Text out_text(bool centre_owed, wp::Kind kind) {
  Text text;
  if (kind == wp::Kind::centre) text.append(html::kCentreOn);
  if (kind == wp::Kind::line_feed) {
    if (centre_owed) text.append(html::kCentreOff);
    text.append(html::kParagraph);
  }
  return text;
}

// Indexed by whether a "</CENTER>" is owed, then by the kind.
inline constexpr auto kOutTexts = wp::flag_kind_table<Text>(out_text);

class WpHtmlSink {
 public:
  // Room for the most one code writes: a short line and its closing tags.
  static constexpr std::size_t kCodeRoom = PendingLine::kSlack + Text::kCapacity;

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

  // Every code in one place, its texts looked up rather than chosen by a jump on its kind:
  // codes come at random in a document of codes.
  void code(wp::Kind kind) {
    const std::size_t index = static_cast<std::size_t>(kind);
    const bool line_end = kind == wp::Kind::line_feed;
    const Text& text = kLineTexts[index];
    std::size_t added = kind == wp::Kind::tab ? html::tab_blanks(column_) : text.size();
    if (added <= Text::kCapacity) {
      line_.append_padded<Text::kCapacity>(text.padded_bytes(), added);
    } else {
      line_.repeat(' ', added);  // blanks far into a line
    }
    // Only a line end writes the line, and it adds nothing to it. A jump, unlike the rest:
    // copying the line at every code would read back the bytes just stored in it.
    char* at = out_.reserve(kCodeRoom);
    if (line_end) {
      if (line_.is_short()) {
        at = line_.put_short(at);
      } else {
        out_.commit(at);
        line_.write_to(out_);
        at = out_.reserve(kCodeRoom);
      }
    }
    out_.commit(kOutTexts[centre_owed_][index].put(at));
    centre_owed_ = (centre_owed_ | (kind == wp::Kind::centre)) & !line_end;
    column_ = line_end ? 0 : column_;
  }
  void carriage_return() { code(wp::Kind::carriage_return); }
  void line_feed() { code(wp::Kind::line_feed); }
  void tab() { code(wp::Kind::tab); }
  void centre() { code(wp::Kind::centre); }
  void bold_on() { code(wp::Kind::bold_on); }
  void bold_off() { code(wp::Kind::bold_off); }

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
