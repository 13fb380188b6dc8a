#include "writers/output_buffer.h"


namespace quorrel::writers {

void append_xml_escaped(std::string& out, std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    std::string_view entity;
    switch (text[i]) {
      case '&': entity = "&amp;"; break;
      case '<': entity = "&lt;"; break;
      case '>': entity = "&gt;"; break;
      case '"': entity = "&quot;"; break;
      default: continue;
    }
    out.append(text.data() + start, i - start);
    out.append(entity);
    start = i + 1;
  }
  out.append(text.data() + start, text.size() - start);
}

}  // namespace quorrel::writers
