#include "builder_script.h"

namespace quorrel::fuzz {

using document::Align;
using document::Attribute;
using document::SubDocument;

namespace {

// Markup characters, spaces, and characters of every UTF-8 length; a control character, a
// surrogate and a noncharacter, which the builder must drop or replace.
constexpr char32_t kCharacters[] = {U'a',     U'b',     U' ',     U'<',      U'>',
                                    U'&',     U'"',     U'\'',    U'\u00E9', U'\u20AC',
                                    U'\U0001F600', U'\t', 0xD800, U'z',      U'\u00A7', U' ',
                                    0xFFFE};
constexpr std::string_view kAscii = "ab cd<e>f&g\"h'i  j";

}  // namespace

std::size_t play_builder_script(std::string_view script, document::DocumentBuilder& b) {
  std::size_t calls = 0;
  std::size_t i = 0;
  auto next = [&]() -> unsigned { return i < script.size() ? static_cast<unsigned char>(script[i++]) : 0; };
  while (i < script.size()) {
    unsigned op = next() % 20;
    ++calls;
    switch (op) {
      case 0:
      case 1:
      case 2: {  // a run of printable ASCII
        unsigned length = next() % 24 + 1;
        for (unsigned k = 0; k < length; ++k) b.printable_ascii(kAscii[next() % kAscii.size()]);
        break;
      }
      case 3: b.character(kCharacters[next() % std::size(kCharacters)]); break;
      case 4: b.tab(); break;
      case 5: b.line_break(); break;
      case 6:
      case 7: b.paragraph_break(); break;
      case 8: b.page_break(); break;
      case 9: {
        unsigned value = next();
        b.set_attribute(static_cast<Attribute>(value % document::kAttributeCount), value & 0x80);
        break;
      }
      case 10: b.set_justification(static_cast<Align>(next() % 4)); break;
      case 11: b.align_paragraph(static_cast<Align>(next() % 4)); break;
      case 12: b.open_sub_document(static_cast<SubDocument>(next() % 6)); break;
      case 13: b.close_sub_document(); break;
      case 14: b.open_table(static_cast<int>(next() % 5)); break;
      case 15: b.open_row(); break;
      case 16:
      case 17: b.open_cell(); break;
      case 18: b.close_table(); break;
      // ü ß “&” and U+FFFF
      case 19: b.text("\xC3\xBC \xC3\x9F\xE2\x80\x9C&\xE2\x80\x9D\xEF\xBF\xBF"); break;
    }
  }
  b.finish();
  return calls + 1;
}

}  // namespace quorrel::fuzz
