#include "cli/cli_port.h"

#include "output/sxw_package.h"
#include "shell/controls.h"
#include "shell/messages.h"

namespace quorrel {

void CliPort::set_control_text(int id, std::string_view text) {
  std::string& shown = texts_[id];
  if (id == ID_TO_TXT && text.size() > shown.size() && text.substr(0, shown.size()) == shown) {
    // The driver only ever appends "entry CR LF" lines; print the new ones.
    std::string_view added = text.substr(shown.size());
    while (!added.empty()) {
      std::size_t end = added.find("\r\n");
      // An entry is a file name with its output's extension.
      std::string line = printable_name(added.substr(0, end));
      std::fprintf(out_, "%s\n", line.c_str());
      if (end == std::string_view::npos) break;
      added.remove_prefix(end + 2);
    }
    std::fflush(out_);
  }
  shown.assign(text);
}

std::string CliPort::control_text(int id, std::size_t max_length) {
  const std::string& text = texts_[id];
  return text.substr(0, max_length);
}

bool CliPort::is_checked(int id) {
  auto found = checked_.find(id);
  return found != checked_.end() && found->second;
}

void CliPort::check_radio_button(int first, int last, int id) {
  for (int button = first; button <= last; ++button) checked_[button] = button == id;
}

void CliPort::message_box(std::string_view text, std::string_view caption) {
  ++messages_shown_;
  std::fprintf(err_, "%s: %.*s %.*s\n", printable_name(current_input_).c_str(),
               static_cast<int>(caption.size()), caption.data(), static_cast<int>(text.size()),
               text.data());
  std::fflush(err_);
}

bool CliPort::pack(const std::string& archive_path, int content_fd) {
  return sxw::pack(archive_path, content_fd);
}

}  // namespace quorrel
