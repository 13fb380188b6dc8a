// The output of one line, held back until the line ends so that a tag can still be written
// ahead of it. Memory stays bounded: past `memory_limit` bytes the held bytes move to an
// unnamed file and are read back, in order, when the line is written out.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "io/scratch_file.h"
#include "output/text_writer.h"

namespace quorrel {

class PendingLine {
 public:
  static constexpr std::size_t kDefaultMemoryLimit = 4 * 1024 * 1024;
  // Each buffer has this many bytes beyond its capacity, so that short copies can move
  // whole fixed-size blocks.
  static constexpr std::size_t kSlack = 64;

  // The unnamed file goes into `spill_folder`: the output's own folder, so that a line fits
  // wherever its output fits. Empty means the system's temporary folder (outputs in memory).
  explicit PendingLine(std::size_t memory_limit = kDefaultMemoryLimit,
                       std::string spill_folder = {});
  PendingLine(const PendingLine&) = delete;
  PendingLine& operator=(const PendingLine&) = delete;
  ~PendingLine();

  // The additions hold no line feed. Each is a copy into memory while there is room; the
  // rest (growing, spilling) is out of line.
  void put(char c) {
    if (size_ == capacity_) make_room(1);
    bytes_[size_++] = c;
  }
  void append(std::string_view bytes) {
    if (bytes.size() <= capacity_ - size_) {
      std::memcpy(bytes_.get() + size_, bytes.data(), bytes.size());
      size_ += bytes.size();
    } else {
      append_in_pieces(bytes);
    }
  }
  void repeat(char c, std::size_t count) {
    if (count <= kSlack && count <= capacity_ - size_) {
      // Tab blanks mostly: one fixed-size store into the slack, no branch on the count.
      std::memset(bytes_.get() + size_, c, kSlack);
      size_ += count;
    } else if (count <= capacity_ - size_) {
      std::memset(bytes_.get() + size_, c, count);
      size_ += count;
    } else {
      repeat_in_pieces(c, count);
    }
  }
  // A run of input bytes that `map` turns into as many bytes, as for TextWriter::write_mapped.
  template <class Map>
  void append_mapped(const std::uint8_t* begin, const std::uint8_t* end, Map map) {
    while (begin != end) {
      if (size_ == capacity_) make_room(1);
      std::size_t step = std::min(static_cast<std::size_t>(end - begin), capacity_ - size_);
      map(begin, begin + step, bytes_.get() + size_);
      size_ += step;
      begin += step;
    }
  }

  // Room for `size` bytes at the end of the line, for several additions in a row (and kSlack
  // beyond them for fixed-size copies: texts chosen from tables at random pieces of a
  // document); `commit` keeps what was written up to `end`. Null when the memory limit is
  // smaller than `size`.
  char* reserve(std::size_t size) {
    if (capacity_ - size_ < size) [[unlikely]] make_room(size);
    return capacity_ - size_ >= size ? bytes_.get() + size_ : nullptr;
  }
  void commit(const char* end) { size_ = static_cast<std::size_t>(end - bytes_.get()); }

  // Writes the whole line to `out` and starts an empty one. When the spill file could not be
  // written or read back the line is incomplete: `out` is then marked failed, so that the
  // output is reported and discarded rather than passed off as whole.
  void write_to(TextWriter& out) {
    if (spilled_ == 0 && !failed_ && size_ <= kShortLine) {
      // A short line in whole slack-sized steps, into room reserved once: no copy of a
      // varying size, whose set-up would guess wrong line after line.
      char* at = out.reserve(kShortLine + kSlack);
      for (std::size_t done = 0; done < size_; done += kSlack) {
        std::memcpy(at + done, bytes_.get() + done, kSlack);
      }
      out.commit(at + size_);
      size_ = 0;
    } else {
      write_long_to(out);
    }
  }

  // A line of at most kSlack bytes, held in memory whole, can go out by `put_short`.
  bool is_short() const { return spilled_ == 0 && !failed_ && size_ <= kSlack; }
  // Copies a short line to `at`, in room of kSlack bytes reserved in the writer, as one
  // fixed-size block, starts an empty line and returns the end of the bytes written.
  char* put_short(char* at) {
    std::memcpy(at, bytes_.get(), kSlack);
    at += size_;
    size_ = 0;
    return at;
  }

  std::size_t memory_held() const { return size_; }

 private:
  static constexpr std::size_t kShortLine = 4096;

  void write_long_to(TextWriter& out);
  // Makes room for at least `size` more bytes: a larger buffer up to the memory limit,
  // beyond it the held bytes go to the spill file (so a size above the limit stays short).
  void make_room(std::size_t size);
  void append_in_pieces(std::string_view bytes);
  void repeat_in_pieces(char c, std::size_t count);
  void spill();

  std::size_t memory_limit_;
  std::string spill_folder_;
  std::unique_ptr<char[]> bytes_;  // the latest bytes of the line
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;   // the room in use: at most the memory limit
  std::size_t allocated_ = 0;  // bytes_ holds this many bytes and kSlack more
  ScratchFile spill_file_;   // the earlier bytes, when the line outgrew memory
  std::size_t spilled_ = 0;  // bytes of the current line in the spill file
  bool failed_ = false;      // bytes were lost since the line began
};

}  // namespace quorrel
