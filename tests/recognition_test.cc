#include <gtest/gtest.h>

#include "recognition/identify.h"
#include "recognition/prefix.h"
#include "io/input_file.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::bytes;

// A prefixed file whose document area starts right after the six bytes read.
std::string prefixed(const std::string& area) { return bytes({255, 'W', 'P', 'C', 6, 0}) + area; }

FormatCode identify_bytes(const std::string& data) {
  ByteSource in = ByteSource::from_memory(data);
  return identify(in);
}

TEST(Identify, CarriageReturnOutsideGroupsMeansWordPerfect51) {
  EXPECT_EQ(identify_bytes(prefixed("ab\rc")), TYPE_W51);
  EXPECT_EQ(identify_bytes(prefixed("abc")), TYPE_WPD);
}

TEST(Identify, CarriageReturnInsideAGroupIsIgnored) {
  EXPECT_EQ(identify_bytes(prefixed(bytes({'a', 200, 13, 200, 'b'}))), TYPE_WPD);
  // The group closed: a later CR counts.
  EXPECT_EQ(identify_bytes(prefixed(bytes({200, 13, 200, 13}))), TYPE_W51);
}

TEST(Identify, DifferentCodeInsideGroupNeitherClosesNorReplacesIt) {
  // 201 inside the 200 group does nothing; the second 201 too; the CR is still inside.
  EXPECT_EQ(identify_bytes(prefixed(bytes({200, 201, 13, 201, 13, 200}))), TYPE_WPD);
  EXPECT_EQ(identify_bytes(prefixed(bytes({200, 201, 200, 13}))), TYPE_W51);
}

TEST(Identify, ThresholdIs192EvenForSixToNineDocuments) {
  // 195 opens a group here although the 6-9 converters only open groups at 208.
  EXPECT_EQ(identify_bytes(prefixed(bytes({195, 13}))), TYPE_WPD);
}

TEST(Identify, NonPrefixedFilesByFirstByte) {
  EXPECT_EQ(identify_bytes("A plain text file\r\n"), TYPE_UNKNOWN);
  EXPECT_EQ(identify_bytes(bytes({195, 'x'})), TYPE_WP);
  EXPECT_EQ(identify_bytes(""), TYPE_UNKNOWN);
  EXPECT_EQ(identify_bytes(bytes({255, 'W', 'P'})), TYPE_WP);  // 255 without the whole prefix
  EXPECT_EQ(identify_bytes(bytes({255, 'W', 'P', 'X'})), TYPE_WP);
  EXPECT_EQ(identify_bytes(bytes({191})), TYPE_UNKNOWN);
}

TEST(Identify, PrefixedFileEndingInsideSkippedAreaIsSixToNine) {
  EXPECT_EQ(identify_bytes(bytes({255, 'W', 'P', 'C', 0, 2, 13, 13})), TYPE_WPD);
}

TEST(Prefix, SkipsToTheDocumentOffset) {
  // Offset 16 skips the 10 bytes after byte 5; the CR at offset 15 is skipped, the one at 16
  // is the first byte of the area.
  std::string file = bytes({255, 'W', 'P', 'C', 16, 0}) + std::string(9, 'x') + "\r" + "D";
  ByteSource in = ByteSource::from_memory(file);
  PrefixResult result = check_and_skip_prefix(in);
  EXPECT_TRUE(result.matched);
  EXPECT_EQ(result.last_discarded, '\r');
  EXPECT_EQ(in.get(), 'D');
}

TEST(Prefix, OffsetUsesBytesFourAndFive) {
  std::string file = bytes({255, 'W', 'P', 'C', 0x10, 0x02}) + std::string(522, 'x') + "Y";
  ByteSource in = ByteSource::from_memory(file);
  ASSERT_TRUE(check_and_skip_prefix(in).matched);
  EXPECT_EQ(in.get(), 'Y');  // the document starts at 528
}

TEST(Prefix, SmallOffsetsSkipNothing) {
  for (int offset = 0; offset <= 6; ++offset) {
    std::string file = bytes({255, 'W', 'P', 'C', offset, 0, 'Z'});
    ByteSource in = ByteSource::from_memory(file);
    PrefixResult result = check_and_skip_prefix(in);
    EXPECT_TRUE(result.matched);
    EXPECT_EQ(result.last_discarded, 0);
    EXPECT_EQ(in.get(), 'Z') << "offset " << offset;
  }
}

TEST(Prefix, EndInsideSkippedAreaGivesEndOfInput) {
  std::string file = bytes({255, 'W', 'P', 'C', 100, 0, 'a'});
  ByteSource in = ByteSource::from_memory(file);
  PrefixResult result = check_and_skip_prefix(in);
  EXPECT_TRUE(result.matched);
  EXPECT_EQ(result.last_discarded, kEndOfInput);
  EXPECT_EQ(in.get(), kEndOfInput);
}

TEST(Prefix, MismatchAndShortFiles) {
  for (const std::string& file : {std::string(), bytes({255, 'W', 'P'}),
                                  std::string("WPC plain"), bytes({254, 'W', 'P', 'C', 6, 0})}) {
    ByteSource in = ByteSource::from_memory(file);
    EXPECT_FALSE(check_and_skip_prefix(in).matched);
  }
}

// The dialog's message for a file that cannot be opened is the driver's (driver_test.cc).
TEST(IdentifyFile, ReadsFromDiskAgainForEachSource) {
  testing::TempDir dir;
  testing::write_file(dir.file("a.wp5"), prefixed("x\ry"));
  InputFile file;
  ASSERT_TRUE(file.open(dir.file("a.wp5")));
  for (int pass = 0; pass < 2; ++pass) {
    ByteSource in = file.source();
    EXPECT_EQ(identify(in), TYPE_W51) << pass;
  }
}

}  // namespace
}  // namespace quorrel
