// WordPerfect 6-9 to HTML: tags written as the codes come, never balanced and never closed at
// the end of the document.
#include "convert/converters.h"
#include "convert/wpd/wpd_decoder.h"
#include "output/html_frame.h"

namespace quorrel {

namespace {

// The kinds an attribute number can switch; `other` numbers switch nothing.
enum AttributeKind : std::uint8_t { bold, italics, heading, other };
struct Attribute {
  AttributeKind kind;
  const Literal* start;
  const Literal* end;
};
constexpr Literal kNothing{""};  // the tag of `other`
constexpr Attribute attribute_of(int number) {
  if (number == wpd::kAttributeBold) return {bold, &html::kBoldOn, &html::kBoldOff};
  if (number == wpd::kAttributeItalics) return {italics, &html::kItalicsOn, &html::kItalicsOff};
  // The attribute number is the level as written: 0 gives H0. The end tag carries its own
  // group's number, which may differ from the start tag's.
  if (number < wpd::kHeadingLevels) {
    return {heading, &html::kHeadingStarts[number], &html::kHeadingEnds[number]};
  }
  return {other, &kNothing, &kNothing};
}
constexpr auto kAttributes = byte_table<Attribute>(attribute_of);

class WpdHtmlSink {
 public:
  explicit WpdHtmlSink(TextWriter& out) : out_(out) {}

  void character(int c) {
    out_.put_raw(html::document_character(c));
    ++column_;
  }
  static constexpr FastPaths kFastPaths = kCharacters;
  void characters(const std::uint8_t* begin, const std::uint8_t* end) {
    html::write_document_characters(out_, begin, end);
    column_ += static_cast<std::size_t>(end - begin);
  }
  void space_code() { out_.put_raw(' '); }
  // The run fills up to the next multiple of 8 above the column and is that whole multiple
  // long, not the distance to it. Neither its blanks nor the space code count as characters.
  void tab() { out_.repeat(' ', column_ / 8 * 8 + 8); }
  // Both returns start a new line of text, so the tab column starts again from 0; counted over
  // the whole document instead, every tab would grow by all the text before it.
  void soft_return() {
    out_.write(html::kLineBreak);
    column_ = 0;
  }
  void hard_return() {
    out_.write(html::kParagraph);
    column_ = 0;
    // Centring ends with its paragraph; its end tag follows the paragraph mark.
    if (center_) {
      out_.write(html::kCentreOff);
      center_ = false;
    }
  }
  void centre() {
    if (!center_) {
      out_.write(html::kCentreOn);
      center_ = true;
    }
  }
  void rule() { out_.write(html::kRule); }

  // A start tag only while its kind is off, an end tag only while it is on. The attribute
  // number is looked up and the tag written or not without a jump: on a page full of codes
  // tests on the number and the state would guess wrong on most attribute codes.
  void attribute_on(int number) {
    const Attribute& attribute = kAttributes[static_cast<std::uint8_t>(number)];
    out_.write_if(!on_[attribute.kind], *attribute.start);
    on_[attribute.kind] = true;
  }
  void attribute_off(int number) {
    const Attribute& attribute = kAttributes[static_cast<std::uint8_t>(number)];
    out_.write_if(on_[attribute.kind], *attribute.end);
    on_[attribute.kind] = false;
  }

 private:
  TextWriter& out_;
  std::size_t column_ = 0;  // characters since the last return
  bool on_[4] = {};         // by AttributeKind: bold, italics, a heading; `other` is never written
  bool center_ = false;
};

}  // namespace

void wpd2html(ByteSource& in, TextWriter& out, const DocumentInfo& info) {
  html::write_prologue(out, info.title);
  WpdHtmlSink sink(out);
  wpd::decode(in, sink);
  html::write_epilogue(out, html::Epilogue::after_line_feed);
}

}  // namespace quorrel
