#include "batch/inputs.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <set>
#include <utility>

namespace quorrel::batch {

namespace {

constexpr char kSeparator = '/';

std::string joined(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == kSeparator) return folder + name;
  return folder + kSeparator + name;
}

// The name a folder given on the command line keeps under the output folder: its last
// component, nothing for ".", ".." or the root.
std::string folder_label(std::string path) {
  while (path.size() > 1 && path.back() == kSeparator) path.pop_back();
  std::string label = base_name(path);
  if (label == "." || label == ".." || label == "/") return {};
  return label;
}

struct Walk {
  const InputOptions& options;
  Inputs& inputs;
  std::set<std::pair<dev_t, ino_t>> visited;  // folders on the way, so that links cannot loop

  void add_file(const std::string& path, const std::string& relative) {
    FileJob job;
    job.input = path;
    job.title = base_name(path);
    job.output_stem =
        options.output_folder.empty() ? path : joined(options.output_folder, relative);
    inputs.jobs.push_back(std::move(job));
  }

  void folder(const std::string& path, const std::string& relative, const struct stat& info) {
    if (!visited.insert({info.st_dev, info.st_ino}).second) return;
    DIR* listing = ::opendir(path.c_str());
    if (listing == nullptr) {
      inputs.problems.push_back({path, std::string(kCannotReadFolder), errno});
      return;
    }
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(listing)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (name[0] == '.' && !options.hidden) continue;
      names.push_back(std::move(name));
    }
    if (errno != 0) inputs.problems.push_back({path, std::string(kCannotReadFolder), errno});
    ::closedir(listing);
    std::sort(names.begin(), names.end());
    for (const std::string& name : names) {
      std::string child = joined(path, name);
      std::string child_relative = joined(relative, name);
      struct stat link;
      if (::lstat(child.c_str(), &link) != 0) continue;  // gone since it was listed
      struct stat target = link;
      if (S_ISLNK(link.st_mode) && ::stat(child.c_str(), &target) != 0) continue;  // dangling
      if (S_ISDIR(target.st_mode)) {
        if (S_ISLNK(link.st_mode) && !options.follow_links) continue;
        folder(child, child_relative, target);
      } else if (S_ISREG(target.st_mode)) {
        add_file(child, child_relative);
      }
      // FIFOs, devices and sockets found in a folder are passed over.
    }
    visited.erase({info.st_dev, info.st_ino});
  }
};

}  // namespace

std::string base_name(const std::string& path) {
  std::size_t slash = path.rfind(kSeparator);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void add_input(const std::string& name, const InputOptions& options, Inputs& inputs) {
  if (name == kStandardStream) {
    inputs.jobs.push_back({std::string(kStandardStream), std::string(kStandardStream), "stdin"});
    return;
  }
  Walk walk{options, inputs, {}};
  struct stat info;
  if (::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
    if (!options.recursive) {
      inputs.problems.push_back({name, std::string(kFolderNeedsRecursive), 0});
      return;
    }
    walk.folder(name, folder_label(name), info);
    return;
  }
  walk.add_file(name, base_name(name));
}

std::vector<InputProblem> create_output_folders(const std::vector<FileJob>& jobs) {
  std::vector<InputProblem> problems;
  std::set<std::string> made;
  for (const FileJob& job : jobs) {
    std::size_t slash = job.output_stem.rfind(kSeparator);
    if (slash == std::string::npos || slash == 0 || job.output_stem == kStandardStream) continue;
    std::string folder = job.output_stem.substr(0, slash);
    if (made.count(folder)) continue;
    // Each missing ancestor in turn, from the top.
    for (std::size_t at = 1; at <= folder.size(); ++at) {
      if (at != folder.size() && folder[at] != kSeparator) continue;
      std::string step = folder.substr(0, at);
      if (made.count(step)) continue;
      if (::mkdir(step.c_str(), 0777) != 0 && errno != EEXIST) {
        problems.push_back({step, "cannot create the output folder", errno});
        break;
      }
      made.insert(step);
    }
    made.insert(folder);
  }
  return problems;
}

}  // namespace quorrel::batch
