// WordPerfect 5.1 to HTML and to the SXW content document: units, escapes, attribute tags
// and spans, and the frames around the body.
#include <gtest/gtest.h>

#include <random>

#include "convert/registry.h"
#include "output/skeleton.h"
#include "output/sxw_content.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::bytes;

std::string convert(OutputKind kind, const std::string& area, std::string_view title) {
  return testing::convert_area(converter_for(kind, TYPE_W51), area, title);
}

// The document between a frame's opening and closing text, after checking both.
std::string body_within(const std::string& document, const std::string& opening,
                        const std::string& closing) {
  if (document.size() < opening.size() + closing.size() || !document.starts_with(opening) ||
      !document.ends_with(closing)) {
    ADD_FAILURE() << "frame missing around:\n" << document;
    return document;
  }
  return document.substr(opening.size(), document.size() - opening.size() - closing.size());
}

const std::string kHtmlPrologue =
    "<HTML>\r\n<HEAD>\r\n<TITLE>memo.wp5</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n";
const std::string kHtmlEpilogue = "</BODY>\r\n</HTML>\r\n";

std::string html_body(const std::string& area) {
  return body_within(convert(OutputKind::html, area, "memo.wp5"), kHtmlPrologue, kHtmlEpilogue);
}

TEST(W51Html, WorkedIndentationExample) {
  EXPECT_EQ(html_body(bytes({193, 0, 193, 194, 0, 194, '1', 13, '2', 10, '3', 13, '4'})),
            "\t\t1\r\n\t\t2\r\n<P>\t\t3\r\n4");
}

TEST(W51Html, AngleBracketsBecomeSquareAndNothingElseIsEscaped) {
  EXPECT_EQ(html_body("1<2>3 & \"q\" 'a'"), "1[2]3 & \"q\" 'a'");
}

TEST(W51Html, SoftReturnIsALineFeedHardReturnAParagraphMark) {
  EXPECT_EQ(html_body(bytes({'a', 13, 'b', 144, 'c', 10, 'd', 169, 'e'})), "a\r\nb\r\nc\r\n<P>d e");
}

TEST(W51Html, BoldAndItalicTagsAreIndependent) {
  EXPECT_EQ(html_body(bytes({195, 12, 195, '1', 196, 12, 196, 195, 15, 195, '2', 196, 15, 196})),
            "<B>1</B><I>2</I>");
  // Bold on, italics on, bold off, italics off: the tags cross.
  EXPECT_EQ(html_body(bytes({195, 12, 195, 195, 15, 195, 'a', 196, 12, 196, 'b', 196, 15, 196})),
            "<B><I>a</B>b</I>");
}

TEST(W51Html, OnlyAChangeOfStateWritesATag) {
  // Bold on twice, italics off while closed, and attribute 14 on and off.
  EXPECT_EQ(html_body(bytes({195, 12,  195, 195, 12,  195, 'a', 196, 15,  196, 195,
                             14,  195, 196, 14,  196, 196, 12,  196, 196, 12,  196})),
            "<B>a</B>");
}

TEST(W51Html, AttributeNumberIsTheLastByteOfTheGroup) {
  EXPECT_EQ(html_body(bytes({195, 12, 15, 195, 'x'})), "<I>x");
}

TEST(W51Html, BoldRunsAcrossAHardReturnAndStaysOpenAtTheEnd) {
  EXPECT_EQ(html_body(bytes({195, 12, 195, 'a', 10, 'b'})), "<B>a\r\n<P>b");
}

TEST(W51Html, EmptyDocumentAreaGivesTheFrameAlone) {
  EXPECT_EQ(convert(OutputKind::html, "", "memo.wp5"), kHtmlPrologue + kHtmlEpilogue);
}

// --- SXW ---------------------------------------------------------------------------------

const std::string kTab = "\r\n<text:tab-stop/>";
const std::string kParagraphChange = "</text:p>\r\n<text:p text:style-name=\"Standard\">";
const std::string kBold = "<text:span text:style-name=\"P1\">";
const std::string kItalic = "<text:span text:style-name=\"P2\">";
const std::string kSpanEnd = "\r\n</text:span>";
const std::string kSxwEpilogue = "\r\n</text:p>\r\n</office:body>\r\n</office:document-content>";

std::string basic_prolog() {
  std::string stored;
  StringSink sink(stored);
  TextWriter out(sink);
  sxw::write_prolog(out, sxw::StyleSet::basic);
  out.flush();
  return stored;
}

std::string sxw_body(const std::string& area) {
  return body_within(convert(OutputKind::sxw, area, "memo.wp5"), basic_prolog(), kSxwEpilogue);
}

