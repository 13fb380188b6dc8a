// Each reader on small hand-made documents: the events it delivers, in the notation of
// event_log.h, and how the reading ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/builder.h"
#include "event_log.h"
#include "io/document_bytes.h"
#include "readers/read_document.h"
#include "readers/wp_crypt.h"
#include "wp5_documents.h"

namespace quorrel::readers {
namespace {

// Byte strings written as text; "\xHH" escapes break at the next non-hex digit, hence the
// helpers below.
std::string fixed(std::initializer_list<int> inner, int code) {
  std::string out(1, static_cast<char>(code));
  for (int b : inner) out += static_cast<char>(b);
  return out + static_cast<char>(code);
}

// 5.x variable group: code, subcode, length, data, length, subcode, code.
std::string group(int code, int subcode, const std::string& data) {
  const std::size_t length = data.size() + 4;
  std::string length_bytes{static_cast<char>(length & 0xFF), static_cast<char>(length >> 8)};
  return std::string{static_cast<char>(code), static_cast<char>(subcode)} + length_bytes + data +
         length_bytes + static_cast<char>(subcode) + static_cast<char>(code);
}

std::string zeros(std::size_t n) { return std::string(n, '\0'); }

// The 16-byte prefix of a 5.1 document whose area starts right after it.
std::string wp51(const std::string& area, int file_type = 10) {
  std::string prefix("\xFF" "WPC\x10\0\0\0\x01", 9);
  prefix += static_cast<char>(file_type);
  prefix += std::string("\0\x01\0\0\0\0", 6);
  return prefix + area;
}

std::string wp51_encrypted(const std::string& area, const std::string& password) {
  std::string file = wp51(area);
  const std::string normalized = wp_crypt::normalize(password);
  const std::uint16_t check = wp_crypt::check_value(normalized);
  file[12] = static_cast<char>(check >> 8);
  file[13] = static_cast<char>(check & 0xFF);
  wp_crypt::apply(file, 16, normalized);
  return file;
}

std::string wp42_encrypted(const std::string& body, const std::string& password) {
  const std::string normalized = wp_crypt::normalize(password);
  const std::uint16_t check = wp_crypt::check_value(normalized);
  std::string encrypted = body;
  wp_crypt::apply(encrypted, 0, normalized);
  return std::string("\xFE\xFF\x61\x61", 4) + static_cast<char>(check & 0xFF) +
         static_cast<char>(check >> 8) + encrypted;
}

struct Case {
  const char* what;
  Generation generation;
  std::string bytes;
  std::string log;
  ReadStatus status = ReadStatus::complete;
  const char* password = nullptr;
};

std::string read(const Case& c, ReadResult& result) {
  testing::EventLog log;
  document::DocumentBuilder builder(log);
  DocumentBytes input = DocumentBytes::from_memory(c.bytes);
  ReadOptions options;
  if (c.password != nullptr) {
    options.has_password = true;
    options.password = c.password;
  }
  result = read_document(input, c.generation, options, builder);
  builder.finish();
  return log.log;
}

TEST(ReaderEvents, HandMadeDocuments) {
  const std::string on_bold = fixed({0x0C}, 0xC3), off_bold = fixed({0x0C}, 0xC4);
  const std::string centre = fixed({0xE0, 0, 0, 0, 0, 0, 0}, 0xC1);
  const std::string flush_right = fixed({0x60, 0, 0, 0, 0, 0, 0}, 0xC1);
  const std::string footnote_head = std::string("\0\x01\0\0", 4) + zeros(11);
  const std::string header_head = zeros(7) + "\x01" + zeros(10);
  const std::string table_definition = zeros(2) + std::string("\0\0", 2) + zeros(22) +
                                       std::string("\x02\0", 2) + zeros(10);
  const std::string cell = group(0xDC, 0, zeros(3)), row = group(0xDC, 1, zeros(3)),
                    table_off = group(0xDC, 2, zeros(3));
  const std::vector<Case> cases = {
      // 5.x
      {"paragraphs", Generation::wp5, wp51("Hello\nworld"), "[P]Hello[/P][P]world[/P][end]"},
      {"soft returns are spaces", Generation::wp5, wp51("one\rtwo\x0Bthree"),
       "[P]one two three[/P][end]"},
      {"bold", Generation::wp5, wp51("a" + on_bold + "b" + off_bold + "c"),
       "[P]a{b|b}c[/P][end]"},
      {"italic and double underline", Generation::wp5,
       wp51(fixed({8}, 0xC3) + fixed({0x0B}, 0xC3) + "x" + fixed({8}, 0xC4) + "y"),
       "[P]{iu|x}{u|y}[/P][end]"},
      {"centred line", Generation::wp5, wp51(centre + "Title\x83\nText"),
       "[P:c]Title[/P][P]Text[/P][end]"},
      {"flush right in a line is a tab", Generation::wp5, wp51("a" + flush_right + "b"),
       "[P]a[tab]b[/P][end]"},
      {"justification", Generation::wp5, wp51(group(0xD0, 6, "\x01\x03") + "r\nr"),
       "[P:r]r[/P][P:r]r[/P][end]"},
      {"character of a set", Generation::wp5, wp51("Stra" + fixed({23, 1}, 0xC0) + "e"),
       "[P]Straße[/P][end]"},
      {"hard hyphen and soft hyphen", Generation::wp5, wp51("x\xA9y z\xAC" "w"),
       "[P]x-y zw[/P][end]"},
      {"footnote", Generation::wp5,
       wp51("a" + group(0xD6, 0, footnote_head + "\x8D note") + "b"),
       "[P]a[footnote][P] note[/P][/footnote]b[/P][end]"},
      {"endnote", Generation::wp5, wp51("a" + group(0xD6, 1, zeros(7) + "end")),
       "[P]a[endnote][P]end[/P][/endnote][/P][end]"},
      {"header", Generation::wp5, wp51(group(0xD5, 0, header_head + "Head") + "body"),
       "[P][header][P]Head[/P][/header]body[/P][end]"},
      {"discontinued footer", Generation::wp5, wp51(group(0xD5, 2, zeros(18) + "Foot") + "b"),
       "[P]b[/P][end]"},
      {"comment", Generation::wp5, wp51(group(0xD9, 2, zeros(3) + "note to self") + "x"),
       "[P][comment][P]note to self[/P][/comment]x[/P][end]"},
      {"text box", Generation::wp5, wp51(group(0xDA, 2, zeros(117) + "boxed") + "x"),
       "[P][text_box][P]boxed[/P][/text_box]x[/P][end]"},
      {"equation markup is no text", Generation::wp5,
       wp51(group(0xDA, 4, zeros(117) + group(0xDF, 0, zeros(8) + "x over y")) + "z"),
       "[P][text_box][/text_box]z[/P][end]"},
      {"table", Generation::wp5,
       wp51(group(0xD2, 0x0B, table_definition) + cell + "a" + cell + "b" + row + cell + "c" +
            table_off + "after"),
       "[table 2][row][cell][P]a[/P][/cell][cell][P]b[/P][/cell][/row][row][cell][P]c[/P]"
       "[/cell][/row][/table][P]after[/P][end]"},
      {"cross-reference target names are no text", Generation::wp5,
       wp51(group(0xD7, 7, "TARGET") + "x"), "[P]x[/P][end]"},
      {"Far East: Latin letters in pairs", Generation::wp5_far_east,
       wp51("!H!i !t!h!e!r!e", 58), "[P]Hi there[/P][end]"},
      {"no prefix: read from the start", Generation::wp5, "plain\nwords",
       "[P]plain[/P][P]words[/P][end]"},
      // Damage: read around it, and say so.
      {"group length past the end", Generation::wp5, wp51("ok" + std::string("\xD1\x01\xFF\x00", 4) + "end"),
       "[P]okend[/P][end]", ReadStatus::damaged},
      {"trailing length that does not match", Generation::wp5,
       [&] {
         std::string g = group(0xD1, 1, "abc");
         g[g.size() - 4] = 8;  // was 7
         return wp51("x" + g + "y");
       }(),
       "[P]xabcy[/P][end]", ReadStatus::damaged},
      {"fixed group cut by the end", Generation::wp5, wp51("x\xC3\x01"), "[P]x[/P][end]",
       ReadStatus::damaged},
      {"document area past the end", Generation::wp5,
       [] {
         std::string f = wp51("text");
         f[5] = 1;
         return f;
       }(),
       "[end]", ReadStatus::damaged},
      // Passwords.
      {"5.x without its password", Generation::wp5, wp51_encrypted("secret text", "Pass"),
       "[end]", ReadStatus::password_protected},
      {"5.x with a wrong password", Generation::wp5, wp51_encrypted("secret text", "Pass"),
       "[end]", ReadStatus::wrong_password, "other"},
      {"5.x with its password, in any case", Generation::wp5,
       wp51_encrypted("secret " + on_bold + "text", "Pass"), "[P]secret {b|text}[/P][end]",
       ReadStatus::complete, "pASS"},
      // 4.2
      {"4.2 bold and underline", Generation::wp42, "a\x9D" "b\x9C\x94" "c\x95",
       "[P]a{b|b}{u|c}[/P][end]"},
      {"4.2 centred", Generation::wp42, std::string("\xC3\x00\x2B\x24\xC3Title\x83\nx", 13),
       "[P:c]Title[/P][P]x[/P][end]"},
      {"4.2 flush right", Generation::wp42, std::string("\xC4\x0A\x40\x30\xC4R\x84", 7),
       "[P:r]R[/P][end]"},
      {"4.2 code page 437", Generation::wp42, "caf\xE1\x82\xE1 \xE1\xE1\xE1",
       "[P]café ß[/P][end]"},
      {"4.2 superscript holds for one character", Generation::wp42, "x\xBC" "2y",
       "[P]x{^|2}y[/P][end]"},
      {"4.2 footnote", Generation::wp42,
       std::string("a\xE2\x00\x00\x01\x00\x02\x00\x01\xFF\x0A\x40\x8Dnote\xE2" "b", 19),
       "[P]a[footnote][P]note[/P][/footnote]b[/P][end]"},
      {"4.2 endnote", Generation::wp42,
       std::string("a\xE2\x02\x00\x01\x00\x02\x00\xFF\x0A\x40" "end\xE2", 15),
       "[P]a[endnote][P]end[/P][/endnote][/P][end]"},
      {"4.2 header", Generation::wp42,
       std::string("\xD1\x00\x00\xFF\xFF\x0A\x40Top\xFF\x02\x04\xD1" "b", 16),
       "[P][header][P]Top[/P][/header]b[/P][end]"},
      {"4.2 comment", Generation::wp42, std::string("\xF2\x00\x00\x01\x00" "aside\xF2" "b", 12),
       "[P][comment][P]aside[/P][/comment]b[/P][end]"},
      {"4.2 code that does not close", Generation::wp42, "a\xC3\x01" "b",
       "[P]ab[/P][end]", ReadStatus::damaged},
      {"4.2 without its password", Generation::wp42, wp42_encrypted("hidden", "key"), "[end]",
       ReadStatus::password_protected},
      {"4.2 with a wrong password", Generation::wp42, wp42_encrypted("hidden", "key"), "[end]",
       ReadStatus::wrong_password, "lock"},
      {"4.2 with its password", Generation::wp42, wp42_encrypted("hid\x9D" "den", "key"),
       "[P]hid{b|den}[/P][end]", ReadStatus::complete, "KEY"},
      // Text
      {"line ends", Generation::plain, "a\r\nb\rc\n", "[P]a[/P][P]b[/P][P]c[/P][end]"},
      {"byte-order mark, tab, form feed", Generation::plain, "\xEF\xBB\xBFx\ty\fz",
       "[P]x[tab]y[/P][page][P]z[/P][end]"},
      {"Windows-1252", Generation::plain, "caf\xE9 \x93q\x94", "[P]café “q”[/P][end]"},
      {"code page 437 where 1252 has a hole", Generation::plain, "\x81" "ber \x9D",
       "[P]über ¥[/P][end]"},
  };
  for (const Case& c : cases) {
    ReadResult result;
    EXPECT_EQ(read(c, result), c.log) << c.what;
    EXPECT_EQ(result.status, c.status) << c.what << ": " << result.message;
    if (c.status == ReadStatus::password_protected) {
      EXPECT_EQ(result.message, kPasswordProtectedMessage);
    }
    if (c.status == ReadStatus::wrong_password) {
      EXPECT_EQ(result.message, kWrongPasswordMessage);
    }
    if (c.status == ReadStatus::damaged) {
      EXPECT_NE(result.message.find("at byte"), std::string::npos) << result.message;
    }
  }
}

TEST(ReaderEvents, DetectionByThePrefixAndByStructure) {
  auto prefixed = [](int product, int type, int major) {
    std::string p("\xFF" "WPC\x10\0\0\0", 8);
    return p + static_cast<char>(product) + static_cast<char>(type) + static_cast<char>(major) +
           std::string(5, '\0');
  };
  const struct {
    std::string bytes;
    Generation generation;
  } cases[] = {
      {"", Generation::plain},
      {"just text\n", Generation::plain},
      {"UTF-8 \xC3\xA9t\xC3\xA9", Generation::plain},
      // Latin-1 text that walks like 4.2 (é and ü open groups of variable size).
      {"caf\xE9 cr\xE8me br\xFBl\xE9" "e caf\xE9 \xFC \xFC", Generation::plain},
      // A box in code page 437: ═ repeated is no margin code.
      {"\xCD\xCD\xCD Title \xCD\xCD\xCD", Generation::plain},
      {"\xC9\xCD\xCD\xBB\n\xBA  \xBA\n\xC8\xCD\xCD\xBC", Generation::plain},
      {"\xCB\x0A\x01\x0A\x01\xCBThis is", Generation::wp42},
      {"Starts with text\xE1\x82\xE1 and \xC0\x01\x02\x03\x04\xC0", Generation::wp42},
      {std::string("\xFE\xFF\x61\x61\x00\x01", 6), Generation::wp42},
      {"\xC3\x01\x02\x03\xC3 open \xD1 group", Generation::plain},
      {prefixed(1, 10, 0), Generation::wp5},
      {prefixed(1, 58, 0), Generation::wp5_far_east},
      {prefixed(1, 10, 2), Generation::wp6},
      {prefixed(1, 44, 2), Generation::mac},
      {prefixed(15, 10, 2), Generation::other_product},
      {prefixed(1, 1, 0), Generation::other_product},
      {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", Generation::wp6_ole},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(detect_generation(c.bytes), c.generation) << c.bytes;
  }
}

// The scheme is its own inverse; the check value is the one wpd2text accepts for the corpus's
// w2l_crypt5.wp (bytes 12-13: 76 20) with the password "hello".
TEST(ReaderEvents, PasswordScheme) {
  EXPECT_EQ(wp_crypt::check_value(wp_crypt::normalize("hello")), 0x7620);
  EXPECT_EQ(wp_crypt::check_value(""), 0);
  std::string bytes = "prefix and a longer body of text to encrypt";
  const std::string original = bytes;
  wp_crypt::apply(bytes, 6, "PW");
  EXPECT_EQ(bytes.substr(0, 6), original.substr(0, 6));
  EXPECT_NE(bytes, original);
  // Byte k from the start is XORed with password[k mod length] and (length + 1 + k).
  EXPECT_EQ(static_cast<unsigned char>(bytes[6]), (' ' ^ 'P' ^ 3));
  EXPECT_EQ(static_cast<unsigned char>(bytes[7]), ('a' ^ 'W' ^ 4));
  wp_crypt::apply(bytes, 6, "PW");
  EXPECT_EQ(bytes, original);
}

}  // namespace
}  // namespace quorrel::readers

namespace quorrel::readers {
namespace {

// The benchmark's documents are 5.1 documents without a flaw: read whole, every group intact.
TEST(ReaderEvents, GeneratedDocumentsReadWhole) {
  for (unsigned seed : {1u, 2u, 3u}) {
    const std::string bytes = examples::make_wp5_document(256 << 10, seed);
    EXPECT_GE(bytes.size(), 256u << 10);
    EXPECT_EQ(bytes, examples::make_wp5_document(256 << 10, seed)) << "deterministic";
    ASSERT_EQ(detect_generation(bytes), Generation::wp5);
    testing::EventLog log;
    document::DocumentBuilder builder(log);
    DocumentBytes input = DocumentBytes::from_memory(bytes);
    const ReadResult result = read_document(input, Generation::wp5, {}, builder);
    builder.finish();
    EXPECT_EQ(result.status, ReadStatus::complete) << seed << ": " << result.message;
    for (const char* event : {"[footnote]", "[header]", "[text_box]", "[table ", "[tab]",
                              "[P:c]", "{b|"}) {
      EXPECT_NE(log.log.find(event), std::string::npos) << seed << ": " << event;
    }
  }
}

}  // namespace
}  // namespace quorrel::readers
