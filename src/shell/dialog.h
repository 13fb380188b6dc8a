// The main dialog's messages to the shell and the shell's handlers for them. A front end
// draws the dialog and relays what the user does; every decision is made here.
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "shell/batch_state.h"
#include "shell/port.h"

namespace quorrel {

struct InitDialog {};  // the controls exist; the dialog is not shown yet
struct Command {
  int id;  // the control that was pressed (Enter presses 1, Escape presses 2)
};
struct CloseRequest {};  // the window's close box
struct FilesDropped {
  std::vector<std::string> items;  // absolute paths in the drop's item order
};

using DialogMessage = std::variant<InitDialog, Command, CloseRequest, FilesDropped>;

// The defaults of every start: Auto Detect, SXW output only; the dialog accepts drops.
void InitializeApp(Port& port);

// The Quit command.
void DlgCancelSelected(Port& port);

void DialogFunc(BatchState& batch, Port& port, const DialogMessage& message);

}  // namespace quorrel
