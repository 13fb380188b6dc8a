// Memory that runs out part way through a conversion fails that output only: it is reported,
// nothing partial is left, and the next conversion goes on. This executable replaces the
// global allocation functions so that any one large allocation can be made to fail.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "convert/registry.h"
#include "output/skeleton.h"
#include "test_support.h"

namespace {

// Buffers, not the small allocations of names and lists.
constexpr std::size_t kLarge = 64 * 1024;
std::atomic<bool> counting{false};
std::atomic<long> large_allocations{0};
std::atomic<long> fail_at{-1};

void* allocate(std::size_t size) {
  if (size >= kLarge && counting.load() && large_allocations.fetch_add(1) == fail_at.load()) {
    throw std::bad_alloc();
  }
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }

namespace quorrel {
namespace {

using testing::FakePort;
using testing::TempDir;

// Child exit statuses.
constexpr int kAsExpected = 0;
constexpr int kNotReached = 3;  // the conversion made fewer large allocations than that

TEST(OutOfMemory, EachLargeAllocationThatFailsFailsOnlyItsOutput) {
  // Large enough to be mapped and written in the background; plain text, so that the HTML
  // converter holds lines too.
  std::string big;
  for (int i = 0; i < 90000; ++i) big += std::string(99, static_cast<char>('a' + i % 26)) + "\n";
  for (OutputKind kind : {OutputKind::text, OutputKind::html, OutputKind::sxw}) {
    const ConverterSpec& converter = converter_for(kind, TYPE_UNKNOWN);
    std::string expected = convert_memory(converter, big, "big.txt").output;
    TempDir dir;
    testing::write_file(dir.file("big.txt"), big);
    testing::write_file(dir.file("small.txt"), "small");
    auto batch_of = [&](const std::string& name) {
      BatchState batch;
      batch.filepath = dir.path().string();
      batch.filename = name;
      batch.filepathname = dir.file(name);
      return batch;
    };
    std::string output = output_path_for(converter, dir.file("big.txt"));
    bool reached = true;
    int failures_seen = 0;
    for (long n = 0; reached && n < 50; ++n) {
      testing::ChildResult child = testing::run_in_child([&] {
        FakePort port;
        large_allocations = 0;
        fail_at = n;
        counting = true;
        run_converter(converter, batch_of("big.txt"), port);
        counting = false;
        bool failed = !port.messages.empty();
        if (!failed && large_allocations.load() <= n) return kNotReached;
        if (failed) {
          // Reported once as what it is, with nothing left behind.
          if (port.messages !=
              std::vector<FakePort::Message>{{"Not enough memory.", "File I/O Error!"}}) {
            return 10;
          }
          if (testing::exists(output)) return 11;
        } else {
          // Survived by doing without (a second buffer, a thread): the output is whole.
          std::string written =
              kind == OutputKind::sxw ? testing::content_of(output) : testing::read_file(output);
          if (written != expected) return 12;
        }
        if (testing::list_folder(dir.path()).size() != (failed ? 2u : 3u)) return 13;
        // And the next conversion goes on.
        port.messages.clear();
        run_converter(converter, batch_of("small.txt"), port);
        if (!port.messages.empty()) return 14;
        return failed ? 1 : kAsExpected;  // 1: failed as it should
      });
      ASSERT_EQ(child.signal, 0) << converter.name << ": killed with allocation " << n
                                 << " failing";
      ASSERT_TRUE(child.exit_status == kAsExpected || child.exit_status == 1 ||
                  child.exit_status == kNotReached)
          << converter.name << ", allocation " << n << " failing: check " << child.exit_status;
      reached = child.exit_status != kNotReached;
      failures_seen += child.exit_status == 1;
      std::filesystem::remove(output);
      std::filesystem::remove(output_path_for(converter, dir.file("small.txt")));
    }
    EXPECT_FALSE(reached) << converter.name << ": more large allocations than expected";
    EXPECT_GT(failures_seen, 0) << converter.name;
  }
}

}  // namespace
}  // namespace quorrel
