#include <gtest/gtest.h>

#include "document_parts.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::bytes;
using testing::html_text;
using testing::sxw_body;
using testing::sxw_paragraph;

std::string plain_text(std::string_view input) {
  return testing::convert(OutputKind::text, TYPE_UNKNOWN, input);
}
std::string plain_html(std::string_view input) {
  return html_text(testing::convert(OutputKind::html, TYPE_UNKNOWN, input));
}
std::string plain_sxw(std::string_view input) {
  return sxw_body(testing::convert(OutputKind::sxw, TYPE_UNKNOWN, input));
}

std::string all_byte_values() {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  return all;
}

std::string printable_ascii() {
  std::string printable;
  for (int b = 32; b <= 126; ++b) printable.push_back(static_cast<char>(b));
  return printable;
}

TEST(PlainText, EveryLineFeedEndsALineWhateverStandsBeforeIt) {
  EXPECT_EQ(plain_text("ab\nxy\n"), "ab\r\nxy\r\n");
  // CR LF text keeps its lines: the carriage return is dropped, the line feed still counts.
  EXPECT_EQ(plain_text("ab\r\nxy\r\n"), "ab\r\nxy\r\n");
  EXPECT_EQ(plain_text("ab\rxy"), "abxy");  // a lone carriage return ends nothing
  EXPECT_EQ(plain_text("\n\nx"), "\r\n\r\nx");
  EXPECT_EQ(plain_text("ab\nxy"), "ab\r\nxy");  // no line end is added at the end
  EXPECT_EQ(plain_text(""), "");
}

TEST(PlainText, TabRightBeforeALineFeedFollowsTheLineEnd) {
  EXPECT_EQ(plain_text("a\t\nb"), "a\r\n\tb");
  EXPECT_EQ(plain_text("\t\t\n"), "\t\r\n\t");
  EXPECT_EQ(plain_text("a\t\r\nb"), "a\t\r\nb");  // the CR stands between them
  EXPECT_EQ(plain_text("a\t"), "a\t");
}

TEST(PlainText, AllByteValuesGiveLineEndTabAndPrintableAscii) {
  EXPECT_EQ(plain_text(all_byte_values()), "\r\n\t" + printable_ascii());
  EXPECT_EQ(plain_text(bytes({'c', 0xE9, 'a', 0x80, 0xFF, 0x1A, 0x7F, 'b'})), "cab");
}

TEST(PlainHtml, EachLineEndsWithAParagraphMark) {
  EXPECT_EQ(plain_html("ab\nxy\n"), "ab\r\n<P>xy\r\n<P>");
  EXPECT_EQ(plain_html("ab\nxy"), "ab\r\n<P>xy");  // the last line is still written
  EXPECT_EQ(plain_html("ab\r\nxy\r\n"), "ab\r\n<P>xy\r\n<P>");
  EXPECT_EQ(plain_html("ab\rxy"), "abxy");
  EXPECT_EQ(plain_html(""), "");
}

TEST(PlainHtml, TabWritesTheColumnOfTheNextStopInBlanks) {
  EXPECT_EQ(plain_html("\tx\t"), std::string(8, ' ') + "x" + std::string(8, ' '));
  EXPECT_EQ(plain_html("123456789\t"), "123456789" + std::string(16, ' '));
  EXPECT_EQ(plain_html("1234567\t"), "1234567" + std::string(8, ' '));
  EXPECT_EQ(plain_html("12345678\t"), "12345678" + std::string(16, ' '));
  // Blanks of earlier tabs do not count, and each line starts at column 0 again.
  EXPECT_EQ(plain_html("\t\t"), std::string(16, ' '));
  EXPECT_EQ(plain_html("123456789\nab\t"), "123456789\r\n<P>ab" + std::string(8, ' '));
}

TEST(PlainHtml, AngleBracketsBecomeSquareAndNothingIsEscaped) {
  EXPECT_EQ(plain_html("<a & \"b\" 'c'>"), "[a & \"b\" 'c']");
}

TEST(PlainHtml, AllByteValuesGiveBlanksParagraphAndPrintableAscii) {
  std::string printable = printable_ascii();
  printable['<' - 32] = '[';
  printable['>' - 32] = ']';
  EXPECT_EQ(plain_html(all_byte_values()), std::string(8, ' ') + "\r\n<P>" + printable);
}

TEST(PlainHtml, LinesFarLongerThanSixtyFourThousandBytesArriveWhole) {
  std::string line(200000, 'w');
  line[70000] = '<';
  std::string expected_line = line;
  expected_line[70000] = '[';
  EXPECT_EQ(plain_html(line + "\t" + line + "\nend"),
            expected_line + std::string(200008, ' ') + expected_line + "\r\n<P>end");
  EXPECT_EQ(plain_html(line), expected_line);  // and without a line feed at all
}

TEST(PlainSxw, EachLineFeedBreaksTheParagraph) {
  std::string two = sxw_paragraph("ab") + "\r\n" + sxw_paragraph("xy");
  EXPECT_EQ(plain_sxw("ab\r\nxy"), two);
  EXPECT_EQ(plain_sxw("ab\nxy"), two);
  EXPECT_EQ(plain_sxw("ab\rxy"), sxw_paragraph("abxy"));
  EXPECT_EQ(plain_sxw("ab\n"), sxw_paragraph("ab") + "\r\n" + sxw_paragraph(""));
  EXPECT_EQ(plain_sxw(""), sxw_paragraph(""));
}

TEST(PlainSxw, TabElementsEscapesAndDroppedBytes) {
  EXPECT_EQ(plain_sxw("a\tb"), sxw_paragraph("a\r\n<text:tab-stop/>b"));
  EXPECT_EQ(plain_sxw("<a & \"b\" 'c'>"), sxw_paragraph("&lt;a &amp; &quot;b&quot; 'c'&gt;"));
  EXPECT_EQ(plain_sxw(bytes({'c', 0xE9, 'a', 0x80, 0xFF, 0x0C, 'b'})), sxw_paragraph("cab"));
}

TEST(PlainSxw, UsesTheBasicStyleSet) {
  std::string document = testing::convert(OutputKind::sxw, TYPE_UNKNOWN, "x");
  EXPECT_NE(document.find("</office:font-decls><office:automatic-styles>"), std::string::npos);
  EXPECT_EQ(document.find("text:style-name=\"P1\""), std::string::npos);  // defined, not used
}

TEST(PlainExample, NotesAndMarkupInEveryOutput) {
  std::string notes = testing::example("notes.txt");
  EXPECT_EQ(plain_text(notes), "Shopping list\r\n\tbread\r\n\tmilk\r\nDone.");
  EXPECT_EQ(plain_html(notes), "Shopping list\r\n<P>" + std::string(8, ' ') + "bread\r\n<P>" +
                                   std::string(8, ' ') + "milk\r\n<P>Done.");
  std::string markup = testing::example("markup.txt");
  EXPECT_EQ(plain_html(markup), "if a [ b && c ] d then print \"quoted\"\r\n<P>last line");
  EXPECT_EQ(plain_sxw(markup),
            sxw_paragraph("if a &lt; b &amp;&amp; c &gt; d then print &quot;quoted&quot;") +
                "\r\n" + sxw_paragraph("last line"));
}

}  // namespace
}  // namespace quorrel
