#include "output/html_frame.h"

#include <string>

namespace quorrel::html {

namespace {

void write_heading_tag(TextWriter& out, std::string_view opening, unsigned level) {
  out.write(opening);
  std::string digits = std::to_string(level);
  out.write_raw(digits.data(), digits.size());
  out.put_raw('>');
}

}  // namespace

void write_prologue(TextWriter& out, std::string_view title) {
  out.write("<HTML>\n<HEAD>\n<TITLE>");
  // The name is written as stored, except that a file name holding angle brackets must not
  // break the page: they become square brackets, as in the text.
  for (char c : title) out.put(document_character(static_cast<unsigned char>(c)));
  out.write("</TITLE>\n</HEAD>\n<BODY>\n<P>\n");
}

void write_epilogue(TextWriter& out, Epilogue epilogue) {
  out.write(epilogue == Epilogue::after_line_feed ? "\n</BODY>\n</HTML>\n" : "</BODY>\n</HTML>\n");
}

void write_heading_start(TextWriter& out, unsigned level) { write_heading_tag(out, "<H", level); }
void write_heading_end(TextWriter& out, unsigned level) { write_heading_tag(out, "</H", level); }

}  // namespace quorrel::html
