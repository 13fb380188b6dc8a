// An output written under a temporary name in its final folder and renamed over the final
// name only when complete, so that a failure or a crash never leaves a partial file there and
// never destroys an earlier output of the same name.
#pragma once

#include <memory>
#include <string>

#include "io/sink.h"

namespace quorrel {

class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Removes the temporary file unless `commit` succeeded.
  ~OutputFile();

  // Creates the temporary file beside `final_path`. False when the folder is not writable or
  // the final name or path cannot exist on this file system (too long), or when the temporary
  // file's path (the folder and 23 characters) is too long. A file the output will replace
  // passes on its permissions; a new one gets those of the umask.
  bool create(const std::string& final_path);
  Sink& sink() { return *sink_; }
  // Stores everything written so far in the temporary file, which stays open and is still
  // removed unless committed: for a file that is only handed on (the archive's content).
  // False on any write failure; errno then says why.
  bool finish();
  // Closes and renames over the final name; false on any failure, which leaves the
  // final name untouched.
  bool commit();
  // Drops the partial output.
  void discard();

  const std::string& temporary_path() const { return temporary_path_; }
  // The temporary file's descriptor, for a writer that must seek (the archive packer). Such a
  // writer does not use sink() as well.
  int descriptor() const { return fd_; }

 private:
  int fd_ = -1;
  std::string final_path_;
  std::string temporary_path_;
  std::unique_ptr<FdSink> sink_;
};

// The folder part of a path: "." for a bare name.
std::string folder_of(const std::string& path);

// Whether an output can ever be stored at `final_path`: false, with errno set, when the name
// or the path is too long for the file system, the folder takes no new files, or a folder
// stands there. Checked before a conversion, so that it does not fail only at the end.
bool can_take_output(const std::string& final_path);

// Marks the temporary files of unfinished outputs, so that they are recognisable after a crash.
inline constexpr const char* kTemporaryPrefix = ".quorrel-partial-";

}  // namespace quorrel
