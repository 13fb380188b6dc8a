// How a file list reaches the batch: the File... command's file-open dialog, or files dropped
// on the dialog. Both replace any earlier list; a selection that cannot be listed is refused
// with a message and changes nothing.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "shell/batch_state.h"
#include "shell/port.h"

namespace quorrel {

inline constexpr std::string_view kFileDialogTitle = "From file";
inline constexpr std::string_view kAllFilesLabel = "All Files (*.*)";
inline constexpr std::string_view kAllFilesPattern = "*";  // every name, with a dot or without

// A list as the batch holds it. `problem` is empty when the list can be loaded; otherwise it
// is the message that refuses it.
struct FileList {
  std::string filepath;
  std::string filelist;
  std::string_view problem;
};

// From the file-open dialog's absolute paths, in the dialog's order. A single file keeps its
// folder's trailing separator, as the dialog reports it.
FileList list_from_chosen_files(const std::vector<std::string>& paths);

// From a drop's absolute paths in item order. The list runs from the last item to the first,
// so that conversion, which takes names from the end, follows the drop's order. Folders are
// listed like files.
FileList list_from_dropped_files(const std::vector<std::string>& items);

// The File... command. A cancelled or failed dialog changes nothing.
void DlgFileSelected(BatchState& batch, Port& port);

// Files dropped on the dialog.
void DlgFilesDropped(BatchState& batch, Port& port, const std::vector<std::string>& items);

}  // namespace quorrel
