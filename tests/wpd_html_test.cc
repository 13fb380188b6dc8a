#include <gtest/gtest.h>

#include "convert/registry.h"
#include "example_documents.h"
#include "output/skeleton.h"
#include "test_support.h"

namespace quorrel {
namespace {

using examples::WpdBuilder;
using testing::bytes;

constexpr std::string_view kPrologue =
    "<HTML>\r\n<HEAD>\r\n<TITLE>t.wpd</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n";
constexpr std::string_view kEpilogue = "\r\n</BODY>\r\n</HTML>\r\n";

// What wpd2html writes between the prologue and the epilogue, which must both be there.
std::string html_body(const std::string& area) {
  std::string page = testing::convert_wpd_area(OutputKind::html, area);
  if (page.size() < kPrologue.size() + kEpilogue.size() || !page.starts_with(kPrologue) ||
      !page.ends_with(kEpilogue)) {
    ADD_FAILURE() << "no frame around: " << page;
    return page;
  }
  return page.substr(kPrologue.size(), page.size() - kPrologue.size() - kEpilogue.size());
}

std::string spaces(std::size_t n) { return std::string(n, ' '); }

TEST(WpdHtml, EmptyDocumentIsTheFrameAlone) {
  EXPECT_EQ(testing::convert_wpd_area(OutputKind::html, "", "report.wpd"),
            "<HTML>\r\n<HEAD>\r\n<TITLE>report.wpd</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n"
            "\r\n</BODY>\r\n</HTML>\r\n");
}

TEST(WpdHtml, AngleBracketsBecomeSquareAndNothingElseIsEscaped) {
  EXPECT_EQ(html_body("a<b> & \"c\""), "a[b] & \"c\"");
  // A bracket right before an attribute group leaves the group's own number in charge.
  EXPECT_EQ(html_body("<" + bytes({242, 12, 242}) + ">"), "[<B>]");
  EXPECT_EQ(html_body(bytes({'a', 9, 10, 13, 127, 129, 203, 205, 'b'})), "ab");
}

TEST(WpdHtml, ReturnsBreakLinesAndParagraphs) {
  EXPECT_EQ(html_body(WpdBuilder().text("a").soft_return().text("b").document_area()),
            "a\r\n<BR>b");
  EXPECT_EQ(html_body(bytes({'a', 204, 204, 'b'})), "a\r\n<P>\r\n<P>b");
  EXPECT_EQ(html_body(bytes({'a', 128, 'b'})), "a b");
  EXPECT_EQ(html_body(WpdBuilder().text("a").rule().text("b").document_area()), "a<HR>b");
}

TEST(WpdHtml, CentringEndsAfterTheNextParagraphMark) {
  EXPECT_EQ(html_body(WpdBuilder().centre().text("Title").hard_return().text("x").document_area()),
            "<CENTER>Title\r\n<P></CENTER>x");
  // Two centre groups before one return open it once; a soft return does not end it.
  EXPECT_EQ(html_body(WpdBuilder()
                          .centre()
                          .text("a")
                          .centre()
                          .soft_return()
                          .text("b")
                          .hard_return()
                          .hard_return()
                          .document_area()),
            "<CENTER>a\r\n<BR>b\r\n<P></CENTER>\r\n<P>");
}

TEST(WpdHtml, TabRunsFillToTheNextMultipleOfEightOfTheLine) {
  WpdBuilder start;
  start.tab().tab().text("x");
  EXPECT_EQ(html_body(start.document_area()), spaces(8) + spaces(8) + "x");
  WpdBuilder after_ten;
  after_ten.text("0123456789").tab();
  EXPECT_EQ(html_body(after_ten.document_area()), "0123456789" + spaces(16));
  // Neither the space code nor a tab's own blanks count as characters.
  WpdBuilder blanks;
  blanks.space().space().space().space().space().space().space().space().space().tab();
  EXPECT_EQ(html_body(blanks.document_area()), spaces(9) + spaces(8));
  // Each return starts the count again; the run is the whole multiple, not the distance to it.
  WpdBuilder after_returns;
  after_returns.text("0123456789")
      .hard_return()
      .tab()
      .text("abc")
      .soft_return()
      .text("0123456")
      .tab();
  EXPECT_EQ(html_body(after_returns.document_area()),
            "0123456789\r\n<P>" + spaces(8) + "abc\r\n<BR>0123456" + spaces(8));
}

TEST(WpdHtml, HeadingLevelIsTheAttributeNumberOfEachTag) {
  EXPECT_EQ(html_body(bytes({242, 0, 242, 'h', 243, 0, 243})), "<H0>h</H0>");
  EXPECT_EQ(html_body(bytes({242, 1, 242, 'h', 243, 2, 243})), "<H1>h</H2>");
  // A second start while a heading is on and an end while none is on write nothing; 3 is no
  // heading at all.
  EXPECT_EQ(html_body(bytes({243, 1, 243, 242, 2, 242, 242, 0, 242, 'h',
                             243, 0, 243, 243, 1, 243, 242, 3, 242, 'x'})),
            "<H2>h</H0>x");
}

TEST(WpdHtml, AttributeTagsFollowTheCodesAndAreNeverBalanced) {
  // Bold on twice writes one tag; off while off writes nothing.
  EXPECT_EQ(html_body(bytes(
                {243, 12, 243, 242, 12, 242, 'a', 242, 12, 242, 'b', 243, 12, 243, 243, 12, 243})),
            "<B>ab</B>");
  // Bold and italics overlap in the order they come; returns do not end them.
  EXPECT_EQ(
      html_body(bytes({242, 12, 242, 'a', 242, 8, 242, 'b', 243, 12, 243, 204, 'c', 243, 8, 243})),
      "<B>a<I>b</B>\r\n<P>c</I>");
  // Other attribute numbers and bare numbers outside a group write nothing.
  EXPECT_EQ(html_body(bytes({242, 5, 242, 12, 8, 'a'})), "a");
  // Still on at the end: the epilogue follows the text directly.
  EXPECT_EQ(testing::convert_wpd_area(OutputKind::html, bytes({242, 12, 242, 'a'})),
            std::string(kPrologue) + "<B>a" + std::string(kEpilogue));
}

TEST(WpdHtml, CodesInsideGroupsWriteNothing) {
  EXPECT_EQ(html_body(bytes({212, 'x', 204, 224, 242, 12, 242, 212, 'y'})), "y");
  // 208, 208 is a line break, and the 18 bytes after it are dropped unexamined.
  EXPECT_EQ(html_body(bytes({208, 208}) + std::string(18, 'x') + "y"), "\r\n<BR>y");
}

TEST(WpdHtml, ExampleMemo) {
  std::string memo = examples::example_files()[0].bytes;
  MemoryConversion result =
      convert_memory(converter_for(OutputKind::html, TYPE_WPD), memo, "memo.wpd");
  EXPECT_EQ(result.output,
            "<HTML>\r\n<HEAD>\r\n<TITLE>memo.wpd</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n"
            "<CENTER><B>Memorandum</B>\r\n<P></CENTER>\r\n<P>To:" +
                spaces(8) + "All staff\r\n<P>From:" + spaces(8) +
                "The archive\r\n<P><HR>Our old documents [all of them] are now readable\r\n"
                "<BR>again, with <I>nothing</I> lost & nothing \"guessed\".\r\n<P>"
                "\r\n</BODY>\r\n</HTML>\r\n");
}

}  // namespace
}  // namespace quorrel
