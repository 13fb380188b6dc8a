#include "output/html_frame.h"

#include <algorithm>
#include <charconv>

namespace quorrel::html {

namespace {

// Levels beyond the literals: the tag is put together in place and written in one piece.
void write_heading_tag(TextWriter& out, std::string_view opening, unsigned level) {
  char tag[16];
  char* at = std::copy(opening.begin(), opening.end(), tag);
  at = std::to_chars(at, tag + sizeof tag - 1, level).ptr;
  *at++ = '>';
  out.write_raw(tag, static_cast<std::size_t>(at - tag));
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

void write_heading_start(TextWriter& out, unsigned level) {
  if (level < std::size(kHeadingStarts)) {
    out.write(kHeadingStarts[level]);
  } else {
    write_heading_tag(out, "<H", level);
  }
}

void write_heading_end(TextWriter& out, unsigned level) {
  if (level < std::size(kHeadingEnds)) {
    out.write(kHeadingEnds[level]);
  } else {
    write_heading_tag(out, "</H", level);
  }
}

}  // namespace quorrel::html
