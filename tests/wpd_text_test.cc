#include <gtest/gtest.h>

#include "convert/registry.h"
#include "example_documents.h"
#include "output/skeleton.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::bytes;

std::string wpd_text(const std::string& area) {
  return testing::convert_wpd_area(OutputKind::text, area);
}

TEST(WpdText, WordsAndHardReturnGiveCrLfWithoutFinalLineEnd) {
  EXPECT_EQ(wpd_text("Hi" + bytes({204}) + "there"), "Hi\r\nthere");
}

TEST(WpdText, CharactersPassUnchangedAndControlBytesVanish) {
  EXPECT_EQ(wpd_text("<a & \"b\">"), "<a & \"b\">");
  EXPECT_EQ(wpd_text(bytes({'a', 9, 10, 13, 0, 127, 129, 203, 205, 'b'})), "ab");
}

TEST(WpdText, SpaceCodeTabGroupAndReturns) {
  EXPECT_EQ(wpd_text(bytes({'a', 128, 'b', 224, 1, 224, 'c', 204, 204, 'd'})),
            "a b\tc\r\n\r\nd");
}

TEST(WpdText, SoftReturnGroupEndingAfterItsRun) {
  // a, 208, 1, 18 more bytes, 208, b: the closing 208 lies 20 bytes after the opening one.
  std::string area = "a" + bytes({208, 1}) + std::string(18, 'x') + bytes({208}) + "b";
  EXPECT_EQ(wpd_text(area), "a\r\nb");
}

TEST(WpdText, EighteenBytesAfterDoubledSoftReturnAreDropped) {
  // 208, 208 ends at once (a line end), then 18 bytes vanish, characters included.
  std::string area = bytes({208, 208}) + std::string(18, 'x') + "yz";
  EXPECT_EQ(wpd_text(area), "\r\nyz");
}

TEST(WpdText, ClosingSoftReturnInsideTheRunIsMissed) {
  // The closing 208 five bytes after the opening one is dropped: the group stays open until
  // the next 208 that is examined, and what follows it is text again.
  std::string area = bytes({208, 1, 2, 3, 4, 208}) + std::string(14, 'q') + "hidden" +
                     bytes({208}) + "seen";
  EXPECT_EQ(wpd_text(area), "\r\nseen");
}

TEST(WpdText, EndOfFileInsideTheRunEndsNormally) {
  EXPECT_EQ(wpd_text("a" + bytes({208, 'b', 'c', 'd'})), "a");
}

TEST(WpdText, GroupsWriteNothingButTheirOwnCode) {
  EXPECT_EQ(wpd_text(bytes({240, 65, 1, 240})), "");
  EXPECT_EQ(wpd_text(bytes({212, 'x', 224, 204, 212, 'y'})), "y");  // tab, return inside 212
  EXPECT_EQ(wpd_text(bytes({211, 0, 211, 'c', 223, 0, 223})), "c");  // centre and rule
  EXPECT_EQ(wpd_text(bytes({242, 12, 242}) + "bold" + bytes({243, 12, 243})), "bold");
}

TEST(WpdText, ByteTwoFiftyFiveIsAGroupCodeNotTheEnd) {
  EXPECT_EQ(wpd_text(bytes({'a', 255, 'b', 255, 'c'})), "ac");
}

TEST(WpdText, UnclosedGroupSwallowsTheRest) {
  EXPECT_EQ(wpd_text(bytes({'a', 212, 'b', 'c'})), "a");
}

TEST(WpdText, EmptyDocumentAreaGivesEmptyOutput) { EXPECT_EQ(wpd_text(""), ""); }

TEST(WpdText, NonPrefixedInputIsRefused) {
  MemoryConversion result =
      convert_memory(converter_for(OutputKind::text, TYPE_WPD), "plain text", "t");
  EXPECT_EQ(result.status, ConvertStatus::prefix_mismatch);
  EXPECT_EQ(result.output, "");
}

TEST(WpdText, ExampleMemoReadsAsText) {
  std::string memo = examples::example_files()[0].bytes;
  MemoryConversion result = convert_memory(converter_for(OutputKind::text, TYPE_WPD), memo, "");
  EXPECT_EQ(result.output,
            "Memorandum\r\n\r\nTo:\tAll staff\r\nFrom:\tThe archive\r\n"
            "Our old documents <all of them> are now readable\r\nagain, with nothing lost & "
            "nothing \"guessed\".\r\n");
}

TEST(WpdText, CorpusDocumentKeepsOnlyTextBytes) {
  // A real document, when the shared corpus is present (it is optional).
  std::string path = testing::corpus_file("tika_wp6.wpd");
  if (path.empty()) GTEST_SKIP() << "corpus not present";
  MemoryConversion result = convert_memory(converter_for(OutputKind::text, TYPE_WPD),
                                           testing::read_file(path), "");
  EXPECT_EQ(result.status, ConvertStatus::ok);
  EXPECT_NE(result.output.find("test"), std::string::npos);
  for (char c : result.output) {
    EXPECT_TRUE(c == '\t' || c == '\r' || c == '\n' || (c >= 32 && c <= 126));
  }
}

}  // namespace
}  // namespace quorrel
