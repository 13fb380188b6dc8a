// The WordPerfect character tables: well-known entries, the places we knowingly differ from
// libwpd 0.10.3, agreement between tables that come from different sources, and properties that
// hold for every entry.
#include "document/charsets.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

namespace cs = quorrel::charsets;

// The code points of well-formed UTF-8 (shortest form, no surrogates, at most U+10FFFF), or
// nothing when the text is not well formed.
std::optional<std::vector<char32_t>> decode(std::string_view text) {
  std::vector<char32_t> out;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80                   ? 1
                               : lead >= 0xC2 && lead < 0xE0 ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || i + length > text.size()) return std::nullopt;
    char32_t c = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = c << 6 | (next & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return std::nullopt;
    out.push_back(c);
    i += length;
  }
  return out;
}

struct Table {
  const char* name;
  std::function<std::string_view(int)> lookup;  // by flat index
  int size;
};

std::vector<Table> all_tables() {
  std::vector<Table> tables;
  for (int set = 0; set < 15; ++set) {
    tables.push_back({"wp5", [set](int i) { return cs::wp5(set, i); }, 256});
    tables.push_back({"wp6", [set](int i) { return cs::wp6(set, i); }, 256});
  }
  tables.push_back({"wp6_low", cs::wp6_low, 256});
  tables.push_back({"cp437", cs::cp437, 256});
  tables.push_back({"cp1252", cs::cp1252, 256});
  return tables;
}

TEST(Charsets, EveryEntryIsWellFormedTextWithoutControlCharacters) {
  int entries = 0;
  for (const Table& table : all_tables()) {
    for (int i = 0; i < table.size; ++i) {
      const std::string_view text = table.lookup(i);
      if (text.empty()) continue;
      ++entries;
      const auto code_points = decode(text);
      ASSERT_TRUE(code_points) << table.name << " " << i;
      EXPECT_LE(code_points->size(), 3u) << table.name << " " << i;
      for (char32_t c : *code_points)
        EXPECT_FALSE(c < 0x20 || (c >= 0x7F && c < 0xA0)) << table.name << " " << i;
    }
  }
  // libwpd's tables hold about 3,800 characters; counted here as both generations see them.
  EXPECT_GT(entries, 4500);
}

TEST(Charsets, OutOfRangeArgumentsGiveEmptyText) {
  for (int bad : {-1, 256, 1000, -1000}) {
    EXPECT_TRUE(cs::wp5(1, bad).empty()) << bad;
    EXPECT_TRUE(cs::wp6(1, bad).empty()) << bad;
    EXPECT_TRUE(cs::wp5(bad, 65).empty()) << bad;
    EXPECT_TRUE(cs::wp6(bad, 65).empty()) << bad;
    EXPECT_TRUE(cs::cp437(bad).empty()) << bad;
    EXPECT_TRUE(cs::cp1252(bad).empty()) << bad;
    EXPECT_TRUE(cs::wp6_low(bad).empty()) << bad;
  }
  EXPECT_TRUE(cs::wp5(15, 65).empty());
  EXPECT_TRUE(cs::wp6(15, 65).empty());
  EXPECT_TRUE(cs::wp6_low(0).empty());
  EXPECT_TRUE(cs::wp6_low(0x21).empty());
  EXPECT_TRUE(cs::wp6(1, 255).empty());  // past the end of the set's entries
}

