#include <gtest/gtest.h>

#include "document_parts.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::bytes;
using testing::sxw_paragraph;

const testing::Outputs plain{TYPE_UNKNOWN};

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
  EXPECT_EQ(plain.text("ab\nxy\n"), "ab\r\nxy\r\n");
  // CR LF text keeps its lines: the carriage return is dropped, the line feed still counts.
  EXPECT_EQ(plain.text("ab\r\nxy\r\n"), "ab\r\nxy\r\n");
  EXPECT_EQ(plain.text("ab\rxy"), "abxy");  // a lone carriage return ends nothing
  EXPECT_EQ(plain.text("\n\nx"), "\r\n\r\nx");
  EXPECT_EQ(plain.text("ab\nxy"), "ab\r\nxy");  // no line end is added at the end
  EXPECT_EQ(plain.text(""), "");
}

TEST(PlainText, TabRightBeforeALineFeedFollowsTheLineEnd) {
  EXPECT_EQ(plain.text("a\t\nb"), "a\r\n\tb");
  EXPECT_EQ(plain.text("\t\t\n"), "\t\r\n\t");
  EXPECT_EQ(plain.text("a\t\r\nb"), "a\t\r\nb");  // the CR stands between them
  EXPECT_EQ(plain.text("a\t"), "a\t");
}

TEST(PlainText, AllByteValuesGiveLineEndTabAndPrintableAscii) {
  EXPECT_EQ(plain.text(all_byte_values()), "\r\n\t" + printable_ascii());
  EXPECT_EQ(plain.text(bytes({'c', 0xE9, 'a', 0x80, 0xFF, 0x1A, 0x7F, 'b'})), "cab");
}

TEST(PlainHtml, EachLineEndsWithAParagraphMark) {
  EXPECT_EQ(plain.html("ab\nxy\n"), "ab\r\n<P>xy\r\n<P>");
  EXPECT_EQ(plain.html("ab\nxy"), "ab\r\n<P>xy");  // the last line is still written
  EXPECT_EQ(plain.html("ab\r\nxy\r\n"), "ab\r\n<P>xy\r\n<P>");
  EXPECT_EQ(plain.html("ab\rxy"), "abxy");
  EXPECT_EQ(plain.html(""), "");
}

TEST(PlainHtml, TabWritesTheColumnOfTheNextStopInBlanks) {
  EXPECT_EQ(plain.html("\tx\t"), std::string(8, ' ') + "x" + std::string(8, ' '));
  EXPECT_EQ(plain.html("123456789\t"), "123456789" + std::string(16, ' '));
  EXPECT_EQ(plain.html("1234567\t"), "1234567" + std::string(8, ' '));
  EXPECT_EQ(plain.html("12345678\t"), "12345678" + std::string(16, ' '));
  // Blanks of earlier tabs do not count, and each line starts at column 0 again.
  EXPECT_EQ(plain.html("\t\t"), std::string(16, ' '));
  EXPECT_EQ(plain.html("123456789\nab\t"), "123456789\r\n<P>ab" + std::string(8, ' '));
}

TEST(PlainHtml, AngleBracketsBecomeSquareAndNothingIsEscaped) {
  EXPECT_EQ(plain.html("<a & \"b\" 'c'>"), "[a & \"b\" 'c']");
}

TEST(PlainHtml, AllByteValuesGiveBlanksParagraphAndPrintableAscii) {
  std::string printable = printable_ascii();
  printable['<' - 32] = '[';
  printable['>' - 32] = ']';
  EXPECT_EQ(plain.html(all_byte_values()), std::string(8, ' ') + "\r\n<P>" + printable);
}

TEST(PlainHtml, LinesFarLongerThanSixtyFourThousandBytesArriveWhole) {
  std::string line(200000, 'w');
  line[70000] = '<';
  std::string expected_line = line;
  expected_line[70000] = '[';
  EXPECT_EQ(plain.html(line + "\t" + line + "\nend"),
            expected_line + std::string(200008, ' ') + expected_line + "\r\n<P>end");
  EXPECT_EQ(plain.html(line), expected_line);  // and without a line feed at all
}

TEST(PlainSxw, EachLineFeedBreaksTheParagraph) {
  std::string two = sxw_paragraph("ab") + "\r\n" + sxw_paragraph("xy");
  EXPECT_EQ(plain.sxw("ab\r\nxy"), two);
  EXPECT_EQ(plain.sxw("ab\nxy"), two);
  EXPECT_EQ(plain.sxw("ab\rxy"), sxw_paragraph("abxy"));
  EXPECT_EQ(plain.sxw("ab\n"), sxw_paragraph("ab") + "\r\n" + sxw_paragraph(""));
  EXPECT_EQ(plain.sxw(""), sxw_paragraph(""));
}

TEST(PlainSxw, TabElementsEscapesAndDroppedBytes) {
  EXPECT_EQ(plain.sxw("a\tb"), sxw_paragraph("a\r\n<text:tab-stop/>b"));
  EXPECT_EQ(plain.sxw("<a & \"b\" 'c'>"), sxw_paragraph("&lt;a &amp; &quot;b&quot; 'c'&gt;"));
  EXPECT_EQ(plain.sxw(bytes({'c', 0xE9, 'a', 0x80, 0xFF, 0x0C, 'b'})), sxw_paragraph("cab"));
}

TEST(PlainSxw, UsesTheBasicStyleSet) {
  std::string document = testing::convert(OutputKind::sxw, TYPE_UNKNOWN, "x");
  EXPECT_NE(document.find("</office:font-decls><office:automatic-styles>"), std::string::npos);
  EXPECT_EQ(document.find("text:style-name=\"P1\""), std::string::npos);  // defined, not used
}

TEST(PlainExample, NotesAndMarkupInEveryOutput) {
  std::string notes = testing::example("notes.txt");
  EXPECT_EQ(plain.text(notes), "Shopping list\r\n\tbread\r\n\tmilk\r\nDone.");
  EXPECT_EQ(plain.html(notes), "Shopping list\r\n<P>" + std::string(8, ' ') + "bread\r\n<P>" +
                                   std::string(8, ' ') + "milk\r\n<P>Done.");
  std::string markup = testing::example("markup.txt");
  EXPECT_EQ(plain.html(markup), "if a [ b && c ] d then print \"quoted\"\r\n<P>last line");
  EXPECT_EQ(plain.sxw(markup),
            sxw_paragraph("if a &lt; b &amp;&amp; c &gt; d then print &quot;quoted&quot;") +
                "\r\n" + sxw_paragraph("last line"));
}

}  // namespace
}  // namespace quorrel
