// The three writers of the complete reading: their exact output for the structures a reader
// produces, and what must hold for any sequence of a reader's calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>
#include <string>

#include "builder_script.h"
#include "document/builder.h"
#include "output/sink.h"
#include "properties.h"
#include "test_support.h"
#include "writers/held_text.h"
#include "writers/html_writer.h"
#include "writers/plain_text_writer.h"
#include "writers/sxw_writer.h"
#include "writers/tee.h"

namespace quorrel::writers {
namespace {

using document::Align;
using document::Attribute;
using document::DocumentBuilder;
using document::SubDocument;

struct Outputs {
  std::string text, html, sxw;
  bool ok = false;
};

// One reading fed to all three writers through a tee, as the converter does.
Outputs write_all(const std::function<void(DocumentBuilder&)>& read,
                  std::string_view title = "t") {
  Outputs o;
  StringSink text_sink(o.text), html_sink(o.html), sxw_sink(o.sxw);
  PlainTextWriter text(text_sink);
  HtmlWriter html(html_sink, title);
  SxwContentWriter sxw(sxw_sink);
  TeeSink tee{&text, &html, &sxw};
  DocumentBuilder builder(tee);
  read(builder);
  builder.finish();
  o.ok = text.ok() && html.ok() && sxw.ok();
  return o;
}

// What lies between `start` and `end`, which must frame `page`.
std::string between(const std::string& page, std::string_view start, std::string_view end) {
  std::size_t from = page.find(start);
  EXPECT_NE(from, std::string::npos) << page;
  EXPECT_TRUE(page.ends_with(end)) << page;
  if (from == std::string::npos || !page.ends_with(end)) return {};
  from += start.size();
  return page.substr(from, page.size() - end.size() - from);
}
std::string html_body(const std::string& page) {
  return between(page, "<body>\n", "</body>\n</html>\n");
}
std::string sxw_body(const std::string& content) {
  return between(content, "<office:body>\n", "</office:body>\n</office:document-content>\n");
}

#define P "<p>"
#define SP "<text:p text:style-name=\"Standard\">"
#define HTAB "<span class=\"tab\">\t</span>"

struct Case {
  const char* name;
  std::function<void(DocumentBuilder&)> read;
  const char* text;
  const char* html;
  const char* sxw;
};

TEST(Writers, WriteEachStructure) {
  const Case cases[] = {
      {"empty document", [](DocumentBuilder&) {}, "", "", ""},
      {"paragraphs, an empty one, a tab and a line break",
       [](DocumentBuilder& b) {
         b.printable_ascii("one");
         b.tab();
         b.printable_ascii("two");
         b.line_break();
         b.printable_ascii("three");
         b.paragraph_break();
         b.paragraph_break();
         b.character(U'\u00E9');
       },
       "one\ttwo\nthree\n\n\xC3\xA9\n",
       P "one" HTAB "two<br>three</p>\n<p><br></p>\n<p>\xC3\xA9</p>\n",
       SP "one<text:tab-stop/>two<text:line-break/>three</text:p>\n" SP "</text:p>\n" SP
          "\xC3\xA9</text:p>\n"},
      {"attributes nest across runs; markup is escaped",
       [](DocumentBuilder& b) {
         b.printable_ascii("a<b");
         b.set_attribute(Attribute::bold, true);
         b.printable_ascii("c");
         b.set_attribute(Attribute::italic, true);
         b.printable_ascii("d&\"");
         b.set_attribute(Attribute::bold, false);
         b.printable_ascii("e");
         b.set_attribute(Attribute::small_caps, true);
         b.set_attribute(Attribute::superscript, true);
         b.printable_ascii("f");
       },
       "a<bcd&\"ef\n",
       P "a&lt;b<b>c<i>d&amp;&quot;</i></b><i>e<sup><span class=\"small-caps\">f</span></sup>"
         "</i></p>\n",
       SP "a&lt;b<text:span text:style-name=\"T1\">c</text:span><text:span "
          "text:style-name=\"T3\">d&amp;&quot;</text:span><text:span text:style-name=\"T2\">e"
          "</text:span><text:span text:style-name=\"T82\">f</text:span></text:p>\n"},
      {"alignment, and a page break before the next block",
       [](DocumentBuilder& b) {
         b.align_paragraph(Align::center);
         b.printable_ascii("c");
         b.paragraph_break();
         b.page_break();
         b.set_justification(Align::right);
         b.printable_ascii("r");
         b.paragraph_break();
         b.set_justification(Align::justify);
         b.printable_ascii("j");
       },
       "c\n\nr\nj\n",
       "<p class=\"center\">c</p>\n<hr class=\"page-break\">\n<p class=\"right\">r</p>\n"
       "<p class=\"justify\">j</p>\n",
       "<text:p text:style-name=\"P1\">c</text:p>\n<text:p text:style-name=\"P6\">r</text:p>\n"
       "<text:p text:style-name=\"P3\">j</text:p>\n"},
      {"spaces an office suite would drop",
       [](DocumentBuilder& b) {
         b.printable_ascii("  a  b ");
         b.set_attribute(Attribute::bold, true);
         b.printable_ascii(" c");
         b.tab();
         b.printable_ascii(" d");
       },
       "  a  b  c\t d\n", P "  a  b <b> c" HTAB " d</b></p>\n",
       SP "<text:s text:c=\"2\"/>a <text:s/>b <text:span text:style-name=\"T1\"><text:s/>c"
          "</text:span><text:tab-stop/><text:span text:style-name=\"T1\"><text:s/>d</text:span>"
          "</text:p>\n"},
      {"a table: a row per line, cells' paragraphs joined",
       [](DocumentBuilder& b) {
         b.printable_ascii("before");
         b.open_table(2);
         b.open_row();
         b.open_cell();
         b.printable_ascii("a");
         b.paragraph_break();
         b.paragraph_break();
         b.printable_ascii("a2");
         b.open_cell();
         b.tab();
         b.printable_ascii("b");
         b.line_break();
         b.printable_ascii("b2");
         b.open_row();
         b.open_cell();
         b.open_cell();
         b.printable_ascii("d");
         b.close_table();
         b.printable_ascii("after");
       },
       "before\na a2\tb b2\n\td\nafter\n",
       P "before</p>\n<table>\n<tr>\n<td><p>a</p>\n<p><br></p>\n<p>a2</p>\n</td>\n<td><p>" HTAB
         "b<br>b2</p>\n</td>\n</tr>\n<tr>\n<td></td>\n<td><p>d</p>\n</td>\n</tr>\n</table>\n"
         "<p>after</p>\n",
       SP "before</text:p>\n<table:table table:name=\"Table1\">\n<table:table-column "
          "table:number-columns-repeated=\"2\"/>\n<table:table-row><table:table-cell>" SP
          "a</text:p>\n" SP "</text:p>\n" SP "a2</text:p>\n</table:table-cell><table:table-cell>" SP
          "<text:tab-stop/>b<text:line-break/>b2</text:p>\n</table:table-cell></table:table-row>\n"
          "<table:table-row><table:table-cell><text:p text:style-name=\"Standard\"/>"
          "</table:table-cell><table:table-cell>" SP "d</text:p>\n</table:table-cell>"
          "</table:table-row>\n</table:table>\n" SP "after</text:p>\n"},
      {"a row wider than the table declares widens it",
       [](DocumentBuilder& b) {
         b.page_break();
         b.open_table(1);
         for (const char* cell : {"x", "y", "z"}) {
           b.open_cell();
           b.printable_ascii(cell);
         }
       },
       "\nx\ty\tz\n",
       "<hr class=\"page-break\">\n<table>\n<tr>\n<td><p>x</p>\n</td>\n<td><p>y</p>\n</td>\n"
       "<td><p>z</p>\n</td>\n</tr>\n</table>\n",
       "<table:table table:name=\"Table1\" table:style-name=\"TB\">\n<table:table-column "
       "table:number-columns-repeated=\"3\"/>\n<table:table-row><table:table-cell>" SP
       "x</text:p>\n</table:table-cell><table:table-cell>" SP "y</text:p>\n</table:table-cell>"
       "<table:table-cell>" SP "z</text:p>\n</table:table-cell></table:table-row>\n"
       "</table:table>\n"},
      {"notes: numbered at the anchor, listed at the end",
       [](DocumentBuilder& b) {
         b.printable_ascii("see");
         b.open_sub_document(SubDocument::footnote);
         b.printable_ascii("first");
         b.paragraph_break();
         b.printable_ascii("second");
         b.close_sub_document();
         b.printable_ascii(" and");
         b.open_sub_document(SubDocument::endnote);
         b.close_sub_document();
         b.paragraph_break();
         b.printable_ascii("next");
       },
       "see[1] and[2]\nnext\n\n[1] first\nsecond\n[2] \n",
       P "see<sup class=\"note-ref\"><a id=\"ref-1\" href=\"#note-1\">1</a></sup> and<sup "
         "class=\"note-ref\"><a id=\"ref-2\" href=\"#note-2\">2</a></sup></p>\n<p>next</p>\n"
         "<ol class=\"notes\">\n<li id=\"note-1\">\n<p>first</p>\n<p>second</p>\n</li>\n"
         "<li id=\"note-2\">\n</li>\n</ol>\n",
       SP "see<text:footnote text:id=\"ftn1\"><text:footnote-citation>1</text:footnote-citation>"
          "<text:footnote-body>" SP "first</text:p>" SP "second</text:p></text:footnote-body>"
          "</text:footnote> and<text:endnote text:id=\"edn1\"><text:endnote-citation>1"
          "</text:endnote-citation><text:endnote-body><text:p text:style-name=\"Standard\"/>"
          "</text:endnote-body></text:endnote></text:p>\n" SP "next</text:p>\n"},
      {"headers, comments and boxes follow the paragraph that anchors them",
       [](DocumentBuilder& b) {
         b.printable_ascii("body");
         b.open_sub_document(SubDocument::header);
         b.printable_ascii("head");
         b.close_sub_document();
         b.open_sub_document(SubDocument::comment);
         b.printable_ascii("c1");
         b.tab();
         b.printable_ascii("c2");
         b.close_sub_document();
         b.printable_ascii("more");
         b.paragraph_break();
         b.open_cell();
         b.open_sub_document(SubDocument::text_box);
         b.printable_ascii("box");
         b.close_sub_document();
         b.printable_ascii("cell");
         b.open_cell();
         b.printable_ascii("next");
       },
       "bodymore\nhead\nc1\tc2\ncell\tnext\nbox\n",
       P "bodymore</p>\n<div class=\"header\">\n<p>head</p>\n</div>\n<div class=\"comment\">\n<p>"
         "c1" HTAB "c2</p>\n</div>\n<table>\n<tr>\n<td><p>cell</p>\n<div class=\"text-box\">\n"
         "<p>box</p>\n</div>\n</td>\n<td><p>next</p>\n</td>\n</tr>\n</table>\n",
       SP "bodymore</text:p>\n" SP "head</text:p>\n" SP "c1<text:tab-stop/>c2</text:p>\n"
          "<table:table table:name=\"Table1\">\n<table:table-column "
          "table:number-columns-repeated=\"2\"/>\n<table:table-row><table:table-cell>" SP
          "cell</text:p>\n" SP "box</text:p>\n</table:table-cell><table:table-cell>" SP
          "next</text:p>\n</table:table-cell></table:table-row>\n</table:table>\n"},
      {"a table inside a note: OpenOffice.org takes only its paragraphs",
       [](DocumentBuilder& b) {
         b.open_sub_document(SubDocument::footnote);
         b.open_cell();
         b.printable_ascii("p");
         b.open_cell();
         b.printable_ascii("q");
       },
       "[1]\n\n[1] p\tq\n",
       P "<sup class=\"note-ref\"><a id=\"ref-1\" href=\"#note-1\">1</a></sup></p>\n"
         "<ol class=\"notes\">\n<li id=\"note-1\">\n<table>\n<tr>\n<td><p>p</p>\n</td>\n"
         "<td><p>q</p>\n</td>\n</tr>\n</table>\n</li>\n</ol>\n",
       SP "<text:footnote text:id=\"ftn1\"><text:footnote-citation>1</text:footnote-citation>"
          "<text:footnote-body>" SP "p</text:p>" SP "q</text:p></text:footnote-body>"
          "</text:footnote></text:p>\n"},
  };
  for (const Case& c : cases) {
    Outputs o = write_all(c.read);
    EXPECT_TRUE(o.ok) << c.name;
    EXPECT_EQ(o.text, c.text) << c.name;
    EXPECT_EQ(html_body(o.html), c.html) << c.name;
    EXPECT_EQ(sxw_body(o.sxw), c.sxw) << c.name;
  }
}

#undef P
#undef SP
#undef HTAB

TEST(HtmlWriter, TitleIsValidEscapedUtf8WhateverTheName) {
  Outputs o = write_all([](DocumentBuilder&) {}, "a<b> & \xC3\xA9\xFF\x01.wp");
  EXPECT_NE(o.html.find("<title>a&lt;b&gt; &amp; \xC3\xA9\xEF\xBF\xBD .wp</title>"),
            std::string::npos)
      << o.html;
}

// Every character, with white space, digits and brackets left out (where the outputs differ
// in kind, and note numbers stand); markup dropped and references read back.
std::string characters_of(std::string_view output, bool markup) {
  std::string characters;
  for (std::size_t i = 0; i < output.size(); ++i) {
    char c = output[i];
    if (markup && c == '<') {
      i = output.find('>', i);
      continue;
    }
    if (markup && c == '&') {
      std::size_t end = output.find(';', i);
      std::string_view name = output.substr(i + 1, end - i - 1);
      c = name == "lt" ? '<' : name == "gt" ? '>' : name == "amp" ? '&' : '"';
      i = end;
    }
    if (c == ' ' || c == '\t' || c == '\n' || c == '[' || c == ']' || (c >= '0' && c <= '9')) {
      continue;
    }
    characters.push_back(c);
  }
  std::sort(characters.begin(), characters.end());
  return characters;
}

// Random scripts of a reader's calls, the same decoding the fuzz target uses.
std::vector<std::string> random_scripts(int count) {
  std::mt19937 random(17);
  std::vector<std::string> scripts;
  for (int i = 0; i < count; ++i) {
    std::string script(random() % 3000, '\0');
    for (char& c : script) c = static_cast<char>(random());
    scripts.push_back(std::move(script));
  }
  return scripts;
}

TEST(Writers, AnyReadingGivesWellFormedOutputsWithTheSameText) {
  for (const std::string& script : random_scripts(300)) {
    std::string text, html, sxw;
    StringSink text_sink(text), html_sink(html), sxw_sink(sxw);
    PlainTextWriter text_writer(text_sink);
    HtmlWriter html_writer(html_sink, script.substr(0, 6));
    SxwContentWriter sxw_writer(sxw_sink);
    TeeSink tee{&text_writer, &html_writer, &sxw_writer};
    DocumentBuilder builder(tee);
    fuzz::play_builder_script(script, builder);
    ASSERT_TRUE(text_writer.ok() && html_writer.ok() && sxw_writer.ok());
    std::string why;
    ASSERT_TRUE(fuzz::is_clean_utf8_text(text, &why)) << why;
    ASSERT_TRUE(fuzz::is_well_formed_markup(html, fuzz::Markup::html, &why)) << why << "\n" << html;
    ASSERT_TRUE(fuzz::is_well_formed_markup(sxw, fuzz::Markup::xml, &why)) << why << "\n" << sxw;
    // Nothing lost or added: the same characters in all three.
    std::string characters = characters_of(text, false);
    EXPECT_EQ(characters_of(html_body(html), true), characters);
    EXPECT_EQ(characters_of(sxw_body(sxw), true), characters);
  }
}

// One paragraph's markup decoded back to its text: entities, and text:s as spaces.
std::string decoded_text(std::string_view markup) {
  std::string text;
  for (std::size_t i = 0; i < markup.size(); ++i) {
    if (markup[i] == '<') {
      std::size_t end = markup.find('>', i);
      std::string_view tag = markup.substr(i, end + 1 - i);
      if (tag == "<text:s/>") text += ' ';
      if (tag.starts_with("<text:s text:c=\"")) text.append(std::stoul(std::string(tag.substr(16))), ' ');
      i = end;
    } else if (markup[i] == '&') {
      std::size_t end = markup.find(';', i);
      std::string_view name = markup.substr(i + 1, end - i - 1);
      text += name == "lt" ? '<' : name == "gt" ? '>' : name == "amp" ? '&' : '"';
      i = end;
    } else {
      text += markup[i];
    }
  }
  return text;
}

// Texts long enough for the sixteen-byte scan, with markup characters and stretches of spaces
// at every distance from its steps: HTML and SXW keep every character and every space, and SXW
// leaves no two spaces together for an office suite to collapse.
TEST(Writers, LongRunsKeepEveryCharacterAndSpace) {
  std::mt19937 random(5);
  constexpr std::string_view kAlphabet = "abcdefgh     <>&\"";
  for (int round = 0; round < 400; ++round) {
    std::string text;
    const std::size_t length = random() % 90;
    while (text.size() < length) text += kAlphabet[random() % kAlphabet.size()];
    if (text.empty() || text.front() == ' ') text.insert(0, "x");
    Outputs o = write_all([&](DocumentBuilder& b) {
      b.printable_ascii(text);
      b.paragraph_break();
    });
    ASSERT_TRUE(o.ok);
    std::string html = html_body(o.html), sxw = sxw_body(o.sxw);
    EXPECT_EQ(decoded_text(html), text + "\n") << html;
    EXPECT_EQ(decoded_text(sxw), text + "\n") << sxw;
    EXPECT_EQ(sxw.find("  "), std::string::npos) << sxw;
  }
}

// Events the builder never sends (kinds and alignments from a later version, closes without
// opens, a sub-document opened inside another) still give well-formed outputs.
TEST(Writers, UnexpectedEventsStayWellFormed) {
  std::string text, html, sxw;
  StringSink text_sink(text), html_sink(html), sxw_sink(sxw);
  PlainTextWriter text_writer(text_sink);
  HtmlWriter html_writer(html_sink, "t");
  SxwContentWriter sxw_writer(sxw_sink);
  TeeSink tee{&text_writer, &html_writer, &sxw_writer};
  document::DocumentSink& sink = tee;
  sink.close_paragraph();
  sink.close_cell();
  sink.close_row();
  sink.close_table();
  sink.close_sub_document();
  sink.open_paragraph(static_cast<Align>(9));
  sink.text("a", 0xFF);
  sink.open_sub_document(static_cast<SubDocument>(42));
  sink.open_paragraph(Align::left);
  sink.text("in", 0);
  sink.open_sub_document(SubDocument::footnote);  // closes the first
  sink.open_paragraph(Align::left);
  sink.text("note", document::bit(Attribute::bold));
  sink.open_cell();
  sink.text("cell", 0);
  sink.end_document();  // with the note, its cell and the body's paragraph open
  ASSERT_TRUE(text_writer.ok() && html_writer.ok() && sxw_writer.ok());
  std::string why;
  EXPECT_TRUE(fuzz::is_clean_utf8_text(text, &why)) << why;
  EXPECT_TRUE(fuzz::is_well_formed_markup(html, fuzz::Markup::html, &why)) << why << html;
  EXPECT_TRUE(fuzz::is_well_formed_markup(sxw, fuzz::Markup::xml, &why)) << why << sxw;
  for (const std::string* output : {&text, &html, &sxw}) {
    for (const char* word : {"a", "in", "note", "cell"}) {
      EXPECT_NE(output->find(word), std::string::npos) << word << " in " << *output;
    }
  }
}

// Notes beyond the memory limit are held in a temporary file; they come back whole and in
// order, in both outputs that list them at the end.
TEST(Writers, NotesPastTheMemoryLimitComeBackInOrder) {
  const int kNotes = 3000;
  auto note_text = [](int i) { return std::string(600, static_cast<char>('a' + i % 26)) + "!"; };
  static_assert(3000 * 600 > HeldText::kMemoryLimit);
  Outputs o = write_all([&](DocumentBuilder& b) {
    for (int i = 0; i < kNotes; ++i) {
      b.printable_ascii("w");
      b.open_sub_document(i % 2 ? SubDocument::endnote : SubDocument::footnote);
      b.printable_ascii(note_text(i));
      b.close_sub_document();
    }
  });
  ASSERT_TRUE(o.ok);
  std::string text_list = "\n", html_list = "<ol class=\"notes\">\n";
  for (int i = 0; i < kNotes; ++i) {
    std::string n = std::to_string(i + 1);
    text_list += "[" + n + "] " + note_text(i) + "\n";
    html_list += "<li id=\"note-" + n + "\">\n<p>" + note_text(i) + "</p>\n</li>\n";
  }
  html_list += "</ol>\n";
  EXPECT_TRUE(o.text.ends_with(text_list));
  EXPECT_TRUE(html_body(o.html).ends_with(html_list));
}

// A table held past its limit is written with the width known so far; a wider row after that
// puts its extra cells into its last cell, where an office suite still shows them.
TEST(SxwContentWriter, TableBeyondItsHoldLimitKeepsEveryCell) {
  std::string content;
  StringSink sink(content);
  SxwContentWriter writer(sink);
  DocumentBuilder b(writer);
  std::string filler(1000, 'f');
  std::size_t rows = SxwContentWriter::kTableHoldLimit / (2 * filler.size()) + 1;
  b.open_table(0);
  for (std::size_t row = 0; row < rows; ++row) {
    b.open_row();
    b.open_cell();
    b.printable_ascii(filler);
    b.open_cell();
    b.printable_ascii(filler);
  }
  b.open_row();
  for (const char* cell : {"x", "y", "z"}) {
    b.open_cell();
    b.printable_ascii(cell);
  }
  b.finish();
  ASSERT_TRUE(writer.ok());
  std::string why;
  EXPECT_TRUE(fuzz::is_well_formed_markup(content, fuzz::Markup::xml, &why)) << why;
  EXPECT_NE(content.find("table:number-columns-repeated=\"2\""), std::string::npos);
  EXPECT_TRUE(sxw_body(content).ends_with(
      "<table:table-row><table:table-cell><text:p text:style-name=\"Standard\">x</text:p>\n"
      "</table:table-cell><table:table-cell><text:p text:style-name=\"Standard\">y</text:p>\n"
      "<text:p text:style-name=\"Standard\">z</text:p>\n</table:table-cell></table:table-row>\n"
      "</table:table>\n"));
}

// Whatever the markup checker above accepts, a real XML parser must accept too.
TEST(SxwContentWriter, XmllintAcceptsRandomReadings) {
  std::string xmllint = testing::find_program("xmllint");
  if (xmllint.empty()) GTEST_SKIP() << "xmllint is not installed";
  testing::TempDir dir;
  std::vector<std::string> command = {xmllint, "--noout", "--nonet"};
  int i = 0;
  for (const std::string& script : random_scripts(40)) {
    std::string content;
    StringSink sink(content);
    SxwContentWriter writer(sink);
    DocumentBuilder builder(writer);
    fuzz::play_builder_script(script, builder);
    command.push_back(dir.file("content" + std::to_string(i++) + ".xml"));
    testing::write_file(command.back(), content);
  }
  EXPECT_EQ(testing::run_program(command).exit_status, 0);
}

}  // namespace
}  // namespace quorrel::writers
