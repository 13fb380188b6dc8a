// Where a converter's finished bytes go: a file or a string. Called once per buffer flush.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace quorrel {

class Sink {
 public:
  virtual ~Sink() = default;
  // Writes all of [data, data+size); false when the bytes could not all be stored.
  virtual bool write(const char* data, std::size_t size) = 0;
  // Takes the first `size` bytes of `buffer`, which holds `capacity`. A sink that stores in
  // the background keeps the buffer itself and puts an empty one of the same capacity in its
  // place, which saves copying the bytes; a failure may then only show at a later call.
  virtual bool take(std::unique_ptr<char[]>& buffer, std::size_t size, std::size_t /*capacity*/) {
    return write(buffer.get(), size);
  }
  // Waits until everything given is stored; false when anything could not be.
  virtual bool finish() { return true; }
};

class StringSink final : public Sink {
 public:
  explicit StringSink(std::string& target) : target_(target) {}
  bool write(const char* data, std::size_t size) override {
    target_.append(data, size);
    return true;
  }

 private:
  std::string& target_;
};

// Writes to a descriptor it does not own; retries short writes and EINTR. Once an output has
// grown large, buffers are written on a second thread while the converter fills the next:
// storing a large file in the page cache takes half as long as converting it.
class FdSink final : public Sink {
 public:
  explicit FdSink(int fd);
  ~FdSink() override;
  bool write(const char* data, std::size_t size) override;
  bool take(std::unique_ptr<char[]>& buffer, std::size_t size, std::size_t capacity) override;
  bool finish() override;

  // Outputs are written on the calling thread up to this size: below it a thread costs more
  // than it saves.
  static constexpr std::uint64_t kBackgroundFrom = 8 << 20;

 private:
  class Background;

  int fd_;
  std::uint64_t taken_ = 0;
  std::unique_ptr<Background> background_;
  bool thread_refused_ = false;
};

}  // namespace quorrel
