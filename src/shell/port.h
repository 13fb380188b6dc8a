// The one interface between the shell's logic and the platform it runs on. The desktop
// dialog, the command line and the tests each provide an adapter.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

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
};

}  // namespace quorrel