TEST(Charsets, WellKnownEntries) {
  struct Case {
    std::string_view got, want;
  };
  // clang-format off
  const Case cases[] = {
      // Set 0 is ASCII, space included, in both generations.
      {cs::wp5(0, 'A'), "A"}, {cs::wp6(0, ' '), " "}, {cs::wp6(0, '~'), "~"},
      {cs::wp6(0, 0x7F), ""}, {cs::wp6(0, 0x1F), ""},
      // Set 1: accented Latin letters.
      {cs::wp6(1, 23), "ß"}, {cs::wp6(1, 40), "É"}, {cs::wp6(1, 41), "é"},
      {cs::wp6(1, 63), "ö"}, {cs::wp6(1, 57), "ñ"}, {cs::wp5(1, 71), "ü"},
      {cs::wp6(1, 162), "Ő"}, {cs::wp6(1, 163), "ő"},
      // Set 4: typographic symbols.
      {cs::wp6(4, 5), "¶"}, {cs::wp6(4, 6), "§"}, {cs::wp6(4, 32), "“"}, {cs::wp6(4, 31), "”"},
      {cs::wp6(4, 33), "–"}, {cs::wp6(4, 34), "—"}, {cs::wp6(4, 41), "™"}, {cs::wp5(4, 23), "©"},
      {cs::wp6(4, 72), "€"}, {cs::wp6(4, 101), "\U0001D122"},
      {cs::wp6(4, 89), ""},  // a placeholder in libwpd's table, not a character
      // Set 8: Greek.
      {cs::wp6(8, 0), "Α"}, {cs::wp6(8, 1), "α"}, {cs::wp6(8, 36), "Σ"}, {cs::wp6(8, 37), "σ"},
      {cs::wp5(8, 1), "α"}, {cs::wp5(8, 51), "ω"},
      // Other sets.
      {cs::wp6(3, 8), "─"}, {cs::wp6(6, 0), "−"}, {cs::wp6(9, 0), "א"}, {cs::wp6(10, 0), "А"},
      {cs::wp5(10, 0), "А"}, {cs::wp5(10, 1), "а"},
      // Several code points for one character.
      {cs::wp6(1, 156), "ʼN"}, {cs::wp6(1, 218), "\u0300R"}, {cs::wp5(10, 110), "А\u0301"},
      // 6.x single bytes.
      {cs::wp6_low(0x01), "å"}, {cs::wp6_low(0x10), "É"}, {cs::wp6_low(0x20), "ß"},
      // Code page 437.
      {cs::cp437(0x00), ""}, {cs::cp437(0x1F), ""}, {cs::cp437(' '), " "},
      {cs::cp437('a'), "a"}, {cs::cp437(0x7F), "⌂"}, {cs::cp437(0x80), "Ç"},
      {cs::cp437(0x81), "ü"}, {cs::cp437(0x89), "ë"}, {cs::cp437(0x93), "ô"},
      {cs::cp437(0xB0), "░"}, {cs::cp437(0xC9), "╔"}, {cs::cp437(0xE1), "ß"},
      {cs::cp437(0xF1), "±"},
      // Windows-1252.
      {cs::cp1252('A'), "A"}, {cs::cp1252(0x80), "€"}, {cs::cp1252(0x93), "“"},
      {cs::cp1252(0x96), "–"}, {cs::cp1252(0x9F), "Ÿ"}, {cs::cp1252(0xE9), "é"},
      {cs::cp1252(0x09), ""}, {cs::cp1252(0x0A), ""}, {cs::cp1252(0x7F), ""},
      {cs::cp1252(0x81), ""}, {cs::cp1252(0x8D), ""}, {cs::cp1252(0x8F), ""},
      {cs::cp1252(0x90), ""}, {cs::cp1252(0x9D), ""},
  };
  // clang-format on
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
}

// Every entry where we knowingly differ from Debian 12's libwpd 0.10.3 (wpd2text); a comparison
// with its output must expect exactly these.
TEST(Charsets, DifferencesFromLibwpd0103) {
  // Code page 437 bytes that libwpd 0.10.3 spells ë (0x89) and ô (0x93) a second time.
  EXPECT_EQ(cs::cp437(0x82), "é");
  EXPECT_EQ(cs::cp437(0xA3), "ú");
  // 5.x Greek corrected in libwpd 0.10.4: terminal sigmas and variant rho (0.10.3: Ϲ ϛ ῥ).
  EXPECT_EQ(cs::wp5(8, 38), "Σ");
  EXPECT_EQ(cs::wp5(8, 39), "ς");
  EXPECT_EQ(cs::wp5(8, 65), "ϱ");
  // The 6.x Greek set agrees on the sigmas.
  EXPECT_EQ(cs::wp6(8, 38), "Σ");
  EXPECT_EQ(cs::wp6(8, 39), "ς");
}

// Where 5.x and 6.x share a set, libwpd reads both with one table.
TEST(Charsets, SetsSharedByBothGenerationsAgree) {
  for (int set : {0, 1, 3, 4, 6, 7})
    for (int i = 0; i < 256; ++i) EXPECT_EQ(cs::wp5(set, i), cs::wp6(set, i)) << set << "," << i;
}

// The maker's format kit names each 6.x single byte 0x01-0x20 as a set-1 character; the
// single-byte table and the set-1 table come from different places and must agree.
TEST(Charsets, SingleBytesAreTheFormatKitsSetOneCharacters) {
  const int set1_index[32] = {35, 34, 37, 36, 31, 30, 27, 33, 29, 77, 76, 39, 38, 45, 41, 40,
                              47, 43, 49, 57, 56, 81, 80, 83, 82, 63, 62, 71, 70, 67, 73, 23};
  for (int byte = 0x01; byte <= 0x20; ++byte) {
    EXPECT_FALSE(cs::wp6_low(byte).empty()) << byte;
    EXPECT_EQ(cs::wp6_low(byte), cs::wp6(1, set1_index[byte - 1])) << byte;
  }
}

// Windows-1252 is Latin-1 from 0xA0 up, and code page 437 is ASCII where it overlaps.
TEST(Charsets, CodePagesAgreeWithTheirStandardRanges) {
  for (int byte = 0xA0; byte <= 0xFF; ++byte) {
    const std::string latin1 = {static_cast<char>(0xC0 | byte >> 6),
                                static_cast<char>(0x80 | (byte & 0x3F))};
    EXPECT_EQ(cs::cp1252(byte), latin1) << byte;
  }
  for (int byte = 0x20; byte <= 0x7E; ++byte) {
    const std::string ascii(1, static_cast<char>(byte));
    EXPECT_EQ(cs::cp437(byte), ascii) << byte;
    EXPECT_EQ(cs::cp1252(byte), ascii) << byte;
  }
  for (int byte = 0x80; byte <= 0xFF; ++byte) EXPECT_FALSE(cs::cp437(byte).empty()) << byte;
}

}  // namespace
