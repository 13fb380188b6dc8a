// The builder's promise to every writer: whatever order a reader calls it in, the sink sees a
// well-formed document.
#include "document/builder.h"

#include <gtest/gtest.h>

#include <functional>

#include "document/utf8.h"
#include "event_log.h"

namespace quorrel::document {
namespace {

std::string build(const std::function<void(DocumentBuilder&)>& read) {
  testing::EventLog log;
  DocumentBuilder builder(log);
  read(builder);
  builder.finish();
  return log.log;
}

struct Case {
  const char* name;
  std::function<void(DocumentBuilder&)> read;
  const char* events;
};

TEST(DocumentBuilder, DeliversWellFormedEvents) {
  const Case cases[] = {
      {"empty document", [](DocumentBuilder&) {}, "[end]"},
      {"text runs join, paragraph opens lazily",
       [](DocumentBuilder& b) {
         b.printable_ascii('a');
         b.printable_ascii("bc");
         b.character(0xE9);
         b.paragraph_break();
       },
       "[P]abc\xC3\xA9[/P][end]"},
      {"blank lines are empty paragraphs",
       [](DocumentBuilder& b) {
         b.paragraph_break();
         b.paragraph_break();
       },
       "[P][/P][P][/P][end]"},
      {"attributes span paragraphs and split runs",
       [](DocumentBuilder& b) {
         b.printable_ascii("a");
         b.set_attribute(Attribute::bold, true);
         b.set_attribute(Attribute::bold, true);
         b.printable_ascii("b");
         b.paragraph_break();
         b.printable_ascii("c");
         b.set_attribute(Attribute::bold, false);
         b.set_attribute(Attribute::italic, true);
         b.printable_ascii("d");
       },
       "[P]a{b|b}[/P][P]{b|c}{i|d}[/P][end]"},
      {"control characters never reach the sink",
       [](DocumentBuilder& b) {
         b.text("x\ty\x7Fz");
         b.character(0x0A);
         b.character(0xD800);
       },
       "[P]xyz\xEF\xBF\xBD[/P][end]"},
      {"centring applies to a paragraph not yet begun, justification from then on",
       [](DocumentBuilder& b) {
         b.align_paragraph(Align::center);
         b.printable_ascii("t");
         b.align_paragraph(Align::right);  // too late for this one
         b.paragraph_break();
         b.printable_ascii("u");
         b.set_justification(Align::justify);  // too late for "u"
         b.paragraph_break();
         b.printable_ascii("v");
       },
       "[P:c]t[/P][P]u[/P][P:j]v[/P][end]"},
      {"a note keeps the body's paragraph and attributes",
       [](DocumentBuilder& b) {
         b.set_attribute(Attribute::underline, true);
         b.printable_ascii("x");
         b.open_sub_document(SubDocument::footnote);
         b.printable_ascii("n1");
         b.paragraph_break();
         b.open_sub_document(SubDocument::comment);  // nested: read into the note
         b.printable_ascii("n2");
         b.close_sub_document();
         b.set_attribute(Attribute::bold, true);  // left open at the note's end
         b.close_sub_document();
         b.printable_ascii("y");
       },
       "[P]{u|x}[footnote][P]n1[/P][P]n2[/P][/footnote]{u|y}[/P][end]"},
      {"tables write rows and cells only when a cell opens",
       [](DocumentBuilder& b) {
         b.printable_ascii("before");
         b.open_table(2);
         b.open_row();
         b.open_cell();
         b.printable_ascii("a");
         b.paragraph_break();
         b.open_cell();
         b.open_row();  // a row without cells is not written
         b.open_row();
         b.printable_ascii("b");  // text outside a cell opens one
         b.close_table();
         b.open_table(1);  // a table without cells is not written
         b.close_table();
         b.page_break();
         b.printable_ascii("after");
       },
       "[P]before[/P][table 2][row][cell][P]a[/P][/cell][cell][/cell][/row][row][cell][P]b[/P]"
       "[/cell][/row][/table][page][P]after[/P][end]"},
      {"finish closes a note, a table and a paragraph left open",
       [](DocumentBuilder& b) {
         b.open_cell();
         b.printable_ascii("c");
         b.open_sub_document(SubDocument::endnote);
         b.tab();
         b.line_break();
       },
       "[table 0][row][cell][P]c[endnote][P][tab][br][/P][/endnote][/P][/cell][/row][/table]"
       "[end]"},
  };
  for (const Case& c : cases) EXPECT_EQ(build(c.read), c.events) << c.name;
}

TEST(DocumentBuilder, LongTextIsDeliveredInBoundedRuns) {
  testing::EventLog log;
  DocumentBuilder builder(log);
  std::string line(1000, 'x');
  for (int i = 0; i < 1000; ++i) builder.printable_ascii(line);
  builder.finish();
  EXPECT_EQ(log.log.size(), 1000 * 1000 + std::string("[P][/P][end]").size());
}

TEST(Utf8, ValidPrefixRejectsMalformedSequences) {
  EXPECT_TRUE(is_valid_utf8("plain \xC3\xA9 \xE2\x80\x9C \xF0\x9F\x98\x80"));
  EXPECT_EQ(valid_utf8_prefix("ab\xC0\xAF"), 2u);          // overlong
  EXPECT_EQ(valid_utf8_prefix("a\xED\xA0\x80"), 1u);       // surrogate
  EXPECT_EQ(valid_utf8_prefix("a\xF4\x90\x80\x80"), 1u);   // past U+10FFFF
  EXPECT_EQ(valid_utf8_prefix("ab\xE2\x80"), 2u);          // cut short
  std::string encoded;
  for (char32_t c : {U'A', U'\u00E9', U'\u201C', U'\U0001F600'}) append_utf8(encoded, c);
  EXPECT_EQ(encoded, "A\xC3\xA9\xE2\x80\x9C\xF0\x9F\x98\x80");
}

}  // namespace
}  // namespace quorrel::document
