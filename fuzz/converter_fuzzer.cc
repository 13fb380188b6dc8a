// Fuzzes one converter (chosen at build time by QUORREL_FUZZ_KIND and QUORREL_FUZZ_FORMAT) on
// memory, with or without a WordPerfect prefix in front of the fuzzed bytes, and checks what
// any output must satisfy: its size bound, the output kind's well-formedness, and (on one run
// in 16) the same bytes when the input arrives in tiny pieces, as from a file read a few bytes
// at a time.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "convert/registry.h"
#include "output/skeleton.h"
#include "properties.h"
#include "reused_writer.h"

namespace {

using quorrel::OutputKind;

constexpr auto kKind = static_cast<OutputKind>(QUORREL_FUZZ_KIND);
constexpr auto kFormat = static_cast<quorrel::FormatCode>(QUORREL_FUZZ_FORMAT);
static_assert(kKind != OutputKind::odt, "a package is odt_fuzzer's business");

// How large an output may grow: the frame (the output of an empty document), plus at most
// `per_byte` bytes for each input byte, plus n * n / `quadratic_divisor` where tab runs grow
// with the line. The worst single bytes:
//   any2txt, wp2txt, wpd2txt   2: a line feed stored as CR LF (a tab and a line feed give 3
//                                 for 2 bytes)
//   w512txt                  130: a return, then up to 64 hanging and 64 plain indentation
//                                 levels of tabs (the indentation cap keeps it linear)
//   any2html                   8: a tab writes its stop's column (at most the characters in
//                                 the line, c) plus 8 blanks; t tabs and c characters give at
//                                 most t * c <= n * n / 4 besides
//   wp2html                   14: "</CENTER>" and the paragraph mark at a line feed; tabs as
//                                 in any2html
//   w512html                 133: the paragraph mark and 128 tabs
//   wpd2html                  14: the paragraph mark and "</CENTER>"; a tab is a group of 2
//                                 bytes or more, so t * c <= n * n / 8
//   any2xml                   48: a paragraph end and start
//   wp2xml                    94: a paragraph break inside a bold span, closed and reopened
//   w512xml                 2400: the same with 128 tab elements of 18 bytes after it
//   wpd2xml                  137: a span end, two paragraph breaks and the span reopened
struct Bound {
  std::size_t per_byte;
  std::size_t quadratic_divisor;  // 0: linear
};

constexpr Bound kBounds[3][quorrel::kFormatCount] = {
    {{2, 0}, {2, 0}, {130, 0}, {2, 0}},
    {{8, 4}, {14, 4}, {133, 0}, {14, 8}},
    {{48, 0}, {94, 0}, {2400, 0}, {137, 0}},
};
constexpr Bound kBound = kBounds[static_cast<int>(kKind)][kFormat];

// Larger inputs only measure the converter; quadratic ones would need gigabytes of output.
constexpr std::size_t kMaxInput = kBound.quadratic_divisor != 0 ? 8 * 1024 : 32 * 1024;

const std::string kPrefix(
    "\xff"
    "WPC\x06\x00",
    6);  // document area right after it
const std::string kTitle = "fuzzed <name> & \"more\".wpd";

std::size_t frame_size(const quorrel::ConverterSpec& converter) {
  std::string empty = converter.prefix == quorrel::PrefixRule::none ? "" : kPrefix;
  return quorrel::convert_memory(converter, empty, kTitle).output.size();
}

// The runs whose input hashes to 0 modulo kPiecesEvery also convert the input read in pieces
// of 1 to 7 bytes. A hash, not a byte of the input: a byte's value depends on what documents
// look like (a third of them end in a byte below 4), while any change to an input gives it a
// new draw, so that every neighbourhood the fuzzer explores is checked.
constexpr std::size_t kPiecesEvery = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kMaxInput) return 0;
  const quorrel::ConverterSpec& converter = quorrel::converter_for(kKind, kFormat);
  static const std::size_t frame = frame_size(converter);
  // A string of the input's own size, so that a read past its end is caught.
  std::string input(reinterpret_cast<const char*>(data), size);
  // An odd first byte (but 255, which starts a real prefix) is replaced by the shortest prefix,
  // so that half of the inputs reach the document area at once.
  if (size > 0 && data[0] != 0xFF && (data[0] & 1) &&
      converter.prefix != quorrel::PrefixRule::none) {
    input = kPrefix + input.substr(1);
  }
  // Through one writer and into one string for every run: fresh memory for them took most of
  // the run's time. The runs checked in pieces compare this with convert_source's own writer.
  static std::string out;
  quorrel::ConvertStatus status =
      quorrel::fuzz::convert_reusing_writer(converter, input, kTitle, out);
  // Read in pieces, every run and group of the document straddles refills of a buffer that
  // the next piece overwrites.
  std::size_t hash = std::hash<std::string_view>()(input);
  if (hash % kPiecesEvery == 0) {
    std::size_t piece = 1 + hash / kPiecesEvery % 7;
    quorrel::ByteSource in = quorrel::ByteSource::from_memory_in_pieces(input, piece);
    quorrel::MemoryConversion pieces = quorrel::convert_source(converter, in, kTitle);
    quorrel::fuzz::require(pieces.status == status && pieces.output == out,
                           "the same output from memory and from a file read in pieces");
  }
  if (status != quorrel::ConvertStatus::ok) {
    quorrel::fuzz::require(out.empty(), "a refused input gives no output");
    return 0;
  }
  std::size_t n = input.size();
  std::size_t bound = frame + kBound.per_byte * n;
  if (kBound.quadratic_divisor != 0) bound += n * n / kBound.quadratic_divisor;
  quorrel::fuzz::require(out.size() <= bound, "output within its bound");
  std::string why;
  switch (kKind) {
    case OutputKind::text:
      quorrel::fuzz::require(quorrel::fuzz::is_clean_text(out), "text output is clean");
      break;
    case OutputKind::html:
      quorrel::fuzz::require(
          quorrel::fuzz::is_clean_html(out, quorrel::fuzz::expected_title(kTitle), &why),
          "HTML output is clean", why);
      break;
    case OutputKind::sxw:
      quorrel::fuzz::require(quorrel::fuzz::is_well_formed_content(out, &why),
                             "content.xml is well formed", why);
      break;
    case OutputKind::odt:  // a package of the SXW converter's content: odt_fuzzer's business
      break;
  }
  return 0;
}
