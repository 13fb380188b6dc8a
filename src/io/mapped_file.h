// A whole input file mapped into memory, read where it lies instead of copied out of the page
// cache. A mapped file that shrinks under its reader (another program truncates it) or
// cannot be paged in makes the reading instruction fault with SIGBUS; a guard turns that into
// zeros from that page on and a mark that the mapping was lost, so that the conversion ends
// as a read error instead of the process dying.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace quorrel {

class MappedFile {
 public:
  // Maps `size` bytes of the open descriptor; null when the file cannot be mapped or the guard
  // has no room left, and the caller reads it instead.
  static std::unique_ptr<MappedFile> map(int fd, std::size_t size);

  MappedFile(const MappedFile&) = delete;
  MappedFile& operator=(const MappedFile&) = delete;
  ~MappedFile();

  std::string_view bytes() const { return {data_, size_}; }
  // True once a read of the mapping faulted; what was read since is not the file's.
  bool lost() const;
  // Lets go of the pages of bytes().substr(0, size), which will not be read again: they stay
  // in the page cache but no longer count as the program's memory.
  void release_front(std::size_t size);
  // The same for the whole pages within bytes().substr(offset, size).
  void release(std::size_t offset, std::size_t size);

 private:
  MappedFile(const char* data, std::size_t size, int slot) : data_(data), size_(size), slot_(slot) {}

  const char* data_;
  std::size_t size_;
  int slot_;                  // the guard's record of this mapping
  std::size_t released_ = 0;  // bytes at the front already let go of
};

}  // namespace quorrel
