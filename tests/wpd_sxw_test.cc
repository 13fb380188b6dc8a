#include <gtest/gtest.h>

#include "example_documents.h"
#include "test_support.h"

namespace quorrel {
namespace {

using examples::WpdBuilder;
using testing::bytes;

constexpr std::string_view kBodyStart =
    "</text:sequence-decls>\r\n<text:p text:style-name=\"Standard\">";
constexpr std::string_view kEpilogue =
    "\r\n</text:p>\r\n</office:body>\r\n</office:document-content>";
// A paragraph break as wpd2xml writes it.
const std::string kBreak = "</text:p>\r\n<text:p text:style-name=\"Standard\">";
const std::string kBold = "<text:span text:style-name=\"T12\">";
const std::string kItalics = "<text:span text:style-name=\"T8\">";
const std::string kCentred = "<text:span text:style-name=\"H5\">";
const std::string kEnd = "</text:span>";

// What wpd2xml writes inside the first paragraph and up to the epilogue.
std::string sxw_body(const std::string& area) {
  std::string doc = testing::convert_wpd_area(OutputKind::sxw, area);
  std::size_t start = doc.find(kBodyStart);
  if (start == std::string::npos || !doc.ends_with(kEpilogue)) {
    ADD_FAILURE() << "no frame around: " << doc;
    return doc;
  }
  start += kBodyStart.size();
  return doc.substr(start, doc.size() - start - kEpilogue.size());
}

TEST(WpdSxw, EmptyDocumentIsTheFullFrameByteForByte) {
  std::string expected = testing::read_file(testing::golden_file("wpd_empty.content.xml"));
  EXPECT_EQ(testing::convert_wpd_area(OutputKind::sxw, ""), expected);
  EXPECT_TRUE(
      expected.ends_with("<text:p text:style-name=\"Standard\">\r\n</text:p>\r\n"
                         "</office:body>\r\n</office:document-content>"));
}

TEST(WpdSxw, CharactersAndSingleCodes) {
  EXPECT_EQ(sxw_body("<a> & \"b\" 'c'"), "&lt;a&gt; &amp; &quot;b&quot; 'c'");
  EXPECT_EQ(sxw_body(bytes({'a', 128, 'b', 9, 10, 13, 127, 203, 205})), "a b");
  EXPECT_EQ(sxw_body(WpdBuilder().text("a").tab().text("b").document_area()), "a<text:tab-stop/>b");
  EXPECT_EQ(sxw_body(bytes({'a', 204, 'b'})), "a" + kBreak + "b");
  // No rules and no headings in this output.
  EXPECT_EQ(
      sxw_body(WpdBuilder().rule().attribute_on(1).text("h").attribute_off(1).document_area()),
      "h");
}

TEST(WpdSxw, SoftReturnIsASpaceAndBeforeAHardReturnLeavesAnEmptyParagraph) {
  EXPECT_EQ(sxw_body(WpdBuilder().text("a").soft_return().text("b").document_area()), "a b");
  EXPECT_EQ(sxw_body(WpdBuilder().text("w").soft_return().hard_return().text("x").document_area()),
            "w " + kBreak + kBreak + "x");
  // A space code, a tab or an escaped character in between keep it; a plain letter ends it.
  EXPECT_EQ(
      sxw_body(WpdBuilder().soft_return().space().text("<").tab().hard_return().document_area()),
      "  &lt;<text:tab-stop/>" + kBreak + kBreak);
  EXPECT_EQ(sxw_body(WpdBuilder().soft_return().text("a").hard_return().document_area()),
            " a" + kBreak);
  // The hard return uses it up: a second one makes no further empty paragraph.
  EXPECT_EQ(sxw_body(WpdBuilder().soft_return().hard_return().hard_return().document_area()),
            " " + kBreak + kBreak + kBreak);
}

TEST(WpdSxw, OneSpanAtATime) {
  WpdBuilder bold;
  bold.text("a").bold("b").text("c");
  EXPECT_EQ(sxw_body(bold.document_area()), "a" + kBold + "b" + kEnd + "c");
  // Opening another kind closes the open span, which is not resumed: after italics, bold on
  // and bold off the text is plain and the italics-off group writes nothing.
  WpdBuilder displaced;
  displaced.attribute_on(8)
      .text("a")
      .attribute_on(12)
      .text("b")
      .attribute_off(12)
      .text("c")
      .attribute_off(8)
      .text("d");
  EXPECT_EQ(sxw_body(displaced.document_area()), kItalics + "a" + kEnd + kBold + "b" + kEnd + "cd");
  WpdBuilder centred;
  centred.centre().text("a").attribute_on(8).text("b").centre().text("c");
  EXPECT_EQ(sxw_body(centred.document_area()),
            kCentred + "a" + kEnd + kItalics + "b" + kEnd + kCentred + "c" + kEnd);
  // The same kind twice opens one span; off while not on writes nothing.
  WpdBuilder twice;
  twice.attribute_off(12)
      .attribute_on(12)
      .text("a")
      .attribute_on(12)
      .centre()
      .centre()
      .text("b")
      .attribute_off(8);
  EXPECT_EQ(sxw_body(twice.document_area()), kBold + "a" + kEnd + kCentred + "b" + kEnd);
}

TEST(WpdSxw, BoldAndItalicsCarryAcrossHardReturnsButCentringEnds) {
  WpdBuilder bold;
  bold.attribute_on(12).text("a").hard_return().text("b").attribute_off(12);
  EXPECT_EQ(sxw_body(bold.document_area()), kBold + "a" + kEnd + kBreak + kBold + "b" + kEnd);
  WpdBuilder italics;
  italics.attribute_on(8).text("a").soft_return().hard_return().text("b");
  EXPECT_EQ(sxw_body(italics.document_area()),
            kItalics + "a " + kEnd + kBreak + kBreak + kItalics + "b" + kEnd);
  WpdBuilder centre;
  centre.centre().text("a").hard_return().text("b");
  EXPECT_EQ(sxw_body(centre.document_area()), kCentred + "a" + kEnd + kBreak + "b");
}

TEST(WpdSxw, SpanOpenAtTheEndClosesBeforeTheLastParagraph) {
  std::string doc = testing::convert_wpd_area(OutputKind::sxw, bytes({242, 12, 242, 'a'}));
  EXPECT_TRUE(doc.ends_with("<text:p text:style-name=\"Standard\">" + kBold + "a" + kEnd +
                            std::string(kEpilogue)));
  WpdBuilder tab;
  tab.attribute_on(12).tab();
  EXPECT_EQ(sxw_body(tab.document_area()), kBold + "<text:tab-stop/>" + kEnd);
}

TEST(WpdSxw, ExampleMemo) {
  std::string memo = examples::example_files()[0].bytes.substr(examples::wpd_prefix().size());
  EXPECT_EQ(sxw_body(memo),
            // Bold displaces the centring at once.
            kCentred + kEnd + kBold + "Memorandum" + kEnd + kBreak + kBreak +
                "To:<text:tab-stop/>All staff" + kBreak + "From:<text:tab-stop/>The archive" +
                kBreak + "Our old documents &lt;all of them&gt; are now readable again, with " +
                kItalics + "nothing" + kEnd + " lost &amp; nothing &quot;guessed&quot;." + kBreak);
}

}  // namespace
}  // namespace quorrel
