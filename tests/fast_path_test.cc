// The decoders' bulk scanning must give exactly the events of examining one byte at a time,
// also where runs and groups straddle the input buffer's refills; and every converter must
// write the same bytes whatever the size of the input buffer.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "convert/plain/plain_decoder.h"
#include "convert/registry.h"
#include "convert/w51/w51_decoder.h"
#include "convert/wp/wp_decoder.h"
#include "convert/wpd/wpd_decoder.h"
#include "random_documents.h"
#include "recognition/identify.h"
#include "recognition/prefix.h"
#include "test_support.h"

namespace quorrel {
namespace {

// Sinks that write every event as text, so that two event streams compare as strings. Runs
// of characters are logged like single characters: only the events themselves must agree.
struct Recorder {
  static constexpr FastPaths kFastPaths = kCharacters;
  std::string log;
  void character(int c) { log.push_back(static_cast<char>(c)); }
  void characters(const std::uint8_t* begin, const std::uint8_t* end) { log.append(begin, end); }
  void tab() { log += "{tab}"; }
  void event(const char* name, int number) {
    log += "{" + std::string(name) + " " + std::to_string(number) + "}";
  }
};

template <bool kEarly>
struct PlainRecorder : Recorder {
  static constexpr bool kLineEndsEarly = kEarly;
  void line_feed() { log += "{lf}"; }
};

template <bool kEarly>
struct WpRecorder : Recorder {
  static constexpr bool kLineEndsEarly = kEarly;
  void carriage_return() { log += "{cr}"; }
  void line_feed() { log += "{lf}"; }
  void centre() { log += "{centre}"; }
  void bold_on() { log += "{bold on}"; }
  void bold_off() { log += "{bold off}"; }
};

// A plain sink that writes its events through a writer and offers its code texts, so that
// stretches of codes take the decoder's table path; with `kOnlyAtLineStart` it offers them
// only at the start of a line, as the HTML sink does, and the events take the rest.
template <bool kEarly, bool kOnlyAtLineStart>
struct PlainTextRecorder {
  static constexpr bool kLineEndsEarly = kEarly;
  static constexpr FastPaths kFastPaths = kCodeTexts;
  std::string log;
  StringSink stored{log};
  TextWriter out{stored};
  bool line_start = true;
  static constexpr Literal kLineFeedText{"{lf\n}"};
  static constexpr Literal kTabText{"{tab}"};
  const plain::CodeTexts texts{out, kLineFeedText, kTabText};

  void character(int c) {
    out.put_raw(static_cast<char>(c));
    line_start = false;
  }
  void tab() { out.write(kTabText); }
  void line_feed() {
    out.write(kLineFeedText);
    line_start = true;
  }
  const plain::CodeTexts* code_texts() const {
    return !kOnlyAtLineStart || line_start ? &texts : nullptr;
  }
  void finish() { out.flush(); }
};

// The same events taken one piece per call, as the HTML and SXW sinks take them, so that the
// decoder's one-step pieces are checked against the byte loop (which calls the events).
struct WpCodeRecorder : WpRecorder<false> {
  void code(wp::Kind kind) {
    switch (kind) {
      case wp::Kind::carriage_return: carriage_return(); break;
      case wp::Kind::line_feed: line_feed(); break;
      case wp::Kind::tab: tab(); break;
      case wp::Kind::centre: centre(); break;
      case wp::Kind::bold_on: bold_on(); break;
      case wp::Kind::bold_off: bold_off(); break;
      case wp::Kind::group: log += "{group}"; break;
      case wp::Kind::nothing: break;
      case wp::Kind::character: log += "{character code!}"; break;  // never a piece
    }
  }
};
static_assert(wp::TakesCodes<WpCodeRecorder> && !wp::TakesCodes<WpRecorder<false>>);

struct W51Recorder : Recorder {
  void line_break() { log += "{line}"; }
  void paragraph_break() { log += "{paragraph}"; }
  void attribute_on(int n) { event("on", n); }
  void attribute_off(int n) { event("off", n); }
};

// The same log from the one-call form, which gets the tab units as a count.
struct W51CodeRecorder : Recorder {
  void code(w51::Kind kind, int number, int tab_units) {
    switch (kind) {
      case w51::Kind::space_code: log += ' '; break;
      case w51::Kind::soft_return: log += "{line}"; break;
      case w51::Kind::hard_return: log += "{paragraph}"; break;
      case w51::Kind::attribute_on_group: event("on", number); break;
      case w51::Kind::attribute_off_group: event("off", number); break;
      default: break;
    }
    for (int i = 0; i < tab_units; ++i) tab();
  }
};

struct WpdRecorder : Recorder {
  void space_code() { log += "{space}"; }
  void soft_return() { log += "{soft}"; }
  void hard_return() { log += "{hard}"; }
  void centre() { log += "{centre}"; }
  void rule() { log += "{rule}"; }
  void attribute_on(int n) { event("on", n); }
  void attribute_off(int n) { event("off", n); }
};

// One document, readable from memory or from a file through a buffer of any size.
class Document {
 public:
  explicit Document(std::string bytes) : bytes_(std::move(bytes)) {
    testing::write_file(dir_.file("doc"), bytes_);
  }
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;
  ~Document() {
    for (int fd : fds_) ::close(fd);
  }

