// WordPerfect character tables: the generated code-point cells become one UTF-8 pool and a flat
// slot array while compiling, so a lookup at run time is a bounds check and two reads.
#include "document/charsets.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <span>

namespace quorrel::charsets {
namespace {

// One character: up to three code points, unused places 0; all 0 when unknown.
using Cell = std::array<char32_t, 3>;

#include "document/charset_tables.inc"

constexpr std::size_t kSets = 15;
constexpr std::size_t kSetSize = 256;
constexpr std::size_t kLowSize = 0x21;

// Every table laid end to end at full width: a character's slot is one multiply-add away.
constexpr std::size_t kWp5Base = 0;
constexpr std::size_t kWp6Base = kWp5Base + kSets * kSetSize;
constexpr std::size_t kLowBase = kWp6Base + kSets * kSetSize;
constexpr std::size_t kCp437Base = kLowBase + kLowSize;
constexpr std::size_t kCp1252Base = kCp437Base + kSetSize;
constexpr std::size_t kSlotCount = kCp1252Base + kSetSize;

static_assert(std::size(kWp5Sets) == kSets && std::size(kWp6Sets) == kSets);
static_assert(std::size(kWp6Low) <= kLowSize && std::size(kCp437) <= kSetSize &&
              std::size(kCp1252) <= kSetSize);

// Calls visit(slot, cell) for every cell the tables hold.
template <typename Visit>
constexpr void for_each_cell(Visit visit) {
  auto table = [&](std::size_t base, std::span<const Cell> cells) {
    for (std::size_t i = 0; i < cells.size(); ++i) visit(base + i, cells[i]);
  };
  for (std::size_t set = 0; set < kSets; ++set) {
    table(kWp5Base + set * kSetSize, kWp5Sets[set]);
    table(kWp6Base + set * kSetSize, kWp6Sets[set]);
  }
  table(kLowBase, kWp6Low);
  table(kCp437Base, kCp437);
  table(kCp1252Base, kCp1252);
}

constexpr std::size_t utf8_length(char32_t c) {
  return c == 0 ? 0 : c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
}

constexpr std::size_t pool_size() {
  std::size_t size = 0;
  for_each_cell([&](std::size_t, const Cell& cell) {
    for (char32_t c : cell) size += utf8_length(c);
  });
  return size;
}

// A slot holds its text's offset in the pool above the low 8 bits and its byte length in them.
struct Tables {
  std::array<char, pool_size()> pool{};
  std::array<std::uint32_t, kSlotCount> slots{};
};

constexpr Tables build() {
  Tables t;
  std::size_t end = 0;
  for_each_cell([&](std::size_t slot, const Cell& cell) {
    const std::size_t start = end;
    for (char32_t c : cell) {
      // A bad cell stops the build here instead of reaching a reader.
      if ((c >= 0xD800 && c < 0xE000) || c > 0x10FFFF) throw "not a Unicode scalar value";
      if ((c != 0 && c < 0x20) || (c >= 0x7F && c < 0xA0)) throw "control character";
      const std::size_t length = utf8_length(c);
      if (length == 1) {
        t.pool[end++] = static_cast<char>(c);
      } else if (length > 1) {
        constexpr unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
        t.pool[end++] = static_cast<char>(kLead[length] | (c >> (6 * (length - 1))));
        for (std::size_t k = length - 1; k > 0; --k)
          t.pool[end++] = static_cast<char>(0x80 | ((c >> (6 * (k - 1))) & 0x3F));
      }
    }
    t.slots[slot] = static_cast<std::uint32_t>(start << 8 | (end - start));
  });
  return t;
}

constexpr Tables kTables = build();
static_assert(kTables.pool.size() < (std::size_t{1} << 24), "offsets must fit above 8 bits");

constexpr bool within(int value, std::size_t size) {
  return value >= 0 && static_cast<std::size_t>(value) < size;
}

std::string_view at(std::size_t slot) {
  const std::uint32_t packed = kTables.slots[slot];
  return {kTables.pool.data() + (packed >> 8), packed & 0xFF};
}

}  // namespace

std::string_view wp5(int set, int index) {
  if (!within(set, kSets) || !within(index, kSetSize)) return {};
  return at(kWp5Base + static_cast<std::size_t>(set) * kSetSize + static_cast<std::size_t>(index));
}

std::string_view wp6(int set, int index) {
  if (!within(set, kSets) || !within(index, kSetSize)) return {};
  return at(kWp6Base + static_cast<std::size_t>(set) * kSetSize + static_cast<std::size_t>(index));
}

std::string_view wp6_low(int byte) {
  return within(byte, kLowSize) ? at(kLowBase + static_cast<std::size_t>(byte))
                                : std::string_view{};
}

std::string_view cp437(int byte) {
  return within(byte, kSetSize) ? at(kCp437Base + static_cast<std::size_t>(byte))
                                : std::string_view{};
}

std::string_view cp1252(int byte) {
  return within(byte, kSetSize) ? at(kCp1252Base + static_cast<std::size_t>(byte))
                                : std::string_view{};
}

}  // namespace quorrel::charsets
