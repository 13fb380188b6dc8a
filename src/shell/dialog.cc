#include "shell/dialog.h"

#include "shell/controls.h"
#include "shell/driver.h"
#include "shell/file_selection.h"

namespace quorrel {

void InitializeApp(Port& port) {
  port.accept_dropped_files(true);
  port.check_radio_button(ID_AUTO_RAD, ID_WPD_RAD, ID_AUTO_RAD);
  port.set_checked(ID_XML_CHECK, true);
}

void DlgCancelSelected(Port& port) { port.end_dialog(0); }

namespace {

void route_command(BatchState& batch, Port& port, int id) {
  switch (id) {
    case ID_CONVERT:
      DlgConvertSelected(batch, port);
      break;
    case ID_CANCEL:
      DlgCancelSelected(port);
      break;
    case ID_FILE_BUT:
      DlgFileSelected(batch, port);
      break;
    default:  // check boxes and radio buttons keep their own state
      break;
  }
}

}  // namespace

namespace {

// While a batch runs, Quit and Escape stop it after the files being converted; the close box
// also ends the dialog then. Everything else waits for the batch to end.
void route_during_batch(BatchState& batch, const DialogMessage& message) {
  if (const Command* command = std::get_if<Command>(&message)) {
    if (command->id == ID_CANCEL) batch.stop_requested = true;
  } else if (std::holds_alternative<CloseRequest>(message)) {
    batch.stop_requested = true;
    batch.close_requested = true;
  }
}

}  // namespace

void DialogFunc(BatchState& batch, Port& port, const DialogMessage& message) {
  if (batch.running) {
    route_during_batch(batch, message);
    return;
  }
  if (std::holds_alternative<InitDialog>(message)) {
    InitializeApp(port);
  } else if (const Command* command = std::get_if<Command>(&message)) {
    route_command(batch, port, command->id);
  } else if (std::holds_alternative<CloseRequest>(message)) {
    port.end_dialog(0);
  } else if (const FilesDropped* drop = std::get_if<FilesDropped>(&message)) {
    DlgFilesDropped(batch, port, drop->items);
  }
}

}  // namespace quorrel
