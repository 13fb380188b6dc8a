#include "output/pending_line.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "io/buffer_pool.h"

namespace quorrel {

namespace {

// Short lines are the rule: a line starts with this much room and doubles as it needs.
constexpr std::size_t kFirstCapacity = 4096;

}  // namespace

// The buffer the thread's last long line grew is taken over: fresh memory would be fresh pages
// to fault in, conversion after conversion (under AddressSanitizer, as in the fuzz targets, a
// mapping of its own for every large buffer).
PendingLine::PendingLine(std::size_t memory_limit, std::string spill_folder)
    : memory_limit_(std::max<std::size_t>(memory_limit, 1)),
      spill_folder_(std::move(spill_folder)) {
  GrownBuffer kept = take_grown_buffer();
  if (kept.bytes != nullptr) {
    bytes_ = std::move(kept.bytes);
    allocated_ = kept.size - kSlack;
  } else {
    bytes_ = std::make_unique_for_overwrite<char[]>(kFirstCapacity + kSlack);
    allocated_ = kFirstCapacity;
  }
  capacity_ = std::min(allocated_, memory_limit_);
}

PendingLine::~PendingLine() { keep_grown_buffer({std::move(bytes_), allocated_ + kSlack}); }

void PendingLine::make_room(std::size_t size) {
  if (capacity_ - size_ < size && capacity_ < memory_limit_) {
    std::size_t grown = capacity_;
    while (grown - size_ < size && grown < memory_limit_) {
      grown = std::min(grown * 2, memory_limit_);
    }
    if (grown > allocated_) {
      auto larger = std::make_unique_for_overwrite<char[]>(grown + kSlack);
      std::memcpy(larger.get(), bytes_.get(), size_);
      bytes_ = std::move(larger);
      allocated_ = grown;
    }
    capacity_ = grown;
  }
  if (capacity_ - size_ < size) spill();
}

void PendingLine::append_in_pieces(std::string_view bytes) {
  while (!bytes.empty()) {
    if (size_ == capacity_) make_room(1);
    std::size_t step = std::min(bytes.size(), capacity_ - size_);
    std::memcpy(bytes_.get() + size_, bytes.data(), step);
    size_ += step;
    bytes.remove_prefix(step);
  }
}

void PendingLine::repeat_in_pieces(char c, std::size_t count) {
  while (count > 0) {
    if (size_ == capacity_) make_room(1);
    std::size_t step = std::min(count, capacity_ - size_);
    std::memset(bytes_.get() + size_, c, step);
    size_ += step;
    count -= step;
  }
}

void PendingLine::spill() {
  if (!failed_ &&
      spill_file_.create(spill_folder_.empty() ? system_temporary_folder() : spill_folder_) &&
      write_at(spill_file_.descriptor(), std::string_view(bytes_.get(), size_), spilled_)) {
    spilled_ += size_;
  } else {
    failed_ = true;  // the bytes are dropped; write_to reports the loss
  }
  size_ = 0;
}

void PendingLine::write_long_to(TextWriter& out) {
  if (spilled_ > 0) {
    constexpr std::size_t kChunk = 64 * 1024;
    auto chunk = std::make_unique_for_overwrite<char[]>(kChunk);
    for (std::size_t offset = 0; offset < spilled_ && !failed_;) {
      ssize_t got = ::pread(spill_file_.descriptor(), chunk.get(),
                            std::min(kChunk, spilled_ - offset), static_cast<off_t>(offset));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) {
        failed_ = true;
        break;
      }
      out.write_raw(chunk.get(), static_cast<std::size_t>(got));
      offset += static_cast<std::size_t>(got);
    }
    // Give the disk space back; the file is reused by the next long line.
    if (::ftruncate(spill_file_.descriptor(), 0) != 0) failed_ = true;
    spilled_ = 0;
  }
  out.write_raw(bytes_.get(), size_);
  size_ = 0;
  if (failed_) out.mark_failed();
  failed_ = false;
}

}  // namespace quorrel
