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

void DialogFunc(BatchState& batch, Port& port, const DialogMessage& message) {
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
