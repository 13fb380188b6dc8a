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

  // Appends `line` and CR LF to the display list `id`. When the text would reach `capacity`
  // characters, the oldest lines go first, never the one being added. This one reads the
  // whole text back and sets it again, which costs more the longer the list grows; a platform
  // whose list grows in place does the same at a constant cost.
  virtual void append_line(int id, std::string_view line, std::size_t capacity);

  // While a batch runs, now and then: the platform repaints and takes input (Quit, Escape).
  virtual void process_events() {}
  // While a batch runs: how far it has come, shown without moving any control; an empty text
  // hides it.
  virtual void show_progress(std::string_view /*text*/) {}

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
