#include "writers/output_buffer.h"

#include "writers/markup_scan.h"


namespace quorrel::writers {

std::string_view xml_reference(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    default: return "&quot;";
  }
}

void append_xml_escaped(std::string& out, std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = find_markup(text, 0, false); i < text.size();
       i = find_markup(text, start, false)) {
    out.append(text.data() + start, i - start);
    out.append(xml_reference(text[i]));
    start = i + 1;
  }
  out.append(text.data() + start, text.size() - start);
}

}  // namespace quorrel::writers
