#include "random_documents.h"

#include <random>
#include <string_view>
#include <vector>

namespace quorrel::examples {

namespace {

using Piece = std::string_view;
using namespace std::string_view_literals;

// Pieces are picked at random; text-heavy documents draw words far more often than codes.
struct Vocabulary {
  std::vector<Piece> words;
  std::vector<Piece> codes;
};

const Vocabulary& vocabulary(FormatCode format) {
  static const std::vector<Piece> kWords = {"the "sv, "archive "sv, "of "sv, "letters "sv, "<old> "sv,
                                            "& "sv, "\"quoted\" "sv, "report, "sv, "1991. "sv, "it's "sv};
  static const Vocabulary kPlain = {kWords, {"\n"sv, "\r\n"sv, "\t"sv, "\r"sv, "\x01"sv, "\xe9"sv, "\x7f"sv}};
  static const Vocabulary kWp = {
      kWords,
      {"\n"sv, "\r\n"sv, "\r"sv, "\t"sv, "\x83"sv, "\x9d"sv, "\x9c"sv, "\xc0\x01\x02\xc0"sv, "\xc3\x0a\xc3"sv,
       "\xd1\x20\x10\xd1"sv, "\xa0"sv, "\x05"sv}};
  static const Vocabulary kW51 = {
      kWords,
      {"\n"sv, "\r"sv, "\x0b"sv, "\x90"sv, "\t"sv, "\xa9"sv, "\xc3\x0c\xc3"sv, "\xc4\x0c\xc4"sv, "\xc3\x0f\xc3"sv,
       "\xc4\x0f\xc4"sv, "\xc1\x00\x01\xc1"sv, "\xc2\x00\x02\xc2"sv, "\xd0\x01\x02\x03\xd0"sv,
       "\xc0\x41\xc0"sv}};
  static const Vocabulary kWpd = {
      kWords,
      {"\xcc"sv, "\x80"sv, "\xe0\x11\x04\x00\xe0"sv, "\xd3\x02\xd3"sv, "\xdf\x00\xdf"sv, "\xf2\x0c\xf2"sv,
       "\xf3\x0c\xf3"sv, "\xf2\x08\xf2"sv, "\xf3\x08\xf3"sv, "\xf2\x01\xf2"sv, "\xf3\x01\xf3"sv,
       "\xd0\x01\x15\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x15\x00\xd0"sv,
       "\xd4\x41\x42\xd4"sv}};
  switch (format) {
    case TYPE_WP: return kWp;
    case TYPE_W51: return kW51;
    case TYPE_WPD: return kWpd;
    case TYPE_UNKNOWN: break;
  }
  return kPlain;
}

}  // namespace

std::string document_prefix(FormatCode format) {
  if (format != TYPE_W51 && format != TYPE_WPD) {
    // An ancient document starts with a function group.
    return format == TYPE_WP ? std::string("\xc3\x01\xc3") : std::string();
  }
  // 'WPC', document offset 16, product 1, file type 10, major version 0 (5.1) or 2 (6-9).
  std::string prefix = "\xff" "WPC";
  prefix += std::string("\x10\x00\x00\x00\x01\x0a", 6);
  prefix.push_back(format == TYPE_W51 ? '\x00' : '\x02');
  prefix += std::string("\x01\x00\x00\x00\x00", 5);
  return prefix;
}

std::string random_document_area(FormatCode format, std::size_t size, std::uint32_t key,
                                 Shape shape) {
  const Vocabulary& pieces = vocabulary(format);
  std::mt19937 random(key);
  std::string area;
  area.reserve(size + 64);
  // Out of 16 draws: text-heavy takes 1 code, code-heavy 12, worst case only codes.
  unsigned codes_in_16 = shape == Shape::text_heavy ? 1 : shape == Shape::code_heavy ? 12 : 16;
  while (area.size() < size) {
    bool code = random() % 16 < codes_in_16;
    const std::vector<Piece>& from = code ? pieces.codes : pieces.words;
    area.append(from[random() % from.size()]);
  }
  return area;
}

std::string random_document(FormatCode format, std::size_t size, std::uint32_t key, Shape shape) {
  return document_prefix(format) + random_document_area(format, size, key, shape);
}

}  // namespace quorrel::examples
