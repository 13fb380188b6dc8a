// The desktop platform: the main dialog's controls, Qt message boxes and the file-open dialog.
// It owns the dialog and hands every message of it to the shell's DialogFunc.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/main_dialog.h"
#include "shell/batch_state.h"
#include "shell/port.h"

namespace quorrel {

class DesktopPort : public Port {
 public:
  explicit DesktopPort(BatchState& batch);
  ~DesktopPort() override;

  MainDialog& dialog() { return *dialog_; }

  // The dialog's initialisation, before it is first shown.
  void initialize();
  // Loads files named when the program was started (absolute paths) as if they had been
  // dropped on the dialog.
  void open_files(const std::vector<std::string>& paths);
  // Initialises the dialog, opens `opened_files`, runs it modally and returns its end value.
  int run(const std::vector<std::string>& opened_files = {});

  void set_control_text(int id, std::string_view text) override;
  // Edit boxes end their lines with CR LF, as the shell writes them.
  std::string control_text(int id, std::size_t max_length) override;
  bool is_checked(int id) override;
  void message_box(std::string_view text, std::string_view caption) override;
  bool pack(const std::string& archive_path, int content_fd) override;
  void set_checked(int id, bool checked) override;
  void check_radio_button(int first, int last, int id) override;
  void accept_dropped_files(bool accept) override;
  void end_dialog(int result) override;
  std::vector<std::string> choose_files(std::string_view title, std::string_view filter_label,
                                        std::string_view filter_pattern) override;

 private:
  BatchState& batch_;
  std::unique_ptr<MainDialog> dialog_;
};

}  // namespace quorrel
