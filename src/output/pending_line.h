// The output of one line, held back until the line ends so that a tag can still be written
// ahead of it. Memory stays bounded: past `memory_limit` bytes the held bytes move to an
// unnamed temporary file and are read back, in order, when the line is written out.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "output/text_writer.h"

namespace quorrel {

class PendingLine {
 public:
  static constexpr std::size_t kDefaultMemoryLimit = 4 * 1024 * 1024;

  // `spill_folder` empty means the system's temporary folder.
  explicit PendingLine(std::size_t memory_limit = kDefaultMemoryLimit,
                       std::string spill_folder = {});
  PendingLine(const PendingLine&) = delete;
  PendingLine& operator=(const PendingLine&) = delete;
  ~PendingLine();

  // Bytes that hold no line feed.
  void put(char c) {
    if (held_.size() == memory_limit_) spill();
    held_.push_back(c);
  }
  void append(std::string_view bytes);
  void repeat(char c, std::size_t count);

  // Writes the whole line to `out` and starts an empty one. When the spill file could not be
  // written or read back the line is incomplete: `out` is then marked failed, so that the
  // output is reported and discarded rather than passed off as whole.
  void write_to(TextWriter& out);

  std::size_t memory_held() const { return held_.size(); }

 private:
  void spill();
  bool open_spill_file();

  std::size_t memory_limit_;
  std::string spill_folder_;
  std::string held_;         // the latest bytes of the line
  int spill_fd_ = -1;        // the earlier bytes, when the line outgrew memory
  std::size_t spilled_ = 0;  // bytes of the current line in the spill file
  bool failed_ = false;      // bytes were lost since the line began
};

}  // namespace quorrel
