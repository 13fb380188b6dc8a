#include "wp6_documents.h"

#include <random>
#include <string_view>

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

}  // namespace quorrel::examples
