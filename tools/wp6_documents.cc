#include "wp6_documents.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string_view>
#include <vector>

namespace quorrel::examples {

namespace {

constexpr std::string_view kWords[] = {
    "the",   "court",  "of",        "appeals", "document", "and",    "plaintiff", "a",
    "which", "county", "WordPerfect", "to",    "section",  "letter", "1989",      "in",
    "that",  "State",  "report",    "is",      "Smith",    "for",    "memorandum", "on"};

// How each kind of code is written in 6.x.
struct Codes {
  std::string_view space, soft_return, hard_return;
  std::string_view bold_on, bold_off, italic_on, italic_off;
  std::string_view curly_open, curly_close, section_sign;  // from the typographic set
};

// 6.x: the space code 0x80, 0xCF soft and 0xCC hard returns, F2/F3 attribute groups, F0
// characters.
constexpr Codes kWp6{"\x80",
                     "\xCF",
                     "\xCC",
                     "\xF2\x0C\xF2",
                     "\xF3\x0C\xF3",
                     "\xF2\x08\xF2",
                     "\xF3\x08\xF3",
                     "\xF0\x1C\x04\xF0",
                     "\xF0\x1D\x04\xF0",
                     "\xF0\x06\x04\xF0"};

std::string area(const Codes& codes, std::size_t size, unsigned key) {
  std::mt19937 random(key);
  std::string out;
  out.reserve(size + 256);
  std::size_t line = 0, paragraph_words = 0;
  while (out.size() < size) {
    unsigned dice = random() % 100;
    std::string_view word = kWords[random() % std::size(kWords)];
    if (dice < 2) {
      out += codes.bold_on;
      out += word;
      out += codes.bold_off;
    } else if (dice < 3) {
      out += codes.italic_on;
      out += word;
      out += codes.italic_off;
    } else if (dice < 4) {
      out += codes.curly_open;
      out += word;
      out += codes.curly_close;
    } else if (dice < 5) {
      out += codes.section_sign;
      out += word;
    } else {
      out += word;
    }
    line += word.size() + 1;
    ++paragraph_words;
    if (paragraph_words > 60 && dice % 8 == 0) {
      out += codes.hard_return;
      out += codes.hard_return;
      line = paragraph_words = 0;
    } else if (line > 70) {
      out += codes.soft_return;  // where the line wrapped
      line = 0;
    } else {
      out += codes.space;
    }
  }
  return out;
}

// The 16-byte prefix; 6.x adds an index right after it that holds only its own header.
std::string prefix(char major, char minor, bool with_index) {
  std::string p("\xFFWPC", 4);
  const char offset = with_index ? 16 + 14 : 16;  // where the document area starts
  p += {offset, 0, 0, 0, '\x01' /* WordPerfect */, '\x0A' /* a document */, major, minor};
  p += {0, 0};  // not encrypted
  if (with_index) {
    p += {16, 0};  // the index header's offset
    std::string header(14, '\0');
    header[2] = 1;  // entries, the header included
    p += header;
  } else {
    p += {0, 0};
  }
  return p;
}

}  // namespace

std::string wp6_document_prefix() { return prefix(2, 1, true); }
std::string wp6_document_area(std::size_t bytes, unsigned seed) { return area(kWp6, bytes, seed); }

std::string make_wp6_document(std::size_t bytes, unsigned seed) {
  return wp6_document_prefix() + wp6_document_area(bytes, seed);
}

namespace {

std::string le16(unsigned v) { return {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
std::string le32(std::uint32_t v) { return le16(v & 0xFFFF) + le16(v >> 16); }

// A directory entry: a name, its type (5 root, 2 stream), where its chain starts and its size.
std::string directory_entry(const std::string& name, int type, std::uint32_t start,
                            std::uint32_t size) {
  std::string e;
  for (char c : name) e += le16(static_cast<unsigned char>(c));
  e += le16(0);
  e.resize(64, '\0');
  e += le16(unsigned(2 * (name.size() + 1))) + char(type) + char(1) + le32(0xFFFFFFFF) +
       le32(0xFFFFFFFF) + le32(type == 5 ? 1 : 0xFFFFFFFF);
  e.resize(0x74, '\0');
  return e + le32(start) + le32(size) + le32(0);
}

}  // namespace

std::string make_compound_file(const std::string& stream, unsigned sector_shift, bool scattered,
                               bool loop) {
  const std::size_t sector = std::size_t(1) << sector_shift, per_fat = sector / 4;
  const std::size_t count = (stream.size() + sector - 1) / sector;
  std::size_t fat_sectors = 1;
  while (fat_sectors * per_fat < fat_sectors + 1 + count) ++fat_sectors;
  const auto first = std::uint32_t(fat_sectors + 1);  // after the table and the directory
  // Where the stream's i-th sector lies.
  auto place = [&](std::size_t i) {
    return std::uint32_t(first + (scattered ? count - 1 - i : i));
  };

  std::string header = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) +
                       std::string(16, '\0') + le16(0x3E) + le16(sector_shift == 12 ? 4 : 3) +
                       le16(0xFFFE) + le16(sector_shift) + le16(6) + std::string(10, '\0') +
                       le32(std::uint32_t(fat_sectors)) + le32(std::uint32_t(fat_sectors)) +
                       le32(0) + le32(4096) + le32(0xFFFFFFFE) + le32(0) + le32(0xFFFFFFFE) +
                       le32(0);
  for (std::size_t i = 0; i < 109; ++i) {
    header += le32(i < fat_sectors ? std::uint32_t(i) : 0xFFFFFFFF);
  }
  header.resize(sector, '\0');

  std::vector<std::uint32_t> fat(fat_sectors * per_fat, 0xFFFFFFFF);
  for (std::size_t i = 0; i < fat_sectors; ++i) fat[i] = 0xFFFFFFFD;  // the table's own
  fat[fat_sectors] = 0xFFFFFFFE;                                        // the directory
  for (std::size_t i = 0; i < count; ++i) {
    fat[place(i)] = loop && i + 2 == count ? place(0) : i + 1 < count ? place(i + 1) : 0xFFFFFFFE;
  }
  std::string file = header;
  for (std::uint32_t entry : fat) file += le32(entry);
  std::string directory = directory_entry("Root Entry", 5, 0xFFFFFFFE, 0) +
                          directory_entry("PerfectOffice_MAIN", 2, place(0),
                                          std::uint32_t(stream.size()));
  directory.resize(sector, '\0');
  file += directory;
  const std::size_t body = file.size();
  file.resize(body + count * sector, '\0');
  for (std::size_t i = 0; i < count; ++i) {
    std::size_t at = body + (place(i) - first) * sector;
    file.replace(at, std::min(sector, stream.size() - i * sector), stream, i * sector, sector);
  }
  return file;
}

}  // namespace quorrel::examples
