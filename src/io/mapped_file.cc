#include "io/mapped_file.h"

#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>

namespace quorrel {

namespace {

// The guard's records. A signal handler can only find the mapping a fault belongs to through
// state it reaches without arguments, so this is the one process-wide table of the program;
// lock-free, as a handler may interrupt a thread that is adding or removing a record.
struct Slot {
  std::atomic<bool> taken{false};
  std::atomic<std::uintptr_t> begin{0};  // 0 while the record is not in force
  std::atomic<std::uintptr_t> end{0};
  std::atomic<bool> lost{false};
};
constexpr int kSlots = 16;
Slot slots[kSlots];
std::uintptr_t page_size = 4096;
struct sigaction previous_action;

void on_bus_error(int, siginfo_t* info, void*) {
  auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
  for (Slot& slot : slots) {
    std::uintptr_t begin = slot.begin.load(std::memory_order_acquire);
    std::uintptr_t end = slot.end.load(std::memory_order_acquire);
    if (begin == 0 || address < begin || address >= end) continue;
    // Zeros from the faulting page to the end of the mapping: the reader goes on to its end
    // without faulting again and finds the mapping lost there.
    std::uintptr_t page = address & ~(page_size - 1);
    void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) {
      slot.lost.store(true, std::memory_order_release);
      return;
    }
  }
  // Not a mapped input's fault: under the disposition that was in force before the guard, a
  // fault repeats on return, and a signal sent by a program is sent again.
  ::sigaction(SIGBUS, &previous_action, nullptr);
  if (info->si_code <= 0) ::raise(SIGBUS);
}

bool install_guard() {
  static const bool installed = [] {
    long size = ::sysconf(_SC_PAGESIZE);
    if (size > 0) page_size = static_cast<std::uintptr_t>(size);
    struct sigaction action = {};
    action.sa_sigaction = on_bus_error;
    action.sa_flags = SA_SIGINFO;
    sigemptyset(&action.sa_mask);
    return ::sigaction(SIGBUS, &action, &previous_action) == 0;
  }();
  return installed;
}

int take_slot() {
  for (int i = 0; i < kSlots; ++i) {
    bool free = false;
    if (slots[i].taken.compare_exchange_strong(free, true)) return i;
  }
  return -1;
}

}  // namespace

std::unique_ptr<MappedFile> MappedFile::map(int fd, std::size_t size) {
  if (size == 0 || !install_guard()) return nullptr;
  int slot = take_slot();
  if (slot < 0) return nullptr;
  void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
  if (data == MAP_FAILED) {
    slots[slot].taken.store(false);
    return nullptr;
  }
  // One pass from start to end: the kernel may read far ahead and drop what is behind.
  ::madvise(data, size, MADV_SEQUENTIAL);
  Slot& record = slots[slot];
  record.lost.store(false);
  record.end.store(reinterpret_cast<std::uintptr_t>(data) + size, std::memory_order_release);
  record.begin.store(reinterpret_cast<std::uintptr_t>(data), std::memory_order_release);
  return std::unique_ptr<MappedFile>(new MappedFile(static_cast<const char*>(data), size, slot));
}

MappedFile::~MappedFile() {
  Slot& record = slots[slot_];
  record.begin.store(0, std::memory_order_release);
  ::munmap(const_cast<char*>(data_), size_);
  record.end.store(0);
  record.taken.store(false);
}

void MappedFile::release_front(std::size_t size) {
  std::size_t whole_pages = size & ~(page_size - 1);
  if (whole_pages <= released_) return;
  ::madvise(const_cast<char*>(data_) + released_, whole_pages - released_, MADV_DONTNEED);
  released_ = whole_pages;
}

void MappedFile::release(std::size_t offset, std::size_t size) {
  if (offset >= size_) return;
  size = std::min(size, size_ - offset);
  std::size_t first = (offset + page_size - 1) & ~(page_size - 1);
  std::size_t end = (offset + size) & ~(page_size - 1);
  if (end > first) ::madvise(const_cast<char*>(data_) + first, end - first, MADV_DONTNEED);
}

bool MappedFile::lost() const { return slots[slot_].lost.load(std::memory_order_acquire); }

}  // namespace quorrel
