// The 6.x and Macintosh readers on hand-made documents: the structure each code gives, and
// what a damaged or hostile file gets.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "document/builder.h"
#include "event_log.h"
#include "io/document_bytes.h"
#include "readers/mac.h"
#include "readers/ole_file.h"
#include "readers/readers.h"
#include "wp6_documents.h"

namespace quorrel::readers {
namespace {

std::string le16(unsigned v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// A 6.x document: the prefix, an index of text packets (ids from 1), then the document area.
std::string wp6(const std::string& area, const std::vector<std::string>& packets = {},
                unsigned encryption = 0) {
  std::size_t index = 16, count = packets.size() + 1;
  std::size_t data = index + 14 * count;
  std::string head, body;
  head += le16(2) + le16(unsigned(count)) + std::string(10, '\0');
  for (const std::string& packet : packets) {
    std::string text = le16(1) + le32(10) + le32(std::uint32_t(packet.size())) + packet;
    head += std::string("\x02\x08", 2) + le16(1) + le16(0) + le32(std::uint32_t(text.size())) +
            le32(std::uint32_t(data + body.size()));
    body += text;
  }
  std::string prefix = "\xFFWPC" + le32(std::uint32_t(data + body.size())) +
                       std::string("\x01\x0A\x02\x01", 4) + le16(encryption) + le16(16);
  return prefix + head + body + area;
}

// A variable-length group with the packet ids given.
std::string group(unsigned code, unsigned sub, const std::vector<unsigned>& pids = {},
                  const std::string& data = {}) {
  std::string inner;
  inner += char(pids.empty() ? 0 : 0x80);
  if (!pids.empty()) {
    inner += char(pids.size());
    for (unsigned pid : pids) inner += le16(pid);
  }
  inner += le16(unsigned(data.size())) + data;
  unsigned size = unsigned(4 + inner.size() + 3);
  return std::string{char(code), char(sub)} + le16(size) + inner + le16(size) + char(code);
}

struct Outcome {
  std::string events;
  ReadStatus status;
};

Outcome read(const std::string& bytes, bool mac = false) {
  testing::EventLog log;
  document::DocumentBuilder builder(log);
  DocumentBytes input = DocumentBytes::from_memory(bytes);
  ReadResult result = mac ? read_mac(input, {}, builder) : read_wp6(input, {}, builder);
  builder.finish();
  return {log.log, result.status};
}

struct Case {
  const char* name;
  std::string bytes;
  const char* events;
  ReadStatus status = ReadStatus::complete;
};

TEST(Wp6Reader, CodesGiveTheirStructure) {
  const std::string bold_on("\xF2\x0C\xF2", 3), bold_off("\xF3\x0C\xF3", 3);
  const std::string footnote = group(0xD7, 0, {1}), footnote_off = group(0xD7, 1);
  const Case cases[] = {
      {"spaces, a wrapped line, a paragraph, a low character and a set character",
       wp6("one\x80two\xCFthree\xCC\x01\xF0\x1C\x04\xF0" "end"),
       "[P]one two three[/P][P]\xC3\xA5\xE2\x80\x99" "end[/P][end]"},
      {"hyphens: a hard one is written, soft ones and an automatic wrap are not",
       wp6("a\x84" "b\x80" "c\x82" "d\x80" "e\x85\xBC" "f"), "[P]a-b cd ef[/P][end]"},
      {"0x20 is a letter in 6.x", wp6("Stra\x20" "e"), "[P]Stra\xC3\x9F" "e[/P][end]"},
      {"attributes", wp6("x" + bold_on + "y" + bold_off + "z"), "[P]x{b|y}z[/P][end]"},
      {"deleted text kept for undo is not written",
       wp6("keep" + std::string("\xF1\x00\x01\x00\xF1", 5) + "gone" +
           std::string("\xF1\x01\x01\x00\xF1", 5) + "!"),
       "[P]keep![/P][end]"},
      {"text to skip and generated text are not written",
       wp6("a\x8Dskip\x8E" "b\x8A" "12\x8B" "c"), "[P]abc[/P][end]"},
      {"a footnote at its anchor; its mark in the body is not written",
       wp6("see" + footnote + "1" + footnote_off + "\x80more", {"note\x80text"}),
       "[P]see[footnote][P]note text[/P][/footnote] more[/P][end]"},
      {"a packet referred to twice, or referring to itself, is read once",
       wp6(group(0xD6, 0, {1}) + "body" + group(0xD6, 0, {1}), {"head" + group(0xD6, 0, {1})}),
       "[P][header][P]head[/P][/header]body[/P][end]"},
      {"a packet id past the index is passed over",
       wp6("a" + group(0xD6, 0, {9}) + "b"), "[P]ab[/P][end]"},
      {"centred from here on", wp6(group(0xD3, 5, {}, "\x02") + "mid\xCCnext"),
       "[P:c]mid[/P][P:c]next[/P][end]"},
      {"a number display shows the number at saving time: not written",
       wp6("p." + group(0xDA, 4) + "7" + group(0xDA, 5)), "[P]p.[/P][end]"},
      {"table rows and cells",
       wp6("\xC5" "a\xC6" "b\xC5" "c\xBF" "after"),
       "[table 0][row][cell][P]a[/P][/cell][cell][P]b[/P][/cell][/row][row][cell][P]c[/P]"
       "[/cell][/row][/table][P]after[/P][end]"},
      {"a tab group", wp6("a" + group(0xE0, 0x11) + "b"), "[P]a[tab]b[/P][end]"},
      {"encrypted: nothing delivered", wp6("secret", {}, 0x1234), "[end]",
       ReadStatus::password_protected},
      {"a group running past the end: what came before is kept",
       wp6("kept" + std::string("\xD4\x00\xFF\x7F", 4) + "z"), "[P]keptz[/P][end]",
       ReadStatus::damaged},
      {"a document area past the end of the file",
       "\xFFWPC" + le32(999) + std::string("\x01\x0A\x02\x01\0\0\x10\0", 8), "[end]",
       ReadStatus::damaged},
  };
  for (const Case& c : cases) {
    Outcome outcome = read(c.bytes);
    EXPECT_EQ(outcome.events, c.events) << c.name;
    EXPECT_EQ(outcome.status, c.status) << c.name;
  }
}

TEST(Wp6Reader, CompoundFilesAreReadFromTheirDocumentStream) {
  using examples::make_compound_file;
  std::string document = wp6("inside\x80ole" + std::string(5000, '\0'));
  // Whether the stream lies in one piece of the file (read where it lies) or in scattered
  // sectors (gathered), in small or large sectors, the same document.
  for (unsigned shift : {9u, 12u}) {
    for (bool scattered : {false, true}) {
      Outcome outcome = read(make_compound_file(document, shift, scattered));
      EXPECT_EQ(outcome.events, "[P]inside ole[/P][end]") << shift << scattered;
      EXPECT_EQ(outcome.status, ReadStatus::complete) << shift << scattered;
    }
  }
  // A large scattered stream, gathered outside memory: every word of it read.
  std::string large = wp6(std::string(3 << 20, 'a') + "\x80" + std::string(3 << 20, 'b') +
                          "\x80" + std::string(3 << 20, 'c'));
  Outcome outcome = read(make_compound_file(large, 12, true));
  EXPECT_EQ(outcome.status, ReadStatus::complete);
  for (char letter : {'a', 'b', 'c'}) {
    EXPECT_EQ(std::count(outcome.events.begin(), outcome.events.end(), letter), 3 << 20);
  }
  EXPECT_NE(outcome.events.find("a b"), std::string::npos);
  EXPECT_NE(outcome.events.find("b c"), std::string::npos);

  // A chain that loops back on itself ends; what it held so far is read.
  outcome = read(make_compound_file(document, 9, false, true));
  EXPECT_EQ(outcome.status, ReadStatus::damaged);

  std::string cut = make_compound_file(document);
  cut.resize(2048);  // the stream's sectors are gone
  EXPECT_EQ(read(cut).status, ReadStatus::damaged);

  std::string none;
  EXPECT_EQ(read_ole_stream(make_compound_file(document), "Other", none), OleStatus::not_found);
}

TEST(MacReader, ReadsBothGenerations) {
  // 2.x-3.x: a soft return group of six bytes, an attribute, a footnote with its text inside.
  std::string note_data = std::string(25, '\0') + le16(0) + le16(0) + "in note";
  unsigned note_size = unsigned(note_data.size() + 4);
  std::string note = std::string("\xD6\x00", 2) + char(note_size >> 8) + char(note_size & 0xFF) +
                     note_data + char(note_size >> 8) + char(note_size & 0xFF) +
                     std::string("\x00\xD6", 2);
  std::string area = "one" + std::string("\xDC\x00\x00\x02\x00\xDC", 6) + "two" +
                     std::string("\xC3\x00\x01\xC3", 4) + "bold" +
                     std::string("\xC3\x00\x80\xC3", 4) + note + std::string("\xC0\x8E\x00\x00\xC0", 5) +
                     "\x80" "end";
  std::string mac3 = "\xFFWPC" + le32(16) + std::string("\x01\x2C\x02\x02\0\0\0\0", 8) + area;
  Outcome outcome = read(mac3, true);
  EXPECT_EQ(outcome.events,
            "[P]one two{b|bold}[footnote][P]in note[/P][/footnote]\xC3\xA9[/P][P]end[/P][end]");
  EXPECT_EQ(outcome.status, ReadStatus::complete);

  std::string encrypted = mac3;
  encrypted[13] = 0x41;
  EXPECT_EQ(read(encrypted, true).status, ReadStatus::password_protected);

  // 1.x: a top margin group (a size 4.2 does not give it), text, a soft and a hard return.
  std::string mac1 = std::string("\xCE\x00\x48\x00\x90\xCE", 6) + "Hi\x0Dthere\x0A" "x";
  EXPECT_TRUE(looks_like_mac1(mac1));
  EXPECT_EQ(read(mac1, true).events, "[P]Hi there[/P][P]x[/P][end]");
  // Groups 4.2 sizes the same way, an open group, or plain text: not 1.x.
  EXPECT_FALSE(looks_like_mac1(std::string("\xCB\x0A\x01\x0A\x01\xCB", 6) + "text"));
  EXPECT_FALSE(looks_like_mac1(std::string("\xCE\x00\x48", 3)));
  EXPECT_FALSE(looks_like_mac1("plain text only"));
}

}  // namespace
}  // namespace quorrel::readers
