// Memory that runs out part way through a conversion fails that output only: it is reported,
// nothing partial is left, and the next conversion goes on. This executable replaces the
// global allocation functions so that any one large allocation can be made to fail.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <new>
#include <thread>

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

using testing::TempDir;

// Child exit statuses.
constexpr int kAsExpected = 0;
constexpr int kNotReached = 3;  // the conversion made fewer large allocations than that

TEST(OutOfMemory, EachLargeAllocationThatFailsFailsOnlyItsOutput) {
  // Large enough to be mapped and written in the background; plain text, so that the HTML
  // converter holds lines too.
  std::string big;
  for (int i = 0; i < 90000; ++i) big += std::string(99, static_cast<char>('a' + i % 26)) + "\n";
  struct Kind {
    OutputKind kind;
    const char* option;
  };
  for (Kind k : {Kind{OutputKind::text, "--txt"}, Kind{OutputKind::html, "--html"},
                 Kind{OutputKind::sxw, "--sxw"}}) {
    const ConverterSpec& converter = converter_for(k.kind, TYPE_UNKNOWN);
    // On a thread of its own, so that the buffers it keeps for reuse go with it: every child
    // below must allocate its own.
    std::string expected;
    std::thread([&] { expected = convert_memory(converter, big, "big.txt").output; }).join();
    TempDir dir;
    testing::write_file(dir.file("big.txt"), big);
    testing::write_file(dir.file("small.txt"), "small");
    auto convert = [&](const std::string& name) {
      return testing::run_cli_here({"-q", "-j", "1", k.option, dir.file(name)});
    };
    std::string output = output_path_for(converter, dir.file("big.txt"));
    bool reached = true;
    int failures_seen = 0;
    for (long n = 0; reached && n < 50; ++n) {
      testing::ChildResult child = testing::run_in_child([&] {
        large_allocations = 0;
        fail_at = n;
        counting = true;
        testing::CliRun run = convert("big.txt");
        counting = false;
        bool failed = run.status != 0;
        if (!failed && large_allocations.load() <= n) return kNotReached;
        if (failed) {
          // Reported once as what it is, with nothing left behind.
          if (run.err.find("Cannot allocate memory") == std::string::npos ||
              std::count(run.err.begin(), run.err.end(), '\n') != 1) {
            return 10;
          }
          if (testing::exists(output)) return 11;
        } else {
          // Survived by doing without (a second buffer, a thread): the output is whole.
          std::string written =
              k.kind == OutputKind::sxw ? testing::content_of(output) : testing::read_file(output);
          if (written != expected) return 12;
        }
        if (testing::list_folder(dir.path()).size() != (failed ? 2u : 3u)) return 13;
        // And the next conversion goes on.
        if (convert("small.txt").status != 0) return 14;
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