  ByteSource memory() const { return ByteSource::from_memory(bytes_); }
  ByteSource memory_in_pieces(std::size_t piece) const {
    return ByteSource::from_memory_in_pieces(bytes_, piece);
  }
  // Small buffers put refills inside runs, groups and look-aheads.
  ByteSource file(std::size_t buffer) {
    int fd = ::open(dir_.file("doc").c_str(), O_RDONLY);
    EXPECT_GE(fd, 0);
    fds_.push_back(fd);
    return ByteSource::from_fd(fd, buffer);
  }

 private:
  testing::TempDir dir_;
  std::string bytes_;
  std::vector<int> fds_;
};

// Decodes with `decode` into a fresh `Sink` and returns the log; WordPerfect 5.1 and 6-9
// documents first lose their prefix, as in the converters.
template <class Sink, class Decode>
std::string events(ByteSource in, FormatCode format, Decode decode) {
  if (format == TYPE_W51 || format == TYPE_WPD) check_and_skip_prefix(in);
  Sink sink;
  decode(in, sink);
  if constexpr (requires { sink.finish(); }) sink.finish();
  return sink.log;
}

// The bulk loop against the byte loop, from memory and through each buffer size.
template <class Sink, class Bulk, class Bytewise>
void expect_same_events(FormatCode format, Document& document,
                        std::initializer_list<std::size_t> buffers, Bulk bulk,
                        Bytewise bytewise) {
  std::string reference = events<Sink>(document.memory(), format, bytewise);
  EXPECT_FALSE(reference.empty());
  EXPECT_EQ(events<Sink>(document.memory(), format, bulk), reference);
  for (std::size_t buffer : buffers) {
    EXPECT_EQ(events<Sink>(document.file(buffer), format, bulk), reference)
        << "buffer " << buffer;
    EXPECT_EQ(events<Sink>(document.memory_in_pieces(buffer), format, bulk), reference)
        << "pieces of " << buffer;
  }
}

// The same on random documents of the shape under test.
template <class Sink, class Bulk, class Bytewise>
void expect_same_events(FormatCode format, examples::Shape shape, Bulk bulk, Bytewise bytewise) {
  for (std::uint32_t key = 1; key <= 3; ++key) {
    SCOPED_TRACE("key " + std::to_string(key));
    Document document(examples::random_document(format, 20000, key, shape));
    expect_same_events<Sink>(format, document, {1, 2, 7, 64}, bulk, bytewise);
  }
}

// Each generation's two loops.
constexpr auto kPlainBulk = [](ByteSource& in, auto& sink) { plain::decode(in, sink); };
constexpr auto kPlainBytewise = [](ByteSource& in, auto& sink) {
  plain::decode_bytewise(in, sink);
};
constexpr auto kWpBulk = [](ByteSource& in, auto& sink) { wp::decode(in, sink); };
constexpr auto kWpBytewise = [](ByteSource& in, auto& sink) { wp::decode_bytewise(in, sink); };
constexpr auto kW51Bulk = [](ByteSource& in, auto& sink) { w51::decode(in, sink); };
constexpr auto kW51Bytewise = [](ByteSource& in, auto& sink) { w51::decode_bytewise(in, sink); };
constexpr auto kWpdBulk = [](ByteSource& in, auto& sink) { wpd::decode(in, sink); };
constexpr auto kWpdBytewise = [](ByteSource& in, auto& sink) { wpd::decode_bytewise(in, sink); };

class FastPath : public ::testing::TestWithParam<examples::Shape> {};

// Both look-ahead flavours where the generation has them.
TEST_P(FastPath, PlainEventsMatchTheByteLoop) {
  expect_same_events<PlainRecorder<true>>(TYPE_UNKNOWN, GetParam(), kPlainBulk, kPlainBytewise);
  expect_same_events<PlainRecorder<false>>(TYPE_UNKNOWN, GetParam(), kPlainBulk, kPlainBytewise);
}

// Stretches of codes written from the sink's texts, in both look-ahead flavours, and with
// texts offered only part of the time.
TEST_P(FastPath, PlainCodeTextsMatchTheByteLoop) {
  expect_same_events<PlainTextRecorder<true, false>>(TYPE_UNKNOWN, GetParam(), kPlainBulk,
                                                     kPlainBytewise);
  expect_same_events<PlainTextRecorder<false, false>>(TYPE_UNKNOWN, GetParam(), kPlainBulk,
                                                      kPlainBytewise);
  expect_same_events<PlainTextRecorder<true, true>>(TYPE_UNKNOWN, GetParam(), kPlainBulk,
                                                    kPlainBytewise);
}

TEST_P(FastPath, AncientEventsMatchTheByteLoop) {
  expect_same_events<WpRecorder<true>>(TYPE_WP, GetParam(), kWpBulk, kWpBytewise);
  expect_same_events<WpRecorder<false>>(TYPE_WP, GetParam(), kWpBulk, kWpBytewise);
}

// A group reaches the code step only whole, so the group events must not show in the
// comparison; they are dropped from both logs.
std::string without_groups(std::string log) {
  for (std::size_t at; (at = log.find("{group}")) != std::string::npos;) log.erase(at, 7);
  return log;
}

TEST_P(FastPath, AncientPiecesInOneStepMatchTheByteLoop) {
  for (std::uint32_t key = 1; key <= 3; ++key) {
    Document document(examples::random_document(TYPE_WP, 20000, key, GetParam()));
    std::string reference = events<WpCodeRecorder>(document.memory(), TYPE_WP, kWpBytewise);
    std::string whole = events<WpCodeRecorder>(document.memory(), TYPE_WP, kWpBulk);
    EXPECT_NE(whole.find("{group}"), std::string::npos);  // the one-step path did run
    EXPECT_EQ(without_groups(whole), reference) << "key " << key;
    for (std::size_t buffer : {1, 63, 64, 65, 200}) {
      EXPECT_EQ(without_groups(events<WpCodeRecorder>(document.file(buffer), TYPE_WP, kWpBulk)),
                reference)
          << "key " << key << ", buffer " << buffer;
    }
  }
}


TEST_P(FastPath, W51EventsMatchTheByteLoop) {
  expect_same_events<W51Recorder>(TYPE_W51, GetParam(), kW51Bulk, kW51Bytewise);
}

// The one-call form, with its stretches of codes walked by precomputed lengths and its
// indentation kept by masks, against the hooks of the byte loop.
void expect_w51_code_calls_match_hooks(Document& document,
                                       std::initializer_list<std::size_t> buffers) {
  std::string reference = events<W51Recorder>(document.memory(), TYPE_W51, kW51Bytewise);
  EXPECT_EQ(events<W51CodeRecorder>(document.memory(), TYPE_W51, kW51Bulk), reference);
  EXPECT_EQ(events<W51CodeRecorder>(document.memory(), TYPE_W51, kW51Bytewise), reference);
  for (std::size_t buffer : buffers) {
    EXPECT_EQ(events<W51CodeRecorder>(document.file(buffer), TYPE_W51, kW51Bulk), reference)
        << "buffer " << buffer;
  }
}

TEST_P(FastPath, W51CodeCallsMatchTheByteLoopsHooks) {
  for (std::uint32_t key = 1; key <= 3; ++key) {
    Document document(examples::random_document(TYPE_W51, 20000, key, GetParam()));
    expect_w51_code_calls_match_hooks(document, {1, 7, 64});
  }
}

TEST_P(FastPath, WpdEventsMatchTheByteLoop) {
  expect_same_events<WpdRecorder>(TYPE_WPD, GetParam(), kWpdBulk, kWpdBytewise);
}

// What a converter writes when its input arrives through `in`.
std::string output(const ConverterSpec& converter, ByteSource in) {
  if (converter.prefix != PrefixRule::none) {
    EXPECT_TRUE(check_and_skip_prefix(in).matched);
  }
  std::string stored;
  StringSink sink(stored);
  TextWriter out(sink);
  converter.body(in, out, DocumentInfo{"t"});
  out.flush();
  return stored;
}

// With one byte per refill every run reaches a sink one character at a time; from memory it
// arrives whole. The sinks' bulk writers must not tell the difference.
void expect_same_output_through_every_buffer(FormatCode format, Document& document,
                                             std::initializer_list<std::size_t> buffers) {
  for (OutputKind kind : {OutputKind::text, OutputKind::html, OutputKind::sxw}) {
    const ConverterSpec& converter = converter_for(kind, format);
    if (converter.body == nullptr) continue;
    std::string whole = output(converter, document.memory());
    for (std::size_t buffer : buffers) {
      EXPECT_EQ(output(converter, document.file(buffer)), whole)
          << converter.name << ", buffer " << buffer;
    }
  }
}

TEST_P(FastPath, EveryConverterWritesTheSameBytesThroughAnyBuffer) {
  for (FormatCode format : {TYPE_UNKNOWN, TYPE_WP, TYPE_W51, TYPE_WPD}) {
    Document document(examples::random_document(format, 20000, 5, GetParam()));
    expect_same_output_through_every_buffer(format, document, {1, 7, 4099});
  }
}

TEST_P(FastPath, IdentificationMatchesAcrossRefills) {
  for (FormatCode format : {TYPE_UNKNOWN, TYPE_WP, TYPE_W51, TYPE_WPD}) {
    Document document(examples::random_document(format, 5000, 9, GetParam()));
    ByteSource whole = document.memory();
    FormatCode expected = identify(whole);
    ByteSource pieces = document.file(5);
    EXPECT_EQ(identify(pieces), expected);
  }
}

INSTANTIATE_TEST_SUITE_P(Shapes, FastPath,
                         ::testing::Values(examples::Shape::text_heavy,
                                           examples::Shape::code_heavy,
                                           examples::Shape::worst_case));

// Short documents built around the places a refill can hurt: a tab or carriage return right
// before a line feed (the text converters' look-ahead), an attribute group whose number and
// closing code lie on either side of a refill, groups that end at once, and the run dropped
// after a 208.
const std::string kPlainEdges =
    testing::bytes({'a', 9, 10, 'b', 13, 10, 9, 9, 10, 10, 13, 13, 'c'});

struct EdgeCase {
  FormatCode format;
  std::string bytes;
};

std::vector<EdgeCase> edge_cases() {
  using testing::bytes;
  return {
      {TYPE_UNKNOWN, kPlainEdges},
      {TYPE_WP, bytes({200, 9, 10, 201}) + kPlainEdges + bytes({200, 'h', 192})},
      {TYPE_W51, examples::document_prefix(TYPE_W51) +
                     bytes({'x', 195, 12, 195, 'y', 196, 12, 196, 195, 195, 194, 1, 194, 13, 'z',
                            9, 10, 'w'})},
      {TYPE_WPD, examples::document_prefix(TYPE_WPD) +
                     bytes({'x', 242, 12, 242, 'y', 243, 12, 243, 242, 242, 224, 1, 224, 208,
                            208}) +
                     std::string(20, 'q') + bytes({204, 'e'})},
  };
}

constexpr std::initializer_list<std::size_t> kEveryRefillPoint = {1, 2,  3,  4,  5,  6, 7,
                                                                   8, 9, 10, 11, 12, 13};

TEST(FastPathEdges, EveryRefillPointGivesTheSameEvents) {
  std::vector<EdgeCase> cases = edge_cases();
  Document plain_document(cases[0].bytes), wp_document(cases[1].bytes),
      w51_document(cases[2].bytes), wpd_document(cases[3].bytes);
  expect_same_events<PlainRecorder<true>>(TYPE_UNKNOWN, plain_document, kEveryRefillPoint,
                                          kPlainBulk, kPlainBytewise);
  expect_same_events<PlainTextRecorder<true, false>>(TYPE_UNKNOWN, plain_document,
                                                     kEveryRefillPoint, kPlainBulk,
                                                     kPlainBytewise);
  expect_same_events<WpRecorder<true>>(TYPE_WP, wp_document, kEveryRefillPoint, kWpBulk,
                                       kWpBytewise);
  expect_same_events<W51Recorder>(TYPE_W51, w51_document, kEveryRefillPoint, kW51Bulk,
                                  kW51Bytewise);
  expect_same_events<WpdRecorder>(TYPE_WPD, wpd_document, kEveryRefillPoint, kWpdBulk,
                                  kWpdBytewise);
}

TEST(FastPathEdges, EveryRefillPointGivesTheSameBytes) {
  for (const EdgeCase& c : edge_cases()) {
    Document document(c.bytes);
    expect_same_output_through_every_buffer(c.format, document, kEveryRefillPoint);
  }
  // The look-ahead itself, split everywhere: a tab before a line feed follows the line end.
  EXPECT_EQ(output(converter_for(OutputKind::text, TYPE_UNKNOWN), Document(kPlainEdges).file(1)),
            "a\r\n\tb\r\n\t\r\n\t\r\nc");
  EXPECT_EQ(output(converter_for(OutputKind::text, TYPE_WP), Document(kPlainEdges).file(1)),
            "a\r\n\tb \t\r\n\t\r\n  c");
}

// Groups whose closing byte lies just within and just beyond what the one-step paths look
// at: the 16 bytes of a lone step after a character, and the 64-byte block of a stretch of
// codes, from every place in a block; and windows that end anywhere near them.
TEST(FastPathEdges, GroupsAtTheEdgeOfTheOneStepReach) {
  std::string bytes;
  for (int inside = 0; inside <= 66; ++inside) {
    std::string group = testing::bytes({200}) + std::string(static_cast<std::size_t>(inside), '\x09');
    group += testing::bytes({201});
    bytes += "b" + group + testing::bytes({10, 131}) + group;
    bytes += testing::bytes({'a', 157, 13, 9, 156, 5});
  }
  bytes += testing::bytes({200, 'x', 'y'});  // open at the end
  Document document(bytes);
  std::string reference = events<WpCodeRecorder>(document.memory(), TYPE_WP, kWpBytewise);
  EXPECT_EQ(without_groups(events<WpCodeRecorder>(document.memory(), TYPE_WP, kWpBulk)),
            reference);
  for (std::size_t buffer = 60; buffer <= 140; ++buffer) {
    EXPECT_EQ(without_groups(events<WpCodeRecorder>(document.file(buffer), TYPE_WP, kWpBulk)),
              reference)
        << "buffer " << buffer;
  }
  // The same through the converters, against the bytes they write from memory.
  expect_same_output_through_every_buffer(TYPE_WP, document, {1, 63, 64, 65, 66, 127, 129});
}

}  // namespace
}  // namespace quorrel

