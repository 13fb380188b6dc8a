#include "shell/port.h"

namespace quorrel {

void Port::append_line(int id, std::string_view line, std::size_t capacity) {
  std::string text = control_text(id, capacity);
  text.append(line);
  text.append("\r\n");
  while (text.size() >= capacity) {
    std::size_t line_end = text.find("\r\n");
    if (line_end + 2 >= text.size()) break;
    text.erase(0, line_end + 2);
  }
  set_control_text(id, text);
}

}  // namespace quorrel
