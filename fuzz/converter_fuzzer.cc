// Fuzzes one converter (chosen at build time by QUORREL_FUZZ_KIND and QUORREL_FUZZ_FORMAT) on
// memory, with or without a WordPerfect prefix in front of the fuzzed bytes, and checks what
// any output must satisfy: bounded size and the output kind's well-formedness.
#include <cstddef>
#include <cstdint>
#include <string>

#include "convert/registry.h"
#include "output/skeleton.h"
#include "properties.h"

namespace {

using quorrel::OutputKind;

constexpr auto kKind = static_cast<OutputKind>(QUORREL_FUZZ_KIND);
constexpr auto kFormat = static_cast<quorrel::FormatCode>(QUORREL_FUZZ_FORMAT);

// Output bound per input byte. Tab runs in HTML grow with the line's length, and WordPerfect
// 5.1 indents repeat `hangmax` tabs at every return, so those converters are bounded by the
// square of the input instead.
constexpr bool quadratic() {
  return (kKind == OutputKind::html && kFormat != quorrel::TYPE_W51) ||
         kFormat == quorrel::TYPE_W51;
}
constexpr std::size_t kPerByte = kKind == OutputKind::text ? 2 : kKind == OutputKind::html ? 16 : 128;
constexpr std::size_t kFrame = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64 * 1024) return 0;  // quadratic converters would only measure themselves
  const quorrel::ConverterSpec& converter = quorrel::converter_for(kKind, kFormat);
  std::string input(reinterpret_cast<const char*>(data), size);
  // Half of the inputs get a prefix that sends the fuzzed bytes straight to the document area.
  if (size > 0 && (data[0] & 1) && converter.prefix != quorrel::PrefixRule::none) {
    input = std::string("\xff" "WPC\x06\x00", 6) + input.substr(1);
  }
  const std::string title = "fuzzed <name> & more.wpd";
  quorrel::MemoryConversion result = quorrel::convert_memory(converter, input, title);
  const std::string& out = result.output;
  if (result.status != quorrel::ConvertStatus::ok) {
    quorrel::fuzz::require(out.empty(), "a refused input gives no output");
    return 0;
  }
  std::size_t n = input.size();
  std::size_t bound = kFrame + kPerByte * n + (quadratic() ? 32 * n * n : 0);
  quorrel::fuzz::require(out.size() <= bound, "output within its bound");
  switch (kKind) {
    case OutputKind::text:
      quorrel::fuzz::require(quorrel::fuzz::is_clean_text(out), "text output is clean");
      break;
    case OutputKind::html:
      quorrel::fuzz::require(quorrel::fuzz::is_clean_html(out, "fuzzed [name] & more.wpd"),
                             "HTML output is clean");
      break;
    case OutputKind::sxw:
      quorrel::fuzz::require(quorrel::fuzz::is_well_formed_content(out),
                             "content.xml is well formed");
      break;
  }
  return 0;
}
