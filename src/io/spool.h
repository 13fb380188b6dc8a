// Bytes written in order and read back once: memory up to kMemoryLimit, then an unnamed
// temporary file in `folder`, which the file system removes with the last descriptor. For a
// part of an output held until the output can be put together (an archive's content), so that
// memory stays bounded whatever the document's size, a small part costs no file at all, and
// nothing is ever left behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "io/scratch_file.h"
#include "io/sink.h"

namespace quorrel {

class Spool final : public Sink {
 public:
  static constexpr std::size_t kMemoryLimit = 2 << 20;

  explicit Spool(std::string folder) : folder_(std::move(folder)) {}
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;
  ~Spool() override;

  bool write(const char* data, std::size_t size) override;
  bool ok() const { return ok_; }
  std::uint64_t size() const { return size_; }

  // Overwrites bytes already written, for a count only known later (table columns).
  bool patch(std::uint64_t offset, std::string_view bytes);
  // Copies up to `size` bytes from `offset` on into `data`; the count copied, -1 on failure.
  std::int64_t read(std::uint64_t offset, char* data, std::size_t size) const;

 private:
  bool spill();

  std::string folder_;
  std::string memory_;
  ScratchFile file_;
  int fd_ = -1;  // once spilled, all the bytes are in file_
  std::uint64_t size_ = 0;
  bool ok_ = true;
};

}  // namespace quorrel
