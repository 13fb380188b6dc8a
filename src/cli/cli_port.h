// The command line as a platform: options stand in for the dialog's check boxes and radio
// buttons, To box entries go to standard output, message boxes to standard error.
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "shell/port.h"

namespace quorrel {

class CliPort final : public Port {
 public:
  CliPort(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

  // The input named in front of each message.
  void set_current_input(std::string input) { current_input_ = std::move(input); }
  bool any_message_shown() const { return messages_shown_ > 0; }

  void set_control_text(int id, std::string_view text) override;
  std::string control_text(int id, std::size_t max_length) override;
  bool is_checked(int id) override;
  void message_box(std::string_view text, std::string_view caption) override;
  bool pack(const std::string& archive_path, int content_fd) override;

  // Options stand in for the check boxes and radio buttons. A command line has no dialog to
  // end, takes no drops and has no file chooser: its files come as arguments.
  void set_checked(int id, bool checked) override { checked_[id] = checked; }
  void check_radio_button(int first, int last, int id) override;
  void accept_dropped_files(bool) override {}
  void end_dialog(int) override {}
  std::vector<std::string> choose_files(std::string_view, std::string_view,
                                        std::string_view) override {
    return {};
  }

 private:
  std::FILE* out_;
  std::FILE* err_;
  std::map<int, bool> checked_;
  std::map<int, std::string> texts_;
  std::string current_input_;
  int messages_shown_ = 0;
};

}  // namespace quorrel
