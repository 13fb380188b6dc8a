// Opens an archive of the complete reading's SXW writer in LibreOffice, as a user's office
// suite would, and checks that the structure arrives: attributes, alignment, spaces, a table,
// notes and a page break. Skipped where LibreOffice is not installed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "document/builder.h"
#include "output/sink.h"
#include "output/sxw_package.h"
#include "test_support.h"
#include "writers/sxw_writer.h"

namespace quorrel::writers {
namespace {

using document::Align;
using document::Attribute;
using document::DocumentBuilder;
using document::SubDocument;

void read_sample(DocumentBuilder& b) {
  b.align_paragraph(Align::center);
  b.printable_ascii("Centred title");
  b.paragraph_break();
  b.printable_ascii("Plain ");
  b.set_attribute(Attribute::bold, true);
  b.printable_ascii("bold words");
  b.set_attribute(Attribute::bold, false);
  b.printable_ascii(" and ");
  b.set_attribute(Attribute::italic, true);
  b.set_attribute(Attribute::underline, true);
  b.printable_ascii("underlined italic");
  b.set_attribute(Attribute::italic, false);
  b.set_attribute(Attribute::underline, false);
  b.printable_ascii(" x   y");
  b.open_sub_document(SubDocument::footnote);
  b.printable_ascii("note text");
  b.close_sub_document();
  b.printable_ascii(" after");
  b.open_sub_document(SubDocument::endnote);
  b.printable_ascii("end text");
  b.close_sub_document();
  b.open_sub_document(SubDocument::header);
  b.printable_ascii("head text");
  b.close_sub_document();
  b.paragraph_break();
  b.open_table(2);
  for (const char* row : {"1", "2"}) {
    b.open_row();
    for (const char* column : {"a", "b"}) {
      b.open_cell();
      b.printable_ascii(std::string("cell ") + column + row);
    }
  }
  b.open_row();
  for (const char* cell : {"wide1", "wide2", "wide3"}) {
    b.open_cell();
    b.printable_ascii(cell);
  }
  b.close_table();
  b.page_break();
  b.text("Next page \xC3\xBC\xE2\x82\xAC");
  b.finish();
}

// The style name on the element just before `text` in `document`.
std::string style_before(const std::string& document, const std::string& text) {
  std::size_t at = document.find(text);
  if (at == std::string::npos) return "(text missing)";
  std::size_t name = document.rfind("text:style-name=\"", at);
  if (name == std::string::npos) return "(no style)";
  name += 17;
  return document.substr(name, document.find('"', name) - name);
}

// The definition of the automatic style `name`.
std::string style_definition(const std::string& document, const std::string& name) {
  std::size_t at = document.find("<style:style style:name=\"" + name + "\"");
  if (at == std::string::npos) return {};
  return document.substr(at, document.find("</style:style>", at) - at);
}

std::size_t count(const std::string& document, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t at = document.find(what); at != std::string::npos;
       at = document.find(what, at + 1)) {
    ++n;
  }
  return n;
}

TEST(LibreOffice, OpensTheCompleteReadingsArchive) {
  std::string soffice = testing::find_program("soffice");
  if (soffice.empty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";

  testing::TempDir dir;
  std::string content;
  StringSink sink(content);
  SxwContentWriter writer(sink);
  DocumentBuilder builder(writer);
  read_sample(builder);
  ASSERT_TRUE(writer.ok());
  Spool spool(dir.path().string());
  ASSERT_TRUE(spool.write(content.data(), content.size()));
  EXPECT_TRUE(sxw::pack(dir.file("sample.sxw"), spool));

  // Flat ODF shows what LibreOffice made of every element and style.
  testing::run_program({"timeout", "300", soffice, "--headless",
                        "-env:UserInstallation=file://" + dir.file("profile"), "--convert-to",
                        "fodt", "--outdir", dir.file("out"), dir.file("sample.sxw")});
  ASSERT_TRUE(testing::exists(dir.file("out/sample.fodt"))) << "LibreOffice could not load it";
  std::string opened = testing::read_file(dir.file("out/sample.fodt"));

  EXPECT_NE(style_definition(opened, style_before(opened, ">Centred title"))
                .find("fo:text-align=\"center\""),
            std::string::npos);
  EXPECT_NE(style_definition(opened, style_before(opened, ">bold words"))
                .find("fo:font-weight=\"bold\""),
            std::string::npos);
  std::string italic = style_definition(opened, style_before(opened, ">underlined italic"));
  EXPECT_NE(italic.find("fo:font-style=\"italic\""), std::string::npos) << italic;
  EXPECT_NE(italic.find("style:text-underline-style=\"solid\""), std::string::npos) << italic;
  EXPECT_NE(opened.find("x <text:s text:c=\"2\"/>y"), std::string::npos);  // three spaces

  std::size_t footnote = opened.find("text:note-class=\"footnote\"><text:note-citation>");
  std::size_t endnote = opened.find("text:note-class=\"endnote\"><text:note-citation>");
  ASSERT_NE(footnote, std::string::npos);
  ASSERT_NE(endnote, std::string::npos);
  EXPECT_LT(opened.find("note text", footnote), opened.find("</text:note>", footnote));
  EXPECT_LT(opened.find("end text", endnote), opened.find("</text:note>", endnote));
  EXPECT_NE(opened.find("head text"), std::string::npos);

  // Every cell kept, the widest row's included: LibreOffice drops cells past the columns.
  EXPECT_EQ(count(opened, "<table:table "), 1u);
  for (const char* cell : {"cell a1", "cell b1", "cell a2", "cell b2", "wide1", "wide2", "wide3"}) {
    std::size_t at = opened.find(cell);
    ASSERT_NE(at, std::string::npos) << cell;
    EXPECT_LT(opened.rfind("<table:table-cell", at), at) << cell;
  }

  EXPECT_NE(style_definition(opened, style_before(opened, ">Next page \xC3\xBC\xE2\x82\xAC"))
                .find("fo:break-before=\"page\""),
            std::string::npos);
}

}  // namespace
}  // namespace quorrel::writers
