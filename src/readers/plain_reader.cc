// Anything that is no WordPerfect document, read as text.
//
// Which code page: a file that is valid UTF-8 is UTF-8 (its byte-order mark dropped); any
// other is taken for Windows-1252, the code page of the Windows programs that last touched
// most such files, unless it holds a byte 1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D): then it cannot be 1252, and code page 437, the DOS code page of the WordPerfect era,
// is the likelier one. Line feeds, CR LF pairs and lone carriage returns end paragraphs; a form
// feed is a page break; a tab is a tab. A file of more than 8 MiB is judged by its first 8 MiB,
// so that it is read in one pass however large it is; should a later byte then break UTF-8,
// it becomes U+FFFD.
#include <array>
#include <cstring>
#include <string>

#include "document/charsets.h"
#include "document/utf8.h"
#include "readers/readers.h"

namespace quorrel::readers {

namespace {

enum class Encoding { utf8, cp1252, cp437 };

constexpr std::size_t kJudgedBytes = 8 << 20;

Encoding choose_encoding(std::string_view bytes) {
  const std::string_view judged = bytes.substr(0, kJudgedBytes);
  const std::size_t valid = document::valid_utf8_prefix(judged);
  // A sequence cut by the end of the judged stretch does not count against UTF-8.
  if (valid == judged.size() || (judged.size() < bytes.size() && judged.size() - valid < 4)) {
    return Encoding::utf8;
  }
  for (unsigned char undefined : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) {
    if (std::memchr(judged.data(), undefined, judged.size()) != nullptr) return Encoding::cp437;
  }
  return Encoding::cp1252;
}

bool is_structure_byte(unsigned char byte) {
  return byte == '\n' || byte == '\r' || byte == '\f' || byte == '\t';
}

// The text between two structure bytes.
void deliver(std::string_view text, Encoding encoding, document::DocumentBuilder& builder) {
  if (encoding == Encoding::utf8) {
    while (!text.empty()) {
      const std::size_t valid = document::valid_utf8_prefix(text);
      builder.text(text.substr(0, valid));
      if (valid == text.size()) break;
      builder.character(0xFFFD);
      text.remove_prefix(valid + 1);
    }
    return;
  }
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte < 0x7F) continue;
    builder.printable_ascii(text.substr(start, i - start));
    start = i + 1;
    if (byte < 0x80) continue;  // other control characters: nothing
    builder.text(encoding == Encoding::cp437 ? charsets::cp437(byte) : charsets::cp1252(byte));
  }
  builder.printable_ascii(text.substr(start));
}

}  // namespace

ReadResult read_plain(DocumentBytes& input, document::DocumentBuilder& builder) {
  std::string_view bytes = input.bytes();
  const Encoding encoding = choose_encoding(bytes);
  std::size_t i = 0;
  if (encoding == Encoding::utf8 && bytes.substr(0, 3) == "\xEF\xBB\xBF") i = 3;
  std::size_t start = i;
  const std::size_t n = bytes.size();
  while (i < n) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (!is_structure_byte(byte)) {
      ++i;
      continue;
    }
    deliver(bytes.substr(start, i - start), encoding, builder);
    switch (byte) {
      case '\t':
        builder.tab();
        break;
      case '\f':
        builder.page_break();
        break;
      case '\r':
        if (i + 1 < n && bytes[i + 1] == '\n') ++i;
        builder.paragraph_break();
        break;
      default:
        builder.paragraph_break();
        break;
    }
    start = ++i;
    input.done_before(start);
  }
  deliver(bytes.substr(start), encoding, builder);
  if (input.lost()) return {ReadStatus::damaged, "The file could not be read to its end."};
  return {};
}

}  // namespace quorrel::readers