TEST(W51Sxw, WorkedIndentationExample) {
  EXPECT_EQ(sxw_body(bytes({193, 0, 193, 194, 0, 194, '1', 13, '2', 10, '3', 13, '4'})),
            kTab + kTab + "1 " + kTab + kTab + "2" + kParagraphChange + kTab + kTab + "3 4");
}

TEST(W51Sxw, CharactersAreEscapedForXml) {
  EXPECT_EQ(sxw_body("1<&>\"2'"), "1&lt;&amp;&gt;&quot;2'");
}

TEST(W51Sxw, SoftReturnIsASpaceHardReturnANewParagraph) {
  EXPECT_EQ(sxw_body(bytes({'a', 13, 'b', 11, 'c', 10, 'd', 169, 'e', 9, 'f'})),
            "a b c" + kParagraphChange + "d e" + kTab + "f");
}

TEST(W51Sxw, BoldAndItalicSpans) {
  EXPECT_EQ(sxw_body(bytes({195, 12, 195, '1', 196, 12, 196, 195, 15, 195, '2', 196, 15, 196})),
            kBold + "1" + kSpanEnd + kItalic + "2" + kSpanEnd);
}

TEST(W51Sxw, OneSpanAtATime) {
  // Bold on, italics on, italics off, bold off: italics closes the bold span, and the final
  // bold-off finds nothing open.
  EXPECT_EQ(
      sxw_body(bytes({195, 12, 195, 'a', 195, 15, 195, 'b', 196, 15, 196, 'c', 196, 12, 196, 'd'})),
      kBold + "a" + kSpanEnd + kItalic + "b" + kSpanEnd + "cd");
}

TEST(W51Sxw, RepeatedOnAndUnmatchedOffChangeNothing) {
  EXPECT_EQ(sxw_body(bytes({195, 12,  195, 'a', 195, 12, 195, 'b', 196, 15, 196,
                            'c', 195, 14,  195, 196, 14, 196, 'd', 196, 12, 196})),
            kBold + "abcd" + kSpanEnd);
}

TEST(W51Sxw, SpanIsCarriedAcrossAHardReturnWithTheIndentInside) {
  EXPECT_EQ(sxw_body(bytes({194, 0, 194, 195, 12, 195, 'a', 10, 'b', 196, 12, 196})),
            kTab + kBold + "a" + kSpanEnd + kParagraphChange + kBold + kTab + "b" + kSpanEnd);
}

TEST(W51Sxw, SpanOpenAtTheEndIsClosedInsideTheParagraph) {
  EXPECT_EQ(sxw_body(bytes({195, 15, 195, 'x'})), kItalic + "x" + kSpanEnd);
  // Also when the input ends inside a group.
  EXPECT_EQ(sxw_body(bytes({195, 12, 195, 'y', 212, 'z'})), kBold + "y" + kSpanEnd);
}

TEST(W51Sxw, EmptyDocumentAreaIsOneEmptyParagraph) {
  EXPECT_EQ(convert(OutputKind::sxw, "", "memo.wp5"), basic_prolog() + kSxwEpilogue);
}

// Walks the body's elements: spans must never nest, and none may be open where a paragraph
// ends. Returns a description of the first fault, "" when there is none.
std::string span_fault(const std::string& body) {
  bool span_open = false;
  for (std::size_t at = body.find('<'); at != std::string::npos; at = body.find('<', at + 1)) {
    std::string_view tag(body.data() + at, body.size() - at);
    if (tag.starts_with("<text:span ")) {
      if (span_open) return "nested span at " + std::to_string(at);
      span_open = true;
    } else if (tag.starts_with("</text:span>")) {
      if (!span_open) return "span end without span at " + std::to_string(at);
      span_open = false;
    } else if (tag.starts_with("</text:p>")) {
      if (span_open) return "paragraph ends inside a span at " + std::to_string(at);
    }
  }
  return span_open ? "span open at the end" : "";
}

TEST(W51Sxw, SpansStayInsideParagraphsInRandomDocuments) {
  std::mt19937 random(51);
  const std::vector<std::string> pieces = {"word ",
                                           bytes({10}),
                                           bytes({13}),
                                           bytes({9}),
                                           bytes({169}),
                                           bytes({195, 12, 195}),
                                           bytes({196, 12, 196}),
                                           bytes({195, 15, 195}),
                                           bytes({196, 15, 196}),
                                           bytes({195, 14, 195}),
                                           bytes({194, 0, 194}),
                                           bytes({193, 0, 193})};
  for (int document = 0; document < 200; ++document) {
    std::string area;
    int length = static_cast<int>(random() % 60);
    for (int i = 0; i < length; ++i) area += pieces[random() % pieces.size()];
    std::string body = convert(OutputKind::sxw, area, "r.wp5");
    // The epilogue's paragraph end counts as well.
    EXPECT_EQ(span_fault(body.substr(basic_prolog().size())), "") << "document " << document;
  }
}

}  // namespace
}  // namespace quorrel
