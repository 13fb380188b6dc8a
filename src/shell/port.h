// The one interface between the shell's logic and the platform it runs on. The desktop
// dialog, the command line and the tests each provide an adapter.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace quorrel {

class Port {
 public:
  virtual ~Port() = default;

  virtual void set_control_text(int id, std::string_view text) = 0;
  // At most `max_length` characters of the control's text.
  virtual std::string control_text(int id, std::size_t max_length) = 0;
  virtual bool is_checked(int id) = 0;
  // Modal, one OK button, no owner window.
  virtual void message_box(std::string_view text, std::string_view caption) = 0;

  // The packer: puts the finished content document, the open file `content_fd`, into the SXW
  // archive at `archive_path`, creating or updating it, and returns when done. False when the
  // archive could not be written; the caller reports that. Every adapter delegates to
  // sxw::pack (output/sxw_package.h); a test adapter may also record the call.
  virtual bool pack(const std::string& archive_path, int content_fd) = 0;

  // The main dialog's own operations and file selection.
  virtual void set_checked(int id, bool checked) = 0;
  // Checks `id` and clears every other button whose id lies from `first` to `last`.
  virtual void check_radio_button(int first, int last, int id) = 0;
  virtual void accept_dropped_files(bool accept) = 0;
  // Ends the modal dialog; `result` becomes the program's exit code.
  virtual void end_dialog(int result) = 0;
  // The platform's file-open dialog with multiple selection and one filter, shown as
  // `filter_label` and matching the wildcard `filter_pattern`. Returns the chosen files as
  // absolute paths in the dialog's order; nothing when the user cancelled or the dialog failed.
  virtual std::vector<std::string> choose_files(std::string_view title,
                                                std::string_view filter_label,
                                                std::string_view filter_pattern) = 0;
};

}  // namespace quorrel
