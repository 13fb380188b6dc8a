// Where a converter's finished bytes go: a file or a string. Called once per buffer flush.
#pragma once

#include <cstddef>
#include <string>

namespace quorrel {

class Sink {
 public:
  virtual ~Sink() = default;
  // Writes all of [data, data+size); false when the bytes could not all be stored.
  virtual bool write(const char* data, std::size_t size) = 0;
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

// Writes to a descriptor it does not own; retries short writes and EINTR.
class FdSink final : public Sink {
 public:
  explicit FdSink(int fd) : fd_(fd) {}
  bool write(const char* data, std::size_t size) override;

 private:
  int fd_;
};

}  // namespace quorrel
