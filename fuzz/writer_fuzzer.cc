// Fuzzes the complete reading's three writers at once: the input is a script of a reader's
// calls to the document builder (builder_script.h), and every output must be valid UTF-8,
// well-formed for its kind, stored whole and bounded by the script.
#include <cstddef>
#include <cstdint>
#include <string>

#include "builder_script.h"
#include "document/builder.h"
#include "output/sink.h"
#include "properties.h"
#include "writers/html_writer.h"
#include "writers/plain_text_writer.h"
#include "writers/sxw_writer.h"
#include "writers/tee.h"

namespace {

// A call writes at most a note's or a sub-document's frame and a table's cell (a few hundred
// bytes); a character at most a text:s element or an entity; an empty document its frame.
constexpr std::size_t kPerCall = 400;
constexpr std::size_t kPerByte = 40;
constexpr std::size_t kFrame = 64 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 64 * 1024) return 0;
  std::string text, html, sxw;
  quorrel::StringSink text_sink(text), html_sink(html), sxw_sink(sxw);
  quorrel::writers::PlainTextWriter text_writer(text_sink);
  // The first bytes, whatever they are, also serve as the page title.
  std::string_view script(reinterpret_cast<const char*>(data), size);
  quorrel::writers::HtmlWriter html_writer(html_sink, script.substr(0, 8));
  quorrel::writers::SxwContentWriter sxw_writer(sxw_sink);
  quorrel::writers::TeeSink tee{&text_writer, &html_writer, &sxw_writer};
  quorrel::document::DocumentBuilder builder(tee);
  std::size_t calls = quorrel::fuzz::play_builder_script(script, builder);

  using quorrel::fuzz::require;
  require(text_writer.ok() && html_writer.ok() && sxw_writer.ok(), "every byte stored");
  std::string why;
  require(quorrel::fuzz::is_clean_utf8_text(text, &why), "text output is clean", why);
  require(quorrel::fuzz::is_well_formed_markup(html, quorrel::fuzz::Markup::html, &why),
          "HTML output is well formed", why);
  require(quorrel::fuzz::is_well_formed_markup(sxw, quorrel::fuzz::Markup::xml, &why),
          "content.xml is well formed", why);
  std::size_t bound = kFrame + kPerCall * calls + kPerByte * size;
  require(text.size() <= bound && html.size() <= bound && sxw.size() <= bound,
          "outputs within their bound");
  return 0;
}
