// OpenDocument Text (.odt) packages, shared by both readings: the store that holds a part
// while it is written, the frames of the parts every package has, and the packing into a ZIP
// archive on a descriptor.
//
// A writer streams its content.xml body (and the header and footer text of styles.xml) into
// Spools, which keep a small part in memory and put anything larger in an unnamed file beside
// the output, so that memory stays bounded whatever the document's size and no file is ever
// left behind. When the body is done it knows which styles it used, writes the parts' heads
// in memory, and hands the parts, as pieces in order, to write_odt_package.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "io/spool.h"
#include "output/sink.h"

namespace quorrel::odt {

// A piece of a part: bytes in memory, which must outlive the packing, or a whole spool.
using Piece = std::variant<std::string_view, const Spool*>;
using Part = std::vector<Piece>;

struct OdtParts {
  Part content;      // content.xml
  Part styles;       // styles.xml
  std::string meta;  // meta.xml
};

inline constexpr std::string_view kMimeType = "application/vnd.oasis.opendocument.text";

// Writes the whole package to `fd`, an empty, seekable descriptor opened for reading and
// writing (OutputFile::descriptor() of the final name plus ".odt"): "mimetype" first and
// stored, then META-INF/manifest.xml, content.xml, styles.xml and meta.xml. The caller then
// commits or discards the file; false when anything could not be read or written.
bool write_odt_package(int fd, const OdtParts& parts);

// meta.xml: the title (the input's name; bytes that are not valid UTF-8 or not allowed in
// XML become U+FFFD) and the generator.
std::string meta_document(std::string_view title);

// The root start tag of content.xml with every namespace either reading uses, the font faces,
// and the start of the automatic styles; the writer adds its styles and kContentBodyStart.
extern const std::string_view kContentStart;
inline constexpr std::string_view kContentBodyStart =
    "</office:automatic-styles>\n<office:body>\n<office:text>\n"
    "<text:sequence-decls>\n"
    "<text:sequence-decl text:display-outline-level=\"0\" text:name=\"Illustration\"/>\n"
    "<text:sequence-decl text:display-outline-level=\"0\" text:name=\"Table\"/>\n"
    "<text:sequence-decl text:display-outline-level=\"0\" text:name=\"Text\"/>\n"
    "<text:sequence-decl text:display-outline-level=\"0\" text:name=\"Drawing\"/>\n"
    "</text:sequence-decls>";
inline constexpr std::string_view kContentEnd =
    "</office:text>\n</office:body>\n</office:document-content>\n";

// styles.xml up to its automatic styles (the common styles, among them "Standard", and the
// letter-size page layout "pm1"); the writer adds its automatic styles, then
// kStylesMasterStart, the header and footer (style:header, style:footer), and kStylesEnd.
extern const std::string_view kStylesStart;
inline constexpr std::string_view kStylesMasterStart =
    "</office:automatic-styles>\n<office:master-styles>\n"
    "<style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\">";
inline constexpr std::string_view kStylesEnd =
    "</style:master-page>\n</office:master-styles>\n</office:document-styles>\n";

// How a text-family style shows its text; shared so that both readings show attributes alike.
struct TextLook {
  bool bold = false, italic = false, underline = false, strikeout = false;
  bool superscript = false, subscript = false, small_caps = false;
};
// The automatic style element `name` of the text family (empty properties for no look).
void append_text_style(std::string& out, std::string_view name, const TextLook& look);

}  // namespace quorrel::odt
