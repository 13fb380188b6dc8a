#include "io/byte_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>

namespace quorrel {

ByteSource ByteSource::from_memory(std::string_view data) {
  ByteSource source;
  source.pos_ = reinterpret_cast<const std::uint8_t*>(data.data());
  source.end_ = source.pos_ + data.size();
  source.at_end_ = true;  // nothing beyond the given bytes
  return source;
}

ByteSource ByteSource::from_memory_in_pieces(std::string_view data, std::size_t piece) {
  ByteSource source;
  source.buffer_size_ = piece;
  source.buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(piece);
  source.pos_ = source.end_ = source.buffer_.get();
  source.in_pieces_ = true;
  source.pieces_next_ = reinterpret_cast<const std::uint8_t*>(data.data());
  source.pieces_end_ = source.pieces_next_ + data.size();
  return source;
}

ByteSource ByteSource::from_fd(int fd, std::size_t buffer_size, std::int64_t expected_size) {
  ByteSource source;
  source.fd_ = fd;
  source.expected_size_ = expected_size;
  source.buffer_size_ = buffer_size;
  // Not zeroed: only what read() fills is ever looked at, and a short file touches few pages.
  source.buffer_ = std::make_unique_for_overwrite<std::uint8_t[]>(buffer_size);
  source.pos_ = source.end_ = source.buffer_.get();
  return source;
}

// Two buffers: the reader thread fills one while the caller reads the other, and they trade
// when the caller's is used up. The reader stops after the end of the file or a read error,
// which it passes on in the next buffer, or when the source is destroyed.
class ByteSource::ReadAhead {
 public:
  struct Piece {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;  // 0 at the end of the input
    bool error = false;
  };

  ReadAhead(int fd, std::size_t buffer_size) : fd_(fd), buffer_size_(buffer_size) {
    for (Buffer& buffer : buffers_) {
      buffer.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(buffer_size);
    }
    reader_ = std::thread([this] { read_all(); });
  }
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;
  ~ReadAhead() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    reader_.join();
  }

  // Gives back the buffer handed out last, which the caller has used up, and waits for the
  // next one.
  Piece next() {
    std::unique_lock lock(mutex_);
    if (handed_out_ >= 0) {
      buffers_[static_cast<std::size_t>(handed_out_)].full = false;
      changed_.notify_all();
    }
    std::size_t wanted = static_cast<std::size_t>(handed_out_ + 1) % buffers_.size();
    changed_.wait(lock, [&] { return buffers_[wanted].full; });
    handed_out_ = static_cast<int>(wanted);
    const Buffer& buffer = buffers_[wanted];
    return {buffer.bytes.get(), buffer.size, buffer.error};
  }

 private:
  struct Buffer {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::size_t size = 0;
    bool error = false;
    bool full = false;  // filled by the reader and not yet given back by the caller
  };

  void read_all() {
    for (std::size_t slot = 0;; slot = (slot + 1) % buffers_.size()) {
      Buffer& buffer = buffers_[slot];
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return stopping_ || !buffer.full; });
        if (stopping_) return;
      }
      ssize_t got;
      do {
        got = ::read(fd_, buffer.bytes.get(), buffer_size_);
      } while (got < 0 && errno == EINTR);
      {
        std::lock_guard lock(mutex_);
        buffer.size = got > 0 ? static_cast<std::size_t>(got) : 0;
        buffer.error = got < 0;
        buffer.full = true;
      }
      changed_.notify_all();
      if (got <= 0) return;
    }
  }

  int fd_;
  std::size_t buffer_size_;
  std::array<Buffer, 2> buffers_;
  int handed_out_ = -1;
  bool stopping_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread reader_;  // last: starts once everything it uses exists
};

ByteSource ByteSource::from_fd_read_ahead(int fd, std::size_t buffer_size,
                                          std::int64_t expected_size) {
  ByteSource source;
  source.fd_ = fd;
  source.expected_size_ = expected_size;
  try {
    source.read_ahead_ = std::make_unique<ReadAhead>(fd, buffer_size);
  } catch (const std::system_error&) {
    // No thread to be had: read on this one.
    return from_fd(fd, buffer_size, expected_size);
  } catch (const std::bad_alloc&) {
    return from_fd(fd, buffer_size, expected_size);
  }
  return source;
}

