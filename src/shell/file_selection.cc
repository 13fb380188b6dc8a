#include "shell/file_selection.h"

#include "shell/controls.h"
#include "shell/messages.h"

namespace quorrel {

namespace {

struct PathParts {
  std::string_view folder;  // without its final separator; empty for the root
  std::string_view name;
};

PathParts split_path(std::string_view path) {
  // A folder may arrive as "dir/"; its name is still "dir".
  while (path.size() > 1 && path.back() == kPathSeparator) path.remove_suffix(1);
  std::size_t separator = path.rfind(kPathSeparator);
  if (separator == std::string_view::npos) return {{}, path};
  return {path.substr(0, separator), path.substr(separator + 1)};
}

FileList refused(std::string_view problem) {
  FileList list;
  list.problem = problem;
  return list;
}

// The list holds one folder and names split at CR LF, so it refuses paths of several folders
// and names holding a carriage return rather than convert the wrong files. It has no size
// limit: every name is kept however long the list grows.
FileList build_list(const std::vector<std::string>& paths, bool last_first) {
  FileList list;
  if (paths.empty()) return list;
  std::string_view folder = split_path(paths.front()).folder;
  for (std::size_t i = 0; i < paths.size(); ++i) {
    PathParts parts = split_path(paths[last_first ? paths.size() - 1 - i : i]);
    if (parts.folder != folder) return refused(kFilesInSeveralFolders);
    if (parts.name.find('\r') != std::string_view::npos) return refused(kCarriageReturnInName);
    list.filelist.append(parts.name).append("\r\n");
  }
  list.filepath = folder;
  return list;
}

void load_list(BatchState& batch, Port& port, FileList list) {
  if (!list.problem.empty()) {
    port.message_box(list.problem, kFileIoErrorCaption);
    return;
  }
  batch.filepath = std::move(list.filepath);
  batch.filelist = std::move(list.filelist);
  port.set_control_text(ID_FROM_TXT, batch.filelist);
  batch.fileflag = 1;
}

}  // namespace

FileList list_from_chosen_files(const std::vector<std::string>& paths) {
  FileList list = build_list(paths, false);
  if (paths.size() == 1 && list.problem.empty()) list.filepath += kPathSeparator;
  return list;
}

FileList list_from_dropped_files(const std::vector<std::string>& items) {
  return build_list(items, true);
}

void DlgFileSelected(BatchState& batch, Port& port) {
  std::vector<std::string> chosen =
      port.choose_files(kFileDialogTitle, kAllFilesLabel, kAllFilesPattern);
  // A cancelled or failed dialog leaves the earlier list loaded and shown.
  if (chosen.empty()) return;
  load_list(batch, port, list_from_chosen_files(chosen));
}

void DlgFilesDropped(BatchState& batch, Port& port, const std::vector<std::string>& items) {
  if (items.empty()) return;
  load_list(batch, port, list_from_dropped_files(items));
}

}  // namespace quorrel
