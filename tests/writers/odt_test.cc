// ODT packages of both readings: the package's layout, well-formed parts, the exact reading's
// text and codes carried over unchanged, the complete reading's structure, and bounded memory.
#include <gtest/gtest.h>

#include <cstring>

#include "convert/registry.h"
#include "output/odt_from_sxw.h"
#include "output/skeleton.h"
#include "output/text_writer.h"
#include "properties.h"
#include "random_events.h"
#include "writers/odt_support.h"
#include "writers/odt_writer.h"

namespace quorrel {
namespace {

using document::Align;
using document::Attribute;
using document::DocumentBuilder;
using document::SubDocument;
using testing::Member;
using testing::TempDir;

constexpr const char* kParts[] = {"content.xml", "styles.xml", "meta.xml", "META-INF/manifest.xml"};

void expect_well_formed(const std::vector<Member>& members, const std::string& what) {
  for (const char* part : kParts) {
    std::string why;
    EXPECT_TRUE(fuzz::is_well_formed_xml(testing::member(members, part), &why))
        << what << " " << part << ": " << why;
  }
}

// The body of a content document: what lies between the sequence declarations and the end.
std::string body_of(const std::string& content, std::string_view end) {
  constexpr std::string_view kStart = "</text:sequence-decls>";
  std::size_t start = content.find(kStart);
  std::size_t stop = content.rfind(end);
  if (start == std::string::npos || stop == std::string::npos || stop < start) return "<none>";
  start += kStart.size();
  return content.substr(start, stop - start);
}

std::string replace_all(std::string text, std::string_view from, std::string_view to) {
  for (std::size_t at = text.find(from); at != std::string::npos;
       at = text.find(from, at + to.size())) {
    text.replace(at, from.size(), to);
  }
  return text;
}

TEST(OdtPackage, MimetypeFirstAndStoredThenEveryPart) {
  TempDir dir;
  std::string path = dir.file("doc.wpd.odt");
  testing::write_complete_odt(
      dir.path(),
      [](DocumentBuilder& b) {
        b.printable_ascii("Hello");
        b.finish();
      },
      path);
  std::vector<Member> members = testing::members_of(path);
  ASSERT_EQ(members.size(), 5u);
  EXPECT_EQ(members[0], (Member{"mimetype", "application/vnd.oasis.opendocument.text", true}));
  std::vector<std::string> names;
  for (const Member& m : members) names.push_back(m.name);
  EXPECT_EQ(names, (std::vector<std::string>{"mimetype", "META-INF/manifest.xml", "content.xml",
                                             "styles.xml", "meta.xml"}));
  for (std::size_t i = 1; i < members.size(); ++i) EXPECT_FALSE(members[i].stored) << names[i];
  // Readers that sniff the type look for the name and the type at fixed offsets: no extra field.
  std::string file = testing::read_file(path);
  EXPECT_EQ(file.substr(30, 8), "mimetype");
  EXPECT_EQ(file.substr(38, 39), "application/vnd.oasis.opendocument.text");
  std::string manifest = testing::member(members, "META-INF/manifest.xml");
  for (const char* part : {"content.xml", "styles.xml", "meta.xml"}) {
    EXPECT_NE(manifest.find(std::string("manifest:full-path=\"") + part + "\""), std::string::npos);
  }
  // Nothing but the package is left in the folder.
  EXPECT_EQ(testing::list_folder(dir.path()), std::vector<std::string>{"doc.wpd.odt"});
}

TEST(OdtPackage, MetaHoldsTheTitleAsValidXml) {
  const std::pair<std::string, std::string> cases[] = {
      {"report.wpd", "<dc:title>report.wpd</dc:title>"},
      {"a <b> & c.wpd", "<dc:title>a &lt;b&gt; &amp; c.wpd</dc:title>"},
      {"caf\xC3\xA9.wpd", "<dc:title>caf\xC3\xA9.wpd</dc:title>"},
      {"bad\xFF\x01.wpd", "<dc:title>bad\xEF\xBF\xBD\xEF\xBF\xBD.wpd</dc:title>"},
      {"line\r\nend", "<dc:title>line&#13;\nend</dc:title>"},
  };
  for (const auto& [title, expected] : cases) {
    std::string meta = odt::meta_document(title);
    EXPECT_NE(meta.find(expected), std::string::npos) << meta;
    EXPECT_NE(meta.find("<meta:generator>Quorrel 4.3</meta:generator>"), std::string::npos);
    std::string why;
    EXPECT_TRUE(fuzz::is_well_formed_xml(meta, &why)) << title << ": " << why;
  }
}

// ---------------------------------------------------------------------------------------------
// The exact reading

TEST(OdtExact, CarriesTheSxwTextAndCodesOfEveryGeneration) {
  TempDir dir;
  int converted = 0;
  for (const examples::ExampleFile& document : testing::odt_examples()) {
    for (FormatCode format : {TYPE_UNKNOWN, TYPE_WP, TYPE_W51, TYPE_WPD}) {
      std::string path = dir.file("out.odt");
      std::string sxw;
      if (!testing::write_exact_odt(dir.path(), document, format, path, &sxw)) continue;
      ++converted;
      std::vector<Member> members = testing::members_of(path);
      expect_well_formed(members, document.name);
      std::string content = testing::member(members, "content.xml");
      // The body is the SXW body but for the tab element's name.
      EXPECT_EQ(body_of(content, "</office:text>"),
                replace_all(body_of(sxw, "</office:body>"), "<text:tab-stop/>", "<text:tab/>"))
          << document.name;
      EXPECT_EQ(content.find("openoffice.org"), std::string::npos);
      EXPECT_NE(content.find("office:version=\"1.3\""), std::string::npos);
      // Every span style it uses is a text-family style.
      for (std::string_view name : {"P1", "P2", "T12", "T8", "H5"}) {
        bool used =
            content.find("<text:span text:style-name=\"" + std::string(name)) != std::string::npos;
        bool text_style = content.find("<style:style style:name=\"" + std::string(name) +
                                       "\" style:family=\"text\">") != std::string::npos;
        EXPECT_TRUE(!used || text_style) << document.name << " " << name;
      }
    }
  }
  EXPECT_GT(converted, 40);
}

TEST(OdtExact, BoldAndItalicShowAsTextStyles) {
  TempDir dir;
  examples::W51Builder w51;
  w51.text("plain ").bold("strong").text(" ").italics("leaning");
  std::string path = dir.file("b.odt");
  ASSERT_TRUE(testing::write_exact_odt(dir.path(), {"b.w51", w51.file()}, TYPE_W51, path));
  std::string content = testing::member(testing::members_of(path), "content.xml");
  EXPECT_NE(
      content.find("<style:style style:name=\"P1\" style:family=\"text\"><style:text-properties "
                   "fo:font-weight=\"bold\""),
      std::string::npos);
  EXPECT_NE(
      content.find("<style:style style:name=\"P2\" style:family=\"text\"><style:text-properties "
                   "fo:font-style=\"italic\""),
      std::string::npos);
  EXPECT_NE(content.find("<text:span text:style-name=\"P1\">strong"), std::string::npos) << content;
}

// Feeding the content in pieces of any size gives the same parts; anything outside the exact
// converters' vocabulary, or a document cut short, is refused.
TEST(OdtExact, PiecesOfAnySizeAndForeignContent) {
  examples::WpdBuilder wpd;
  wpd.text("a<b>&\"c\"").tab().bold("bold").hard_return().italics("it").centre().text("mid");
  std::string sxw =
      convert_memory(converter_for(OutputKind::sxw, TYPE_WPD), wpd.file(), "t").output;
  auto translate = [](std::string_view content, std::size_t piece, std::string* body) {
    odt::SxwToOdt odt("", "t");
    bool ok = true;
    for (std::size_t at = 0; at < content.size(); at += piece) {
      ok = odt.write(content.data() + at, std::min(piece, content.size() - at)) && ok;
    }
    ok = odt.finish() && ok;
    if (ok && body != nullptr) {
      auto* spool = std::get<const Spool*>(odt.parts().content[1]);
      body->resize(spool->size());
      spool->read(0, body->data(), body->size());
    }
    return ok;
  };
  std::string whole;
  ASSERT_TRUE(translate(sxw, sxw.size(), &whole));
  EXPECT_NE(
      whole.find("a&lt;b&gt;&amp;&quot;c&quot;<text:tab/><text:span text:style-name=\"T12\">bold"),
      std::string::npos);
  for (std::size_t piece = 1; piece < 80; ++piece) {
    std::string body;
    ASSERT_TRUE(translate(sxw, piece, &body)) << piece;
    EXPECT_EQ(body, whole) << piece;
  }

  const std::pair<std::string_view, std::string_view> foreign[] = {
      {"</text:p>", "</text:p><text:h>"},  // an element the converters never write
      {"</text:p>", "</text:p>x"},         // text between paragraphs
      {"a&lt;b", "a&lt;b&nbsp;"},          // an unknown reference
      {"a&lt;b", "a&lt;b>"},               // a raw '>'
      {"a&lt;b", "a&lt;b\x01"},            // a control character
      {"a&lt;b", "a&lt;b\x7F"},            // DEL
      {"a&lt;b", "a&lt;b\xC3\xA9"},        // outside ASCII
      {"<text:span text:style-name=\"T12\">", "<text:span text:style-name=\"T99\">"},
      {"</text:span>", ""},                                  // a span left open
      {"office:version=\"1.0\"", "office:version=\"2.0\""},  // another prolog
  };
  for (auto [from, to] : foreign) {
    std::string changed = sxw;
    std::size_t at = changed.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    changed.replace(at, from.size(), to);
    EXPECT_FALSE(translate(changed, changed.size(), nullptr)) << to;
    EXPECT_FALSE(translate(changed, 7, nullptr)) << to;
  }
  for (std::size_t cut : {std::size_t{0}, std::size_t{100}, sxw.size() - 1}) {
    EXPECT_FALSE(translate(sxw.substr(0, cut), 64, nullptr)) << cut;
  }
}

// ---------------------------------------------------------------------------------------------
// The complete reading

TEST(OdtComplete, WritesTheWholeStructure) {
  TempDir dir;
  for (const testing::CompleteCase& c : testing::complete_cases()) {
    std::string path = dir.file("c.odt");
    testing::write_complete_odt(dir.path(), c.script, path);
    std::vector<Member> members = testing::members_of(path);
    expect_well_formed(members, c.name);
    std::string content = testing::member(members, "content.xml");
    std::string styles = testing::member(members, "styles.xml");
    for (const std::string& wanted : c.content) {
      EXPECT_NE(content.find(wanted), std::string::npos) << c.name << ": " << wanted << "\n"
                                                         << content;
    }
    for (const std::string& wanted : c.styles) {
      EXPECT_NE(styles.find(wanted), std::string::npos) << c.name << ": " << wanted << "\n"
                                                        << styles;
    }
    for (const std::string& unwanted : c.absent) {
      EXPECT_EQ(content.find(unwanted), std::string::npos) << c.name << ": " << unwanted;
      EXPECT_EQ(styles.find(unwanted), std::string::npos) << c.name << ": " << unwanted;
    }
  }
}

TEST(OdtComplete, RandomDocumentsGiveWellFormedParts) {
  TempDir dir;
  for (std::uint32_t key = 1; key <= 60; ++key) {
    std::string script = examples::random_script(2000, key);
    std::string path = dir.file("r.odt");
    testing::write_complete_odt(
        dir.path(), [&script](DocumentBuilder& b) { examples::play_events(b, script); }, path);
    expect_well_formed(testing::members_of(path), "script " + std::to_string(key));
  }
}

// A body larger than the spools keep in memory goes to an unnamed file: the package holds
// every byte, a table's column count is still filled in, and no file is left behind.
TEST(OdtComplete, LargeBodiesSpillWithoutLeavingFiles) {
  TempDir dir;
  std::string word = "abcdefghij <&> ";
  std::size_t words = 2 * Spool::kMemoryLimit / word.size();
  std::string path = dir.file("large.odt");
  testing::write_complete_odt(
      dir.path(),
      [&](DocumentBuilder& b) {
        b.open_table(0);
        b.open_cell();
        for (std::size_t i = 0; i < words; ++i) b.printable_ascii(word);
        b.open_cell();
        b.printable_ascii("second");
        b.close_table();
        b.open_sub_document(SubDocument::header);
        for (std::size_t i = 0; i < words; ++i) b.printable_ascii(word);
        b.close_sub_document();
        b.finish();
      },
      path);
  EXPECT_EQ(testing::list_folder(dir.path()), std::vector<std::string>{"large.odt"});
  std::vector<Member> members = testing::members_of(path);
  std::string content = testing::member(members, "content.xml");
  EXPECT_NE(content.find("table:number-columns-repeated=\"0000000002\""), std::string::npos);
  EXPECT_NE(content.find("second</text:p>"), std::string::npos);
  EXPECT_TRUE(content.ends_with("</office:document-content>\n"));
  std::string escaped = "abcdefghij &lt;&amp;&gt; ";
  std::size_t count = 0;
  for (std::size_t at = content.find(escaped); at != std::string::npos;
       at = content.find(escaped, at + escaped.size())) {
    ++count;
  }
  EXPECT_EQ(count, words);
  EXPECT_GT(testing::member(members, "styles.xml").size(), words * escaped.size());
  expect_well_formed(members, "large");
}

// The spool itself: reads back what was written, whether held in memory or in its file, and
// patches either.
TEST(OdtSpool, ReadsAndPatchesInMemoryAndInItsFile) {
  TempDir dir;
  for (std::size_t size : {std::size_t{1000}, Spool::kMemoryLimit + 1000}) {
    Spool spool(dir.path());
    std::string expected;
    for (std::size_t i = 0; expected.size() < size; ++i) {
      std::string piece = std::to_string(i) + ",";
      expected += piece;
      ASSERT_TRUE(spool.write(piece.data(), piece.size()));
    }
    ASSERT_TRUE(spool.patch(3, "XYZ"));
    expected.replace(3, 3, "XYZ");
    EXPECT_FALSE(spool.patch(expected.size() - 1, "ab"));  // past the end
    std::string back(expected.size(), '\0');
    std::size_t at = 0;
    while (at < back.size()) {
      std::int64_t got = spool.read(at, back.data() + at, 4097);
      ASSERT_GT(got, 0);
      at += static_cast<std::size_t>(got);
    }
    EXPECT_EQ(spool.read(at, back.data(), 1), 0);
    EXPECT_EQ(back, expected) << size;
    EXPECT_TRUE(testing::list_folder(dir.path()).empty());
  }
}

}  // namespace
}  // namespace quorrel
