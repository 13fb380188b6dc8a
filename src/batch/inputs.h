// From the names a user gives (files, folders, standard input) to the files of a batch and
// where their outputs go.
#pragma once

#include <string>
#include <vector>

#include "batch/engine.h"

namespace quorrel::batch {

struct InputOptions {
  // Outputs go here when not empty: a file named directly under its own name, a file found in
  // a folder under the folder's name and its path inside it. Empty: beside each input.
  std::string output_folder;
  bool recursive = false;     // folders are walked; otherwise a folder is refused
  bool hidden = false;        // names starting with a dot are taken too
  bool follow_links = false;  // links to folders are walked too
};

// A name that gives no file to convert, and why.
struct InputProblem {
  std::string name;
  std::string message;
  int error = 0;  // errno when the system said
};

struct Inputs {
  std::vector<FileJob> jobs;
  std::vector<InputProblem> problems;
};

inline constexpr std::string_view kFolderNeedsRecursive = "is a folder (use -r to convert its files)";
inline constexpr std::string_view kCannotReadFolder = "cannot read the folder";

// Adds the files `name` stands for, in order: the name itself, or a folder's files walked in
// byte order of their names. A name that does not exist is still added: its conversion says so.
// kStandardStream stands for standard input, whose one output goes to standard output.
void add_input(const std::string& name, const InputOptions& options, Inputs& inputs);

// Creates every folder the outputs go into that does not exist yet; one problem per folder
// that cannot be made.
std::vector<InputProblem> create_output_folders(const std::vector<FileJob>& jobs);

// The part of a path after its last separator.
std::string base_name(const std::string& path);

}  // namespace quorrel::batch
