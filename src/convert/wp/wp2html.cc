// Ancient WordPerfect to HTML: a paragraph per line feed, centred lines, bold tags, tab blanks
// to the next stop. A centre code anywhere in a line puts its tag ahead of the whole line, so
// each line is held until it ends.
#include <array>
#include <cstring>

#include "convert/converters.h"
#include "convert/wp/wp_decoder.h"
#include "output/html_frame.h"
#include "output/pending_line.h"

namespace quorrel {

namespace {

// The tags and texts a code writes, joined where one code writes several.
using Text = BasicLiteral<16>;

inline constexpr Literal kSpace{" "};
inline constexpr Literal kBlanks{"                "};

// What each code adds to the held line. A tab adds as many of its blanks as the column asks.
constexpr Text line_text(wp::Kind kind) {
  Text text;
  switch (kind) {
    case wp::Kind::carriage_return: text += kSpace; break;  // does not move the column
    case wp::Kind::tab: text += kBlanks; break;
    case wp::Kind::bold_on: text += html::kBoldOn; break;  // no bold state: every code
    case wp::Kind::bold_off: text += html::kBoldOff; break;  // writes its tag
    default: break;
  }
  return text;
}
inline constexpr auto kLineTexts = wp::kind_table<Text>(line_text);

// The centre tags of a line, which all go ahead of its text: nothing else is written between
// a centre code and the end of its line, so they wait for the line end with the text. The
// usual few come from this table in one copy.
constexpr Text centre_tags(std::size_t count) {
  Text tags;
  for (std::size_t i = 0; i < count; ++i) tags += html::kCentreOn;
  return tags;
}
inline constexpr std::size_t kTagsAtOnce = 2;
inline constexpr std::array<Text, kTagsAtOnce + 1> kCentreTags = {centre_tags(0), centre_tags(1),
                                                                   centre_tags(2)};

// What follows a line at its line feed, by whether it was centred.
constexpr Text line_end(bool centred) {
  Text text;
  if (centred) text += html::kCentreOff;
  text += html::kParagraph;
  return text;
}
inline constexpr std::array<Text, 2> kLineEnds = {line_end(false), line_end(true)};

class WpHtmlSink {
 public:
  // Room for a short line and what ends it.
  static constexpr std::size_t kLineRoom = PendingLine::kSlack + Text::kCapacity;

  static constexpr bool kLineEndsEarly = false;
  WpHtmlSink(TextWriter& out, std::string_view scratch_folder)
      : out_(out), line_(PendingLine::kDefaultMemoryLimit, std::string(scratch_folder)) {}

  void character(int c) {
    line_.put(html::document_character(c));
    ++column_;
  }
  static constexpr FastPaths kFastPaths = kCharacters | kCodeRun;
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    line_.append_mapped(begin, end, html::copy_document_characters);
    column_ += static_cast<std::size_t>(end - begin);
  }

  // Every code in one place, its text looked up rather than chosen by a jump on its kind:
  // codes come at random in a document of codes. The one jump is the line end's, which
  // writes everything held; the other codes only add to it, the centre code a tag.
  void code(wp::Kind kind) {
    code_run<1>([kind](auto&& write) { write(kind); });
  }
  // Many codes in a row: the column (which no code but the line feed moves), the centre tags
  // and the place in the held line stay in locals, and each code's text is one fixed-size
  // copy into room reserved once. Through the members they would be loaded again after every
  // copy, since the bytes copied might overwrite them.
  template <std::size_t kMaxCodes, class Body>
  void code_run(Body&& body) {
    constexpr std::size_t kRoom = kMaxCodes * Text::kCapacity;
    // The held line's memory limit is far above any run's room, so the room is always there.
    static_assert(kRoom <= PendingLine::kDefaultMemoryLimit);
    char* at = line_.reserve(kRoom);
    std::size_t blanks = html::tab_blanks(column_);
    std::size_t centre_tags = centre_tags_;
    body([&](wp::Kind kind) {
      if (kind == wp::Kind::line_feed) {
        line_.commit(at);
        centre_tags_ = centre_tags;
        write_line(true);
        column_ = 0;
        centre_tags = 0;
        blanks = html::tab_blanks(0);
        at = line_.reserve(kRoom);  // an empty line has the room it had before
        return;
      }
      const Text& text = kLineTexts[static_cast<std::size_t>(kind)];
      // A tab's blanks by a mask: as a choice, compilers jump on the kind.
      const std::size_t tab_mask = std::size_t{0} - (kind == wp::Kind::tab);
      const std::size_t added = text.size() + ((blanks - text.size()) & tab_mask);
      if (added <= Text::kCapacity) [[likely]] {
        std::memcpy(at, text.padded_bytes(), Text::kCapacity);
        at += added;
      } else {  // blanks far into a line
        line_.commit(at);
        line_.repeat(' ', added);
        at = line_.reserve(kRoom);
      }
      centre_tags += kind == wp::Kind::centre;
    });
    line_.commit(at);
    centre_tags_ = centre_tags;
  }
  void carriage_return() { code(wp::Kind::carriage_return); }
  void line_feed() { code(wp::Kind::line_feed); }
  void tab() { code(wp::Kind::tab); }
  void centre() { code(wp::Kind::centre); }
  void bold_on() { code(wp::Kind::bold_on); }
  void bold_off() { code(wp::Kind::bold_off); }

  // The last line has no line feed: its text is written, its centring is never closed.
  void finish() { write_line(false); }

 private:
  // The centre tags owed ahead of the line, the line, and at a line feed what ends it.
  void write_line(bool at_line_feed) {
    const bool centred = centre_tags_ != 0;
    // Room for the usual few centre tags, a short line and what ends it, reserved once.
    Cursor cursor = out_.room(Text::kCapacity + kLineRoom);
    if (centre_tags_ <= kTagsAtOnce) [[likely]] {
      cursor.write(kCentreTags[centre_tags_]);
    } else {
      out_.commit(cursor);
      out_.repeat(html::kCentreOn, centre_tags_);
      cursor = out_.room(kLineRoom);
    }
    centre_tags_ = 0;
    if (line_.is_short()) [[likely]] {
      cursor = Cursor(line_.put_short(cursor.position()));
    } else {
      out_.commit(cursor);
      line_.write_to(out_);
      cursor = out_.room(kLineRoom);
    }
    // Not for the last line, which has no line feed: its centring is never closed.
    cursor.write_if(at_line_feed, kLineEnds[centred]);
    out_.commit(cursor);
  }

  TextWriter& out_;
  PendingLine line_;
  std::size_t column_ = 0;       // characters since the line began
  std::size_t centre_tags_ = 0;  // centre codes in the line so far
};

}  // namespace

void wp2html(ByteSource& in, TextWriter& out, const DocumentInfo& info) {
  html::write_prologue(out, info.title);
  WpHtmlSink sink(out, info.scratch_folder);
  wp::decode(in, sink);
  sink.finish();
  html::write_epilogue(out, html::Epilogue::after_line_feed);
}

}  // namespace quorrel
