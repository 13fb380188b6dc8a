// Fuzzes the ODT output of both readings: the first byte chooses the reading (and, for the
// exact one, the generation read), the rest is the document. Every part of the package must be
// well-formed XML, and the package must be written.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>

#include "convert/registry.h"
#include "document/builder.h"
#include "output/odt_from_sxw.h"
#include "output/odt_package.h"
#include "properties.h"
#include "random_events.h"
#include "recognition/prefix.h"
#include "writers/odt_writer.h"

namespace {

using quorrel::fuzz::require;

std::string assemble(const quorrel::odt::Part& part) {
  std::string bytes;
  for (const quorrel::odt::Piece& piece : part) {
    if (const auto* text = std::get_if<std::string_view>(&piece)) {
      bytes += *text;
      continue;
    }
    const quorrel::Spool* spool = std::get<const quorrel::Spool*>(piece);
    std::size_t at = bytes.size();
    bytes.resize(at + spool->size());
    require(spool->read(0, bytes.data() + at, spool->size()) ==
                static_cast<std::int64_t>(spool->size()),
            "a spool reads back whole");
  }
  return bytes;
}

void check(const quorrel::odt::OdtParts& parts) {
  std::string why;
  require(quorrel::fuzz::is_well_formed_xml(assemble(parts.content), &why),
          "content.xml is well-formed", why);
  require(quorrel::fuzz::is_well_formed_xml(assemble(parts.styles), &why),
          "styles.xml is well-formed", why);
  require(quorrel::fuzz::is_well_formed_xml(parts.meta, &why), "meta.xml is well-formed", why);
  int fd = ::memfd_create("fuzz-odt", MFD_CLOEXEC);
  require(fd >= 0, "memory file");
  require(quorrel::odt::write_odt_package(fd, parts), "the package is written");
  ::close(fd);
}

const std::string kTitle = "fuzzed <name> & \"more\"\xFF.wpd";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0 || size > 32 * 1024) return 0;
  std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  int mode = data[0] % 5;
  if (mode == 4) {  // the complete reading, the input played as builder calls
    quorrel::writers::OdtWriter odt("/tmp", kTitle);
    quorrel::document::DocumentBuilder builder(odt);
    quorrel::examples::play_events(builder, input);
    require(odt.ok(), "the complete reading's parts are stored");
    check(odt.parts());
    return 0;
  }
  const quorrel::ConverterSpec& converter =
      quorrel::converter_for(quorrel::OutputKind::sxw, static_cast<quorrel::FormatCode>(mode));
  quorrel::ByteSource in = quorrel::ByteSource::from_memory(input);
  if (converter.prefix != quorrel::PrefixRule::none &&
      !quorrel::check_and_skip_prefix(in).matched) {
    return 0;
  }
  quorrel::odt::SxwToOdt odt("/tmp", kTitle);
  {
    quorrel::TextWriter out(odt);
    converter.body(in, out, quorrel::DocumentInfo{kTitle});
    out.flush();
    require(!out.failed(), "the exact content is taken");
  }
  require(odt.finish(), "the exact converters' content is carried over whole");
  check(odt.parts());
  return 0;
}
