#include "random_events.h"

#include <random>

namespace quorrel::examples {

namespace {

using document::Align;
using document::Attribute;
using document::SubDocument;

// Text that tests a writer: markup characters, runs of spaces, characters outside ASCII, and
// code points XML does not allow.
constexpr std::string_view kTexts[] = {
    "Words of a sentence",
    " ",
    "   three spaces",
    "<&> \"quoted\" 'single'",
    "caf\xC3\xA9 na\xC3\xAFve \xE4\xB8\xAD\xE6\x96\x87 \xF0\x9F\x93\x84",
    "\xEF\xBF\xBE\xEF\xBF\xBF",
    "]]>",
    "x",
};

}  // namespace

void play_events(document::DocumentBuilder& builder, std::string_view script) {
  for (char byte : script) {
    auto value = static_cast<unsigned char>(byte);
    int argument = value >> 5;  // 0..7
    switch (value & 0x1F) {
      case 10:
        builder.tab();
        break;
      case 11:
        builder.line_break();
        break;
      case 12:
      case 13:
        builder.paragraph_break();
        break;
      case 14:
        builder.page_break();
        break;
      case 15:
        builder.set_attribute(static_cast<Attribute>(argument % 7), true);
        break;
      case 16:
        builder.set_attribute(static_cast<Attribute>(argument % 7), false);
        break;
      case 17:
        builder.set_justification(static_cast<Align>(argument % 4));
        break;
      case 18:
        builder.align_paragraph(static_cast<Align>(argument % 4));
        break;
      case 19:
        builder.open_sub_document(static_cast<SubDocument>(argument % 6));
        break;
      case 20:
        builder.close_sub_document();
        break;
      case 21:
        builder.open_table(argument);
        break;
      case 22:
        builder.open_row();
        break;
      case 23:
      case 24:
        builder.open_cell();
        break;
      case 25:
        builder.close_table();
        break;
      case 26: {
        static constexpr char32_t kCodePoints[] = {0xFFFE,   0x7F, 0x01,    0xD800,
                                                   0x110000, 0xE9, 0x1F600, 0xFFFD};
        builder.character(kCodePoints[argument]);
        break;
      }
      case 27:
        builder.printable_ascii("a & b < c > d");
        break;
      default:
        builder.text(kTexts[argument]);
        break;
    }
  }
  builder.finish();
}

std::string random_script(std::size_t size, std::uint32_t key) {
  std::mt19937 random(key);
  std::string script(size, '\0');
  for (char& byte : script) byte = static_cast<char>(random() & 0xFF);
  return script;
}

}  // namespace quorrel::examples
