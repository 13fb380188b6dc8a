#include "output/sxw_content.h"

namespace quorrel::sxw {

namespace {

constexpr std::string_view kProlog =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
    "\n<!DOCTYPE office:document-content PUBLIC \"-//OpenOffice.org//DTD OfficeDocument 1.0//EN\""
    " \"office.dtd\">"
    "\n<office:document-content"
    " xmlns:office=\"http://openoffice.org/2000/office\""
    " xmlns:style=\"http://openoffice.org/2000/style\""
    " xmlns:text=\"http://openoffice.org/2000/text\""
    " xmlns:table=\"http://openoffice.org/2000/table\""
    " xmlns:draw=\"http://openoffice.org/2000/drawing\""
    " xmlns:fo=\"http://www.w3.org/1999/XSL/Format\""
    " xmlns:xlink=\"http://www.w3.org/1999/xlink\""
    " xmlns:number=\"http://openoffice.org/2000/datastyle\""
    " xmlns:svg=\"http://www.w3.org/2000/svg\""
    " xmlns:chart=\"http://openoffice.org/2000/chart\""
    " xmlns:dr3d=\"http://openoffice.org/2000/dr3d\""
    " xmlns:math=\"http://www.w3.org/1998/Math/MathML\""
    " xmlns:form=\"http://openoffice.org/2000/form\""
    " xmlns:script=\"http://openoffice.org/2000/script\""
    " office:class=\"text\" office:version=\"1.0\">"
    "\n<office:script/>"
    "\n\n<office:font-decls>"
    "\n<style:font-decl style:name=\"Arial\" fo:font-family=\"Arial\"/>"
    "\n<style:font-decl style:name=\"Arial Unicode MS\" fo:font-family=\"&apos;Arial Unicode "
    "MS&apos;\" style:font-pitch=\"variable\"/>"
    "\n<style:font-decl style:name=\"HG Mincho Light J\" fo:font-family=\"&apos;HG Mincho Light "
    "J&apos;\" style:font-pitch=\"variable\"/>";

constexpr std::string_view kBasicStyles =
    "\n\n</office:font-decls><office:automatic-styles>"
    "\n<style:style style:name=\"P1\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\">"
    "\n<style:properties fo:font-weight=\"bold\"/>"
    "\n</style:style>"
    "\n<style:style style:name=\"P2\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Standard\">"
    "\n<style:properties fo:font-style=\"italic\"/>"
    "\n</style:style>";

#define QUORREL_TEXT_STYLE(name, properties)                                \
  "\n<style:style style:name=\"" name "\" style:family=\"text\">" properties \
  "\n</style:style>"
#define QUORREL_SIZE(percent, complex)                                         \
  "\n<style:properties fo:font-size=\"" percent "\" style:font-size-asian=\"" percent \
  "\" style:font-size-complex=\"" complex "\"/>"
#define QUORREL_ITALIC                                                            \
  "\n<style:properties fo:font-style=\"italic\" style:font-style-asian=\"italic\" " \
  "style:font-style-complex=\"italic\"/>"
#define QUORREL_UNDERLINED(properties)                                             \
  "\n<style:properties " properties " style:text-underline=\"single\" "           \
  "style:text-underline-color=\"font-color\"/>"

constexpr std::string_view kFullStyles =
    "\n</office:font-decls>"
    "\n\n<office:automatic-styles>"
    "\n<style:style style:name=\"P1\" style:family=\"paragraph\" "
    "style:parent-style-name=\"Normal\">"
    "\n<style:properties style:text-autospace=\"none\"/>"
    "\n</style:style>"
    QUORREL_TEXT_STYLE("T0", QUORREL_SIZE("180%", "180%"))
    QUORREL_TEXT_STYLE("T1", QUORREL_SIZE("160%", "160%"))
    QUORREL_TEXT_STYLE("T2", QUORREL_SIZE("140%", "140%"))
    QUORREL_TEXT_STYLE("T3", QUORREL_SIZE("60%", "80%"))
    QUORREL_TEXT_STYLE("T4", QUORREL_SIZE("40%", "60%"))
    QUORREL_TEXT_STYLE("T5", "\n<style:properties style:text-position=\"super\"/>")
    QUORREL_TEXT_STYLE("T6", "\n<style:properties style:text-position=\"sub\"/>")
    QUORREL_TEXT_STYLE("T7", "\n<style:properties style:text-outline=\"true\"/>")
    QUORREL_TEXT_STYLE("T8", QUORREL_ITALIC)
    QUORREL_TEXT_STYLE("T9", "\n<style:properties fo:text-shadow=\"on\"/>")
    QUORREL_TEXT_STYLE("T10", QUORREL_ITALIC)
    QUORREL_TEXT_STYLE("T11", "\n<style:properties style:text-underline=\"double\"/>")
    QUORREL_TEXT_STYLE("T12", "\n<style:properties fo:font-weight=\"bold\" "
                              "style:font-weight-asian=\"bold\" "
                              "style:font-weight-complex=\"bold\"/>")
    QUORREL_TEXT_STYLE("T13", "\n<style:properties style:text-crossing-out=\"single-line\"/>")
    QUORREL_TEXT_STYLE("T14", "\n<style:properties style:text-underline=\"single\"/>")
    QUORREL_TEXT_STYLE("T15", "\n<style:properties fo:font-variant=\"small-caps\"/>")
    QUORREL_TEXT_STYLE("T16", "\n<style:properties style:text-blinking=\"true\"/>")
    QUORREL_TEXT_STYLE("T17", QUORREL_ITALIC)
    QUORREL_TEXT_STYLE("H1", "\n<style:properties fo:font-weight=\"bold\" "
                             "fo:font-style=\"italic\"/>")
    QUORREL_TEXT_STYLE("H2", QUORREL_UNDERLINED("fo:font-weight=\"bold\""))
    QUORREL_TEXT_STYLE("H3", QUORREL_UNDERLINED("fo:font-style=\"italic\""))
    QUORREL_TEXT_STYLE("H4", QUORREL_UNDERLINED("fo:font-weight=\"bold\" "
                                                "fo:font-style=\"italic\""))
    QUORREL_TEXT_STYLE("H5", "\n<style:properties fo:text-align=\"center\" "
                             "style:justify-single-word=\"false\"/>");

#undef QUORREL_TEXT_STYLE
#undef QUORREL_SIZE
#undef QUORREL_ITALIC
#undef QUORREL_UNDERLINED

constexpr std::string_view kBodyStart =
    "\n</office:automatic-styles>"
    "\n\n<office:body>"
    "\n<text:sequence-decls>"
    "\n<text:sequence-decl text:display-outline-level=\"0\" text:name=\"Illustration\"/>"
    "\n<text:sequence-decl text:display-outline-level=\"0\" text:name=\"Table\"/>"
    "\n<text:sequence-decl text:display-outline-level=\"0\" text:name=\"Text\"/>"
    "\n<text:sequence-decl text:display-outline-level=\"0\" text:name=\"Drawing\"/>"
    "\n</text:sequence-decls>\n"
    "<text:p text:style-name=\"Standard\">";

constexpr std::string_view kEpilogue =
    "\n</text:p>"
    "\n</office:body>"
    "\n</office:document-content>";

}  // namespace

void write_prolog(TextWriter& out, StyleSet styles) {
  out.write(kProlog);
  out.write(styles == StyleSet::basic ? kBasicStyles : kFullStyles);
  out.write(kBodyStart);
}

void write_epilogue(TextWriter& out) { out.write(kEpilogue); }

}  // namespace quorrel::sxw