ByteSource ByteSource::from_mapped_file(int fd, std::size_t size) {
  std::unique_ptr<MappedFile> mapped = MappedFile::map(fd, size);
  if (mapped == nullptr) {
    return from_fd_read_ahead(fd, kReadAheadBufferSize, static_cast<std::int64_t>(size));
  }
  ByteSource source;
  source.fd_ = fd;
  source.expected_size_ = static_cast<std::int64_t>(size);
  source.pos_ = source.end_ = reinterpret_cast<const std::uint8_t*>(mapped->bytes().data());
  source.mapped_next_ = source.pos_;
  source.mapped_ = std::move(mapped);
  return source;
}

ByteSource::ByteSource(ByteSource&&) noexcept = default;
ByteSource& ByteSource::operator=(ByteSource&&) noexcept = default;
ByteSource::~ByteSource() = default;

bool ByteSource::fill() {
  if (pos_ != end_) return true;
  if (at_end_) return false;
  if (mapped_ != nullptr) {
    // Windows as large as the reader's buffers: a lost mapping is seen within a few
    // milliseconds of converting, and at the end at the latest.
    constexpr std::size_t kWindow = kReadAheadBufferSize;
    std::string_view bytes = mapped_->bytes();
    const auto* mapped_begin = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::uint8_t* mapped_end = mapped_begin + bytes.size();
    // What was read stays mapped no longer: the program's memory stays small however large
    // the file.
    mapped_->release_front(static_cast<std::size_t>(mapped_next_ - mapped_begin));
    if (mapped_->lost()) {
      read_error_ = true;
    } else if (mapped_next_ != mapped_end) {
      pos_ = mapped_next_;
      std::size_t left = static_cast<std::size_t>(mapped_end - pos_);
      end_ = pos_ + (left < kWindow ? left : kWindow);
      mapped_next_ = end_;
      return true;
    }
    at_end_ = true;
    if (!read_error_) check_length_at_end();
    return false;
  }
  if (read_ahead_ != nullptr) {
    ReadAhead::Piece piece = read_ahead_->next();
    if (piece.size > 0) {
      pos_ = piece.data;
      end_ = pos_ + piece.size;
      delivered_ += piece.size;
      return true;
    }
    read_error_ = piece.error;
    at_end_ = true;
    if (!read_error_) check_length_at_end();
    return false;
  }
  for (;;) {
    ssize_t got =
        in_pieces_ ? static_cast<ssize_t>(next_piece()) : ::read(fd_, buffer_.get(), buffer_size_);
    if (got > 0) {
      pos_ = buffer_.get();
      end_ = pos_ + got;
      delivered_ += static_cast<std::uint64_t>(got);
      return true;
    }
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) read_error_ = true;
    at_end_ = true;
    if (!read_error_) check_length_at_end();
    return false;
  }
}

void ByteSource::check_length_at_end() {
  if (expected_size_ == kUnknownSize) return;
  if (mapped_ != nullptr) {
    // The mapping covers the size the file had; its bytes were the file's only if the file
    // still reaches that far.
    struct stat info;
    read_error_ = ::fstat(fd_, &info) != 0 || info.st_size < expected_size_;
  } else {
    read_error_ = delivered_ < static_cast<std::uint64_t>(expected_size_);
  }
}

std::size_t ByteSource::next_piece() {
  std::size_t left = static_cast<std::size_t>(pieces_end_ - pieces_next_);
  std::size_t size = left < buffer_size_ ? left : buffer_size_;
  if (size == 0) return 0;  // the data of an empty view may be null
  std::memcpy(buffer_.get(), pieces_next_, size);
  pieces_next_ += size;
  return size;
}

int ByteSource::refill_and_get() { return fill() ? *pos_++ : kEndOfInput; }

void ByteSource::skip(std::size_t n) {
  while (n > 0 && fill()) {
    std::size_t available = static_cast<std::size_t>(end_ - pos_);
    std::size_t step = available < n ? available : n;
    pos_ += step;
    n -= step;
  }
}

}  // namespace quorrel