namespace quorrel {
namespace {

// Deep indentation: more tab units than the writers copy without a jump, levels beyond the
// cap, groups that end exactly at the farthest distance the code lengths look and just beyond
// it, a group's number equal to its code, all far from and across refills.
TEST(FastPathEdges, W51DeepIndentationAndGroupReach) {
  using testing::bytes;
  std::string area;
  for (int i = 0; i < 70; ++i) area += bytes({194, 0, 2, 194});  // hanging indents
  area += bytes({13, 'a', 193, 0, 193, 10, 195, 12, 195});
  for (int i = 0; i < 40; ++i) area += bytes({193, 1, 193});  // indents
  area += bytes({13, 10});
  // Groups reaching 7, 8 and 9 bytes ahead, an attribute group numbered by its own code.
  area += bytes({195, 1, 2, 3, 4, 5, 12, 195, 196, 1, 2, 3, 4, 5, 6, 12, 196, 195, 1, 2, 3, 4, 5,
                 6, 7, 15, 195, 196, 196, 196, 9, 11, 144, 169, 0});
  std::string document_bytes = examples::document_prefix(TYPE_W51);
  for (int i = 0; i < 3; ++i) document_bytes += area;
  Document document(document_bytes);
  expect_w51_code_calls_match_hooks(document, {1, 5, 33, 41, 97});
  expect_same_output_through_every_buffer(TYPE_W51, document, {1, 5, 33, 41, 97});
}

}  // namespace
}  // namespace quorrel
