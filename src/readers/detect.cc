// Which generation a document is, from its own bytes. Files with the 16-byte prefix say so in
// its fields; 4.2 has no prefix and is recognised by walking its codes, strictly enough that
// text files are not mistaken for it.
#include <cstring>

#include "document/utf8.h"
#include "readers/mac.h"
#include "readers/read_document.h"
#include "readers/reader_support.h"
#include "readers/wp42_groups.h"

namespace quorrel::readers {

namespace {

constexpr char kPrefixMagic[] = "\xFF" "WPC";
constexpr char kCompoundFileMagic[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

constexpr unsigned kWordPerfect = 1;
constexpr unsigned kExtendedCharacter = 0xE1;  // 4.2: E1 c E1, c in code page 437
constexpr unsigned kDocument = 10, kMacintoshDocument = 44, kFarEastDocument = 58;

Generation from_prefix(std::string_view bytes) {
  const unsigned product = byte_at(bytes, 8), type = byte_at(bytes, 9);
  const unsigned major = byte_at(bytes, 10);
  if (product != kWordPerfect) return Generation::other_product;
  switch (type) {
    case kDocument:
      if (major == 0) return Generation::wp5;
      if (major >= 2) return Generation::wp6;  // 2.2 and later outside a compound file too
      return Generation::other_product;
    case kFarEastDocument:
      return Generation::wp5_far_east;
    case kMacintoshDocument:
      return Generation::mac;
    default:  // macros, keyboards, printer files: the same prefix, no text document
      return Generation::other_product;
  }
}

// 4.2: every byte 0xC0-0xFE opens a group that closes with the same byte, at the fixed size
// the format gives it or, for the variable ones, at the byte's next occurrence; 0xFF never
// stands alone. A text file in code page 437 or 1252 passes that walk only by chance, so
// besides: the file must not be valid UTF-8 (which plain ASCII is); it must hold a group of
// fixed size (every document sets margins or tabs, while Latin-1 text made of é and ü, codes of
// variable size, passes the walk); and a fixed group whose inner bytes all repeat its code
// ("═══" in a box drawn in code page 437) counts against it, except `E1 E1 E1`, the letter ß.
bool looks_like_wp42(std::string_view bytes) {
  if (bytes.size() >= 6 && bytes.substr(0, 4) == std::string_view("\xFE\xFF\x61\x61", 4)) {
    return true;  // encrypted
  }
  if (document::is_valid_utf8(bytes)) return false;
  std::size_t fixed_groups = 0;
  std::size_t i = 0;
  const std::size_t n = bytes.size();
  while (i < n) {
    const unsigned code = static_cast<unsigned char>(bytes[i]);
    if (code < 0xC0) {
      ++i;
      continue;
    }
    if (code == 0xFF) return false;
    const int size = wp42::group_size(code);
    if (size > 0) {
      const std::size_t end = i + static_cast<std::size_t>(size);
      if (end > n || static_cast<unsigned char>(bytes[end - 1]) != code) return false;
      bool all_code = true;
      for (std::size_t k = i + 1; k + 1 < end; ++k) {
        if (static_cast<unsigned char>(bytes[k]) != code) all_code = false;
      }
      if (all_code && code != kExtendedCharacter) return false;
      i = end;
      ++fixed_groups;
    } else {
      const void* close = std::memchr(bytes.data() + i + 1, static_cast<int>(code), n - i - 1);
      if (close == nullptr) return false;
      i = static_cast<std::size_t>(static_cast<const char*>(close) - bytes.data()) + 1;
    }
  }
  return fixed_groups > 0;
}

}  // namespace

Generation detect_generation(std::string_view bytes) {
  if (bytes.size() >= 8 && bytes.substr(0, 8) == std::string_view(kCompoundFileMagic, 8)) {
    return Generation::wp6_ole;
  }
  if (bytes.size() >= 16 && bytes.substr(0, 4) == std::string_view(kPrefixMagic, 4)) {
    return from_prefix(bytes);
  }
  // WordPerfect for the Macintosh 1.x has no prefix either; its test (mac.h) leaves files of
  // the groups both layouts share to 4.2.
  if (looks_like_mac1(bytes)) return Generation::mac1;
  if (looks_like_wp42(bytes)) return Generation::wp42;
  return Generation::plain;
}

std::string_view generation_name(Generation generation) {
  switch (generation) {
    case Generation::plain:
      return "text";
    case Generation::wp42:
      return "WordPerfect 4.2";
    case Generation::wp5:
      return "WordPerfect 5.x";
    case Generation::wp5_far_east:
      return "WordPerfect 5.1 Far East";
    case Generation::wp6:
      return "WordPerfect 6.x or later";
    case Generation::wp6_ole:
      return "WordPerfect 7 or later (compound file)";
    case Generation::mac:
      return "WordPerfect for the Macintosh";
    case Generation::mac1:
      return "WordPerfect for the Macintosh 1.x";
    case Generation::other_product:
      return "another WordPerfect product";
  }
  return "unknown";
}

}  // namespace quorrel::readers
