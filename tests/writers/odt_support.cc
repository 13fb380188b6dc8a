#include "writers/odt_support.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "convert/registry.h"
#include "io/output_file.h"
#include "output/odt_from_sxw.h"
#include "output/skeleton.h"
#include "random_documents.h"
#include "recognition/prefix.h"
#include "writers/odt_writer.h"

namespace quorrel::testing {

void write_package(const std::string& path, const odt::OdtParts& parts) {
  OutputFile file;
  ASSERT_TRUE(file.create(path)) << path;
  ASSERT_TRUE(odt::write_odt_package(file.descriptor(), parts)) << path;
  ASSERT_TRUE(file.commit()) << path;
}

bool write_exact_odt(const std::string& folder, const examples::ExampleFile& document,
                     FormatCode format, const std::string& path, std::string* sxw_content) {
  const ConverterSpec& converter = converter_for(OutputKind::sxw, format);
  MemoryConversion sxw = convert_memory(converter, document.bytes, document.name);
  if (sxw.status != ConvertStatus::ok) return false;
  if (sxw_content != nullptr) *sxw_content = sxw.output;

  ByteSource in = ByteSource::from_memory(document.bytes);
  if (converter.prefix != PrefixRule::none) check_and_skip_prefix(in);
  odt::SxwToOdt odt(folder, document.name);
  TextWriter out(odt);
  converter.body(in, out, DocumentInfo{document.name});
  out.flush();
  EXPECT_FALSE(out.failed()) << document.name;
  EXPECT_TRUE(odt.finish()) << converter.name << " " << document.name;
  write_package(path, odt.parts());
  return true;
}

void write_complete_odt(const std::string& folder, const Script& script, const std::string& path,
                        std::string_view title) {
  writers::OdtWriter odt(folder, title);
  document::DocumentBuilder builder(odt);
  script(builder);
  ASSERT_TRUE(odt.ok()) << path;
  write_package(path, odt.parts());
}

std::string member(const std::vector<Member>& members, const std::string& name) {
  for (const Member& m : members) {
    if (m.name == name) return m.bytes;
  }
  return {};
}

void unpack(const std::string& archive, const std::string& folder) {
  for (const Member& m : members_of(archive)) {
    std::filesystem::path target = std::filesystem::path(folder) / m.name;
    std::filesystem::create_directories(target.parent_path());
    write_file(target.string(), m.bytes);
  }
}

const std::vector<CompleteCase>& complete_cases() {
  using document::Align;
  using document::Attribute;
  using document::DocumentBuilder;
  using document::SubDocument;
  static const std::vector<CompleteCase> cases = {
      {"paragraphs and alignment",
       [](DocumentBuilder& b) {
         b.printable_ascii("left");
         b.paragraph_break();
         b.align_paragraph(Align::center);
         b.printable_ascii("centred");
         b.paragraph_break();
         b.set_justification(Align::justify);
         b.printable_ascii("justified");
         b.finish();
       },
       {"<text:p text:style-name=\"Standard\">left</text:p>",
        "<text:p text:style-name=\"P_center\">centred</text:p>",
        "<text:p text:style-name=\"P_justify\">justified</text:p>",
        "<style:style style:name=\"P_center\" style:family=\"paragraph\" "
        "style:parent-style-name=\"Standard\"><style:paragraph-properties "
        "fo:text-align=\"center\"/>"},
       {"<style:style style:name=\"Standard\" style:family=\"paragraph\""},
       {"P_right"}},
      {"attributes as text styles",
       [](DocumentBuilder& b) {
         b.printable_ascii("a ");
         b.set_attribute(Attribute::bold, true);
         b.printable_ascii("b");
         b.set_attribute(Attribute::italic, true);
         b.printable_ascii("bi");
         b.set_attribute(Attribute::bold, false);
         b.set_attribute(Attribute::italic, false);
         b.set_attribute(Attribute::superscript, true);
         b.printable_ascii("2");
         b.finish();
       },
       {"a <text:span text:style-name=\"T1\">b</text:span>"
        "<text:span text:style-name=\"T3\">bi</text:span><text:span text:style-name=\"T16\">2",
        "<style:style style:name=\"T1\" style:family=\"text\"><style:text-properties "
        "fo:font-weight=\"bold\"",
        "style:name=\"T3\" style:family=\"text\"><style:text-properties fo:font-weight=\"bold\" "
        "style:font-weight-asian=\"bold\" style:font-weight-complex=\"bold\" "
        "fo:font-style=\"italic\"",
        "style:name=\"T16\" style:family=\"text\"><style:text-properties "
        "style:text-position=\"super 58%\""},
       {}},
      {"spaces, tabs, breaks and escapes",
       [](DocumentBuilder& b) {
         b.printable_ascii(" lead  two   three");
         b.tab();
         b.printable_ascii(" after tab");
         b.line_break();
         b.text("<&> \xEF\xBF\xBF end");
         b.finish();
       },
       {"<text:s/>lead <text:s/>two <text:s text:c=\"2\"/>three<text:tab/><text:s/>after tab"
        "<text:line-break/>&lt;&amp;&gt; \xEF\xBF\xBD end"},
       {}},
      {"page break before a paragraph and a table",
       [](DocumentBuilder& b) {
         b.printable_ascii("one");
         b.page_break();
         b.printable_ascii("two");
         b.paragraph_break();
         b.page_break();
         b.open_table(1);
         b.open_cell();
         b.printable_ascii("cell");
         b.close_table();
         b.finish();
       },
       {"<text:p text:style-name=\"P_left_break\">two</text:p>",
        "style:name=\"P_left_break\" style:family=\"paragraph\" "
        "style:parent-style-name=\"Standard\">"
        "<style:paragraph-properties fo:break-before=\"page\"/>",
        "<table:table table:name=\"Table1\" table:style-name=\"Table_break\">",
        "<style:table-properties table:align=\"margins\" fo:break-before=\"page\"/>"},
       {}},
      {"table columns declared, or counted from the rows",
       [](DocumentBuilder& b) {
         b.open_table(0);
         b.open_cell();
         b.printable_ascii("a");
         b.open_cell();
         b.printable_ascii("b");
         b.open_row();
         b.open_cell();
         b.open_cell();
         b.open_cell();
         b.printable_ascii("e");
         b.close_table();
         b.open_table(4);
         b.open_cell();
         b.printable_ascii("x");
         b.close_table();
         b.finish();
       },
       {"<table:table table:name=\"Table1\"><table:table-column "
        "table:number-columns-repeated=\"0000000003\"/>\n<table:table-row><table:table-cell "
        "office:value-type=\"string\"><text:p text:style-name=\"Standard\">a</text:p>\n"
        "</table:table-cell>",
        "<table:table table:name=\"Table2\"><table:table-column "
        "table:number-columns-repeated=\"0000000004\"/>"},
       {}},
      {"footnotes and endnotes are real notes",
       [](DocumentBuilder& b) {
         b.printable_ascii("text");
         b.open_sub_document(SubDocument::footnote);
         b.printable_ascii("first note");
         b.close_sub_document();
         b.printable_ascii(" more");
         b.open_sub_document(SubDocument::endnote);
         b.printable_ascii("an endnote");
         b.close_sub_document();
         b.open_sub_document(SubDocument::footnote);
         b.close_sub_document();
         b.finish();
       },
       {"text<text:note text:id=\"ftn1\" text:note-class=\"footnote\"><text:note-citation>1"
        "</text:note-citation><text:note-body><text:p text:style-name=\"Standard\">first note"
        "</text:p>\n</text:note-body></text:note><text:s/>more",
        "<text:note text:id=\"edn1\" text:note-class=\"endnote\"><text:note-citation>1",
        "<text:note text:id=\"ftn2\" text:note-class=\"footnote\"><text:note-citation>2"
        "</text:note-citation><text:note-body></text:note-body></text:note>"},
       {}},
      {"headers and footers on the master page",
       [](DocumentBuilder& b) {
         b.open_sub_document(SubDocument::header);
         b.set_attribute(Attribute::bold, true);
         b.printable_ascii("Head");
         b.close_sub_document();
         b.printable_ascii("body");
         b.open_sub_document(SubDocument::footer);
         b.align_paragraph(Align::right);
         b.printable_ascii("Foot");
         b.close_sub_document();
         b.finish();
       },
       {"<text:p text:style-name=\"Standard\">body</text:p>", "style:name=\"T1\"",
        "style:name=\"P_right\""},
       {"<style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\"><style:header>"
        "<text:p text:style-name=\"Standard\"><text:span text:style-name=\"T1\">Head</text:span>"
        "</text:p>\n</style:header><style:footer><text:p "
        "text:style-name=\"P_right\">Foot</text:p>\n"
        "</style:footer></style:master-page>",
        "style:name=\"T1\" style:family=\"text\"",
        "style:name=\"P_right\" style:family=\"paragraph\""},
       {"Head</text:span></text:p>\n<text:p"}},
      {"comments hold paragraphs only; text boxes are frames",
       [](DocumentBuilder& b) {
         b.printable_ascii("anchor");
         b.open_sub_document(SubDocument::comment);
         b.printable_ascii("remark");
         b.open_table(2);
         b.open_cell();
         b.printable_ascii("in cell");
         b.close_table();
         b.close_sub_document();
         b.open_sub_document(SubDocument::text_box);
         b.printable_ascii("boxed");
         b.close_sub_document();
         b.finish();
       },
       {"anchor<office:annotation><text:p text:style-name=\"Standard\">remark</text:p>\n"
        "<text:p text:style-name=\"Standard\">in cell</text:p>\n</office:annotation>",
        "<draw:frame draw:name=\"Text box 1\" text:anchor-type=\"as-char\" svg:width=\"6in\" "
        "draw:z-index=\"0\"><draw:text-box fo:min-height=\"0.2in\"><text:p "
        "text:style-name=\"Standard\">boxed</text:p>\n</draw:text-box></draw:frame>"},
       {},
       {"<table:table"}},
  };
  return cases;
}

std::vector<examples::ExampleFile> odt_examples() {
  std::vector<examples::ExampleFile> documents = examples::example_files();
  using examples::Shape;
  const std::pair<FormatCode, const char*> formats[] = {
      {TYPE_UNKNOWN, "txt"}, {TYPE_WP, "wp"}, {TYPE_W51, "w51"}, {TYPE_WPD, "wpd"}};
  const std::pair<Shape, const char*> shapes[] = {
      {Shape::text_heavy, "text"}, {Shape::code_heavy, "codes"}, {Shape::worst_case, "worst"}};
  std::uint32_t key = 1;
  for (auto [format, extension] : formats) {
    for (auto [shape, shape_name] : shapes) {
      documents.push_back({std::string("random ") + shape_name + "." + extension,
                           examples::random_document(format, 6000, key++, shape)});
    }
  }
  return documents;
}

}  // namespace quorrel::testing
