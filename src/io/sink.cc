#include "io/sink.h"

#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <utility>

namespace quorrel {

namespace {

bool write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t done = ::write(fd, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return true;
}

}  // namespace

// One buffer in flight: the writer thread stores it while the converter fills another, and
// the two trade at the converter's next flush.
class FdSink::Background {
 public:
  explicit Background(int fd) : fd_(fd), writer_([this] { write_each(); }) {}
  Background(const Background&) = delete;
  Background& operator=(const Background&) = delete;
  ~Background() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
  }

  bool submit(std::unique_ptr<char[]>& buffer, std::size_t size, std::size_t capacity) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !busy_; });
    if (failed_) {
      errno = error_;
      return false;
    }
    if (spare_ == nullptr || spare_capacity_ < capacity) {
      spare_ = std::make_unique_for_overwrite<char[]>(capacity);
      spare_capacity_ = capacity;
    }
    std::swap(buffer, spare_);  // the caller goes on with the spare
    spare_capacity_ = capacity;
    size_ = size;
    busy_ = true;
    changed_.notify_all();
    return true;
  }

  // Waits for the buffer in flight; false once any write failed, with errno as that write
  // left it, so that the caller can say why.
  bool wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !busy_; });
    if (failed_) errno = error_;
    return !failed_;
  }

 private:
  void write_each() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] { return stopping_ || busy_; });
      if (!busy_) return;  // stopping with nothing in flight
      lock.unlock();
      bool stored = write_all(fd_, spare_.get(), size_);
      int error = errno;
      lock.lock();
      if (!stored && !failed_) error_ = error;
      failed_ = failed_ || !stored;
      busy_ = false;
      changed_.notify_all();
    }
  }

  int fd_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::unique_ptr<char[]> spare_;  // the buffer in flight, or the next one to hand back
  std::size_t spare_capacity_ = 0;
  std::size_t size_ = 0;
  bool busy_ = false;
  bool failed_ = false;
  int error_ = 0;  // errno of the first failed write
  bool stopping_ = false;
  std::thread writer_;  // last: starts once everything it uses exists
};

FdSink::FdSink(int fd) : fd_(fd) {}
FdSink::~FdSink() = default;

bool FdSink::write(const char* data, std::size_t size) {
  // Bytes given directly go after everything given before.
  if (background_ != nullptr && !background_->wait()) return false;
  return write_all(fd_, data, size);
}

bool FdSink::take(std::unique_ptr<char[]>& buffer, std::size_t size, std::size_t capacity) {
  taken_ += size;
  if (background_ == nullptr && taken_ >= kBackgroundFrom && !thread_refused_) {
    try {
      background_ = std::make_unique<Background>(fd_);
    } catch (const std::system_error&) {
      thread_refused_ = true;  // no thread to be had: go on writing here
    } catch (const std::bad_alloc&) {
      thread_refused_ = true;
    }
  }
  if (background_ == nullptr) return write_all(fd_, buffer.get(), size);
  try {
    return background_->submit(buffer, size, capacity);
  } catch (const std::bad_alloc&) {
    // No memory for a second buffer: this one is stored here, after the one in flight.
    return background_->wait() && write_all(fd_, buffer.get(), size);
  }
}

bool FdSink::finish() { return background_ == nullptr || background_->wait(); }

}  // namespace quorrel
