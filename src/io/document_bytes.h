// A whole input document as one span of bytes, for readers that follow offsets and lengths
// (group lengths, an index of packets) instead of reading one byte after another. A small file
// is read into memory; a large one is mapped, and the reader lets go of what lies behind it so
// that the program's memory does not grow with the file.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "io/mapped_file.h"

namespace quorrel {

class DocumentBytes {
 public:
  // Bytes already in memory, which must outlive this object.
  static DocumentBytes from_memory(std::string_view bytes) { return DocumentBytes(bytes); }

  // Opens a regular file (never a FIFO or device) and reads or maps it. On failure returns
  // false with errno's text in `reason`.
  bool open(const std::string& path, std::string& reason);
  // Maps `size` bytes of an open file that this process wrote itself (a document taken out of
  // its container); false when it cannot be mapped.
  bool map(int fd, std::size_t size);
  // The bytes [offset, offset + size) of this document as a document of their own, which must
  // not outlive this one: letting go of its bytes lets go of this one's.
  DocumentBytes slice(std::size_t offset, std::size_t size);

  DocumentBytes() = default;
  DocumentBytes(DocumentBytes&&) = default;
  DocumentBytes& operator=(DocumentBytes&&) = default;

  std::string_view bytes() const { return bytes_; }
  // The reader will not come back before `offset` soon: a mapped file lets go of those pages.
  // Reading them again is still correct, only slower.
  void done_before(std::size_t offset) {
    if (whole_ != nullptr) return whole_->done_before(offset_in_whole_ + offset);
    if (mapped_ && offset - released_ >= kReleaseStep) {
      mapped_->release_front(offset);
      released_ = offset;
    }
  }
  // The reader will not come back to these bytes soon (wherever they lie).
  void done_with(std::size_t offset, std::size_t size) {
    if (whole_ != nullptr) return whole_->done_with(offset_in_whole_ + offset, size);
    if (mapped_) mapped_->release(offset, size);
  }
  // True when the file could not be read whole: it shrank while mapped, or a read failed.
  bool lost() const {
    if (whole_ != nullptr) return whole_->lost();
    return lost_ || (mapped_ && mapped_->lost());
  }

 private:
  explicit DocumentBytes(std::string_view bytes) : bytes_(bytes) {}

  static constexpr std::size_t kMapFrom = 8 << 20;
  static constexpr std::size_t kReleaseStep = 1 << 20;

  std::string_view bytes_;
  std::unique_ptr<char[]> owned_;
  std::unique_ptr<MappedFile> mapped_;
  std::size_t released_ = 0;
  bool lost_ = false;
  DocumentBytes* whole_ = nullptr;  // of a slice
  std::size_t offset_in_whole_ = 0;
};

}  // namespace quorrel
