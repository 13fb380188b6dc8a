#include <gtest/gtest.h>

#include "output/html_frame.h"
#include "output/sxw_content.h"

namespace quorrel {
namespace {

template <class Write>
std::string written(Write write) {
  std::string stored;
  StringSink sink(stored);
  {
    TextWriter out(sink);
    write(out);
  }
  return stored;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

TEST(HtmlFrame, PrologueHasSixLinesWithTheTitle) {
  std::string page = written([](TextWriter& out) { html::write_prologue(out, "report.wpd"); });
  EXPECT_EQ(page,
            "<HTML>\r\n<HEAD>\r\n<TITLE>report.wpd</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n");
}

TEST(HtmlFrame, TitleKeepsAmpersandButNeverFormsATag) {
  std::string page =
      written([](TextWriter& out) { html::write_prologue(out, "a&b<script>.wpd"); });
  EXPECT_NE(page.find("<TITLE>a&b[script].wpd</TITLE>"), std::string::npos);
}

TEST(HtmlFrame, EpilogueVariants) {
  EXPECT_EQ(written([](TextWriter& out) {
              html::write_epilogue(out, html::Epilogue::after_line_feed);
            }),
            "\r\n</BODY>\r\n</HTML>\r\n");
  EXPECT_EQ(written([](TextWriter& out) { html::write_epilogue(out, html::Epilogue::tight); }),
            "</BODY>\r\n</HTML>\r\n");
}

TEST(HtmlFrame, HeadingTagsCarryTheLevel) {
  EXPECT_EQ(written([](TextWriter& out) {
              html::write_heading_start(out, 0);
              html::write_heading_end(out, 2);
            }),
            "<H0></H2>");
  EXPECT_EQ(html::document_character('<'), '[');
  EXPECT_EQ(html::document_character('>'), ']');
  EXPECT_EQ(html::document_character('&'), '&');
}

TEST(SxwContent, FirstThreeLinesAndNoFinalLineFeed) {
  std::string doc = written([](TextWriter& out) {
    sxw::write_prolog(out, sxw::StyleSet::basic);
    sxw::write_epilogue(out);
  });
  std::vector<std::string> lines = lines_of(doc);
  EXPECT_EQ(lines[0], "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
  EXPECT_EQ(lines[1],
            "<!DOCTYPE office:document-content PUBLIC \"-//OpenOffice.org//DTD OfficeDocument "
            "1.0//EN\" \"office.dtd\">");
  EXPECT_EQ(lines[2].rfind("<office:document-content xmlns:office=", 0), 0u);
  EXPECT_EQ(lines[2].substr(lines[2].size() - 42),
            " office:class=\"text\" office:version=\"1.0\">");
  for (const char* prefix : {"office", "style", "text", "table", "draw", "fo", "xlink", "number",
                             "svg", "chart", "dr3d", "math", "form", "script"}) {
    EXPECT_NE(lines[2].find(std::string(" xmlns:") + prefix + "=\""), std::string::npos);
  }
  EXPECT_EQ(lines.back(), "</office:document-content>");
  // An empty body is one empty paragraph.
  EXPECT_NE(doc.find("</text:sequence-decls>\r\n<text:p text:style-name=\"Standard\">\r\n"
                     "</text:p>\r\n</office:body>"),
            std::string::npos);
}

TEST(SxwContent, BasicStyleSet) {
  std::string doc = written([](TextWriter& out) { sxw::write_prolog(out, sxw::StyleSet::basic); });
  EXPECT_NE(
      doc.find("\r\n\r\n</office:font-decls><office:automatic-styles>\r\n"
               "<style:style style:name=\"P1\" style:family=\"paragraph\" "
               "style:parent-style-name=\"Standard\">\r\n"
               "<style:properties fo:font-weight=\"bold\"/>\r\n</style:style>\r\n"
               "<style:style style:name=\"P2\" style:family=\"paragraph\" "
               "style:parent-style-name=\"Standard\">\r\n"
               "<style:properties fo:font-style=\"italic\"/>\r\n</style:style>\r\n"
               "</office:automatic-styles>\r\n\r\n<office:body>"),
      std::string::npos);
}

TEST(SxwContent, FullStyleSetDefinesTwentyFourStyles) {
  std::string doc = written([](TextWriter& out) { sxw::write_prolog(out, sxw::StyleSet::full); });
  EXPECT_NE(doc.find("\r\n</office:font-decls>\r\n\r\n<office:automatic-styles>\r\n"
                     "<style:style style:name=\"P1\" style:family=\"paragraph\" "
                     "style:parent-style-name=\"Normal\">\r\n"
                     "<style:properties style:text-autospace=\"none\"/>\r\n</style:style>"),
            std::string::npos);
  std::size_t count = 0;
  for (std::size_t at = 0; (at = doc.find("<style:style ", at)) != std::string::npos; ++at) {
    ++count;
  }
  EXPECT_EQ(count, 24u);
  EXPECT_NE(doc.find("<style:style style:name=\"T3\" style:family=\"text\">\r\n"
                     "<style:properties fo:font-size=\"60%\" style:font-size-asian=\"60%\" "
                     "style:font-size-complex=\"80%\"/>\r\n</style:style>"),
            std::string::npos);
  EXPECT_NE(doc.find("<style:style style:name=\"H5\" style:family=\"text\">\r\n"
                     "<style:properties fo:text-align=\"center\" "
                     "style:justify-single-word=\"false\"/>\r\n</style:style>\r\n"
                     "</office:automatic-styles>"),
            std::string::npos);
}

TEST(SxwContent, EscapesKeepTheApostrophe) {
  EXPECT_EQ(written([](TextWriter& out) {
              for (char c : std::string("<a & 'b' \"c\">")) sxw::write_character(out, c);
            }),
            "&lt;a &amp; 'b' &quot;c&quot;&gt;");
}

TEST(Literal, LineFeedsAreStoredAsCrLf) {
  constexpr Literal kBreak{"\n</text:p>\n<x>"};
  EXPECT_EQ(kBreak.stored(), "\r\n</text:p>\r\n<x>");
  EXPECT_EQ(sxw::kParagraphStart.stored(), "\r\n<text:p text:style-name=\"Standard\">");
}

TEST(Literal, WritesWholeAcrossTheWritersBufferEdge) {
  // Every position of a literal relative to the end of the writer's buffer.
  for (std::size_t before = TextWriter::kCapacity - 50; before <= TextWriter::kCapacity + 2;
       ++before) {
    std::string page = written([before](TextWriter& out) {
      out.repeat('x', before);
      out.write(html::kParagraph);
      out.write_if(false, html::kRule);
      out.write(sxw::kBoldSpanT12);
      out.write_if(true, html::kBoldOn);
    });
    EXPECT_EQ(page.find_first_not_of('x'), before);
    EXPECT_EQ(page.substr(before), "\r\n<P><text:span text:style-name=\"T12\"><B>") << before;
  }
}

// Runs of document characters in the mix the converters see: words, spaces and markup.
std::string characters_with_markup(std::size_t size) {
  static const std::string kPieces[] = {"word ", "<", ">", "&", "\"", "'", "x", "a<b>&c\"d"};
  std::string text;
  for (std::size_t i = 0; text.size() < size; i = i * 7 + 3) text += kPieces[i % 8];
  text.resize(size);
  return text;
}

const std::uint8_t* begin_of(const std::string& text) {
  return reinterpret_cast<const std::uint8_t*>(text.data());
}

TEST(BulkCharacters, HtmlRunsMatchOneCharacterAtATime) {
  const std::size_t kBefore = TextWriter::kCapacity - 6;
  for (std::size_t size : {0u, 1u, 15u, 16u, 17u, 100u, 70000u}) {
    std::string text = characters_with_markup(size);
    std::string one_by_one;
    for (char c : text) one_by_one.push_back(html::document_character(c));
    std::string page = written([&](TextWriter& out) {
      out.repeat('-', kBefore);  // the run also crosses the buffer's edge
      html::write_document_characters(out, begin_of(text), begin_of(text) + size);
    });
    EXPECT_EQ(page.substr(kBefore), one_by_one) << size;
  }
}

TEST(BulkCharacters, SxwRunsMatchOneCharacterAtATime) {
  // Long runs cross the writer's 4096-byte pieces and its buffer's edge.
  for (std::size_t size : {0u, 1u, 15u, 16u, 17u, 33u, 100u, 4097u, 1100000u}) {
    std::string text = characters_with_markup(size);
    std::string one_by_one = written([&](TextWriter& out) {
      for (char c : text) sxw::write_character(out, c);
    });
    EXPECT_EQ(written([&](TextWriter& out) {
                sxw::write_characters(out, begin_of(text), begin_of(text) + size);
              }),
              one_by_one)
        << size;
  }
  // Markup characters filling whole blocks of sixteen.
  std::string markup(40, '"');
  EXPECT_EQ(written([&](TextWriter& out) {
              sxw::write_characters(out, begin_of(markup), begin_of(markup) + markup.size());
            }),
            [] {
              std::string quotes;
              for (int i = 0; i < 40; ++i) quotes += "&quot;";
              return quotes;
            }());
}

// Every byte value in the 64-byte blocks, in the padded last bytes and on either side of the
// edges between them, and markup right at a run's start and end: the bulk escape finds
// exactly the four markup characters, wherever they fall.
TEST(BulkCharacters, SxwRunsEscapeExactlyLikeOneCharacterAtATime) {
  const std::size_t kBefore = TextWriter::kCapacity - 100;  // runs cross the buffer's edge
  for (std::size_t size : {15u, 16u, 17u, 63u, 64u, 65u, 127u, 128u, 129u, 191u, 192u, 300u}) {
    for (int value = 0; value < 256; ++value) {
      for (std::size_t at : {std::size_t{0}, size / 2, size - 1}) {
        std::string text(size, 'p');
        text[at] = static_cast<char>(value);
        text[(at + 37) % size] = static_cast<char>(255 - value);
        std::string one_by_one = written([&](TextWriter& out) {
          for (char c : text) sxw::write_character(out, c);
        });
        std::string bulk = written([&](TextWriter& out) {
          out.repeat('-', kBefore);
          sxw::write_characters(out, begin_of(text), begin_of(text) + size);
        });
        ASSERT_EQ(bulk.substr(kBefore), one_by_one) << size << " " << value << " " << at;
      }
    }
  }
}

}  // namespace
}  // namespace quorrel
