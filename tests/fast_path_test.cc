// The decoders' bulk scanning must give exactly the events of examining one byte at a time,
// also where runs and groups straddle the input buffer's refills.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "convert/wpd/wpd_decoder.h"
#include "random_documents.h"
#include "recognition/identify.h"
#include "recognition/prefix.h"
#include "test_support.h"

namespace quorrel {
namespace {

// Writes every event as text, so that two event streams compare as strings.
struct RecordingSink {
  std::string log;
  void character(int c) { log.push_back(static_cast<char>(c)); }
  void space_code() { log += "{space}"; }
  void tab() { log += "{tab}"; }
  void soft_return() { log += "{soft}"; }
  void hard_return() { log += "{hard}"; }
  void centre() { log += "{centre}"; }
  void rule() { log += "{rule}"; }
  void attribute_on(int n) { log += "{on " + std::to_string(n) + "}"; }
  void attribute_off(int n) { log += "{off " + std::to_string(n) + "}"; }
};

template <bool kBulk>
std::string wpd_events(ByteSource in) {
  check_and_skip_prefix(in);
  RecordingSink sink;
  if constexpr (kBulk) {
    wpd::decode(in, sink);
  } else {
    wpd::decode_bytewise(in, sink);
  }
  return sink.log;
}

class FastPath : public ::testing::TestWithParam<examples::Shape> {};

TEST_P(FastPath, WpdEventsMatchTheByteLoop) {
  testing::TempDir dir;
  for (std::uint32_t key = 1; key <= 4; ++key) {
    std::string document = examples::random_document(TYPE_WPD, 20000, key, GetParam());
    std::string reference = wpd_events<false>(ByteSource::from_memory(document));
    EXPECT_EQ(wpd_events<true>(ByteSource::from_memory(document)), reference);
    // Small buffers put refills inside runs, groups and the 18-byte drop.
    testing::write_file(dir.file("doc"), document);
    for (std::size_t buffer : {1u, 7u, 64u}) {
      int fd = ::open(dir.file("doc").c_str(), O_RDONLY);
      EXPECT_EQ(wpd_events<true>(ByteSource::from_fd(fd, buffer)), reference) << buffer;
      ::close(fd);
    }
  }
}

TEST_P(FastPath, IdentificationMatchesAcrossRefills) {
  testing::TempDir dir;
  for (FormatCode format : {TYPE_UNKNOWN, TYPE_WP, TYPE_W51, TYPE_WPD}) {
    std::string document = examples::random_document(format, 5000, 9, GetParam());
    ByteSource whole = ByteSource::from_memory(document);
    FormatCode expected = identify(whole);
    testing::write_file(dir.file("doc"), document);
    int fd = ::open(dir.file("doc").c_str(), O_RDONLY);
    ByteSource pieces = ByteSource::from_fd(fd, 5);
    EXPECT_EQ(identify(pieces), expected);
    ::close(fd);
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, FastPath,
                         ::testing::Values(examples::Shape::text_heavy,
                                           examples::Shape::code_heavy,
                                           examples::Shape::worst_case));

}  // namespace
}  // namespace quorrel
