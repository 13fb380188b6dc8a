// Buffered byte input for the converters: one byte at a time as 0..255, or -1 at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "io/mapped_file.h"

namespace quorrel {

inline constexpr int kEndOfInput = -1;

// Reads from memory or from a file descriptor through a large buffer, so that the per-byte
// call is an inlined pointer bump. A read error ends the input like end of file, but is
// remembered so that the caller can report it instead of passing off a truncated result.
class ByteSource {
 public:
  // Reads the bytes of `data`, which must outlive the source. No copy is made.
  static ByteSource from_memory(std::string_view data);
  // The same bytes handed out as a file read `piece` bytes at a time would give them: each
  // refill copies the next piece into one buffer of that size, which the previous window
  // shared. For checks that readers handle refills anywhere without system calls.
  static ByteSource from_memory_in_pieces(std::string_view data, std::size_t piece);
  // Reads from an open descriptor, which the source does not close. The buffer size only
  // matters to tests that want many refills. With `expected_size` given (a regular file's
  // size when it was opened), an end of file before that many bytes is a read error: the
  // file was shortened while it was read.
  static constexpr std::size_t kDefaultBufferSize = 256 * 1024;
  static constexpr std::int64_t kUnknownSize = -1;
  static ByteSource from_fd(int fd, std::size_t buffer_size = kDefaultBufferSize,
                            std::int64_t expected_size = kUnknownSize);
  // The same, with a second thread reading the next buffer while the caller works through
  // the current one: on a large file, copying it out of the page cache takes a third as long
  // as converting it.
  static constexpr std::size_t kReadAheadBufferSize = 1024 * 1024;
  static ByteSource from_fd_read_ahead(int fd, std::size_t buffer_size = kReadAheadBufferSize,
                                       std::int64_t expected_size = kUnknownSize);
  // Reads a regular file of `size` bytes where the system maps it, without copying it; reads
  // it ahead as above where it cannot be mapped. A mapping lost to a file that shrank under
  // it ends the input with a read error, and so does a file found shorter at the end (the
  // tail of its last page reads as zeros, without a fault).
  static ByteSource from_mapped_file(int fd, std::size_t size);

  ByteSource(ByteSource&&) noexcept;
  ByteSource& operator=(ByteSource&&) noexcept;
  ~ByteSource();

  int get() { return pos_ != end_ ? *pos_++ : refill_and_get(); }
  // The byte the next `get` returns, without consuming it.
  int peek() { return pos_ != end_ || fill() ? *pos_ : kEndOfInput; }

  // Consumes the next byte only when it equals `byte` (never true at the end of the input).
  bool take_if(int byte) {
    if (peek() != byte) return false;
    ++pos_;
    return true;
  }

  // Discards up to n bytes; stops at the end of the input.
  void skip(std::size_t n);

  // The bytes already buffered and not yet consumed; bulk scanners read these directly and
  // then `advance` past what they used. An empty window means `fill` must be called.
  const std::uint8_t* window_begin() const { return pos_; }
  const std::uint8_t* window_end() const { return end_; }
  void advance_to(const std::uint8_t* p) { pos_ = p; }
  // Refills an exhausted window; false at the end of the input.
  bool fill();

  bool read_error() const { return read_error_; }

 private:
  class ReadAhead;

  ByteSource() = default;
  int refill_and_get();
  // Copies the next piece of memory into the buffer; its size, 0 at the end.
  std::size_t next_piece();
  // At the end of the input: a file now shorter than expected was cut while it was read.
  void check_length_at_end();

  const std::uint8_t* pos_ = nullptr;
  const std::uint8_t* end_ = nullptr;
  int fd_ = -1;
  std::int64_t expected_size_ = kUnknownSize;
  std::uint64_t delivered_ = 0;  // bytes read from the descriptor so far
  bool at_end_ = false;
  bool read_error_ = false;
  std::size_t buffer_size_ = 0;
  std::unique_ptr<std::uint8_t[]> buffer_;
  std::unique_ptr<ReadAhead> read_ahead_;
  // A mapped file is handed out in windows, so that a lost mapping is noticed on the way.
  std::unique_ptr<MappedFile> mapped_;
  const std::uint8_t* mapped_next_ = nullptr;  // where the next window starts
  // Memory read in pieces: what is left to copy into the buffer.
  bool in_pieces_ = false;
  const std::uint8_t* pieces_next_ = nullptr;
  const std::uint8_t* pieces_end_ = nullptr;
};

}  // namespace quorrel
