#include "shell/messages.h"

namespace quorrel {

std::string printable_name(std::string_view name) {
  bool plain = true;
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7f) plain = false;
  }
  if (plain) return std::string(name);
  std::string shown = "\"";
  for (char c : name) {
    auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\n':
        shown += "\\n";
        break;
      case '\t':
        shown += "\\t";
        break;
      case '\r':
        shown += "\\r";
        break;
      case '"':
        shown += "\\\"";
        break;
      case '\\':
        shown += "\\\\";
        break;
      default:
        if (byte < 0x20 || byte == 0x7f) {
          // Three octal digits always: a digit that follows cannot be taken into the escape.
          shown += '\\';
          shown += static_cast<char>('0' + (byte >> 6));
          shown += static_cast<char>('0' + ((byte >> 3) & 7));
          shown += static_cast<char>('0' + (byte & 7));
        } else {
          shown += c;
        }
    }
  }
  shown += '"';
  return shown;
}

std::string output_replaces_input_message(std::string_view output) {
  return "The output " + printable_name(output) + " would replace the input itself.";
}

std::string output_written_twice_message(std::string_view input, std::string_view output,
                                         std::string_view earlier_input) {
  return printable_name(input) + " is not converted: the output " + printable_name(output) +
         " was already written from " + printable_name(earlier_input) + " in this run.";
}

}  // namespace quorrel
