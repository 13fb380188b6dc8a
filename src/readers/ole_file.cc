#include "readers/ole_file.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace quorrel::readers {
namespace {

constexpr std::string_view kMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kMaxRegular = 0xFFFFFFFA;  // larger values are markers, not sectors
constexpr std::size_t kHeaderSize = 512;
constexpr std::size_t kDirEntrySize = 128;

std::uint32_t u32(std::string_view s, std::size_t at) {
  if (at + 4 > s.size()) return kEndOfChain;
  auto b = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(s[at + i])); };
  return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}
std::uint16_t u16(std::string_view s, std::size_t at) {
  if (at + 2 > s.size()) return 0;
  return std::uint16_t(static_cast<unsigned char>(s[at]) |
                       static_cast<unsigned char>(s[at + 1]) << 8);
}

using Visit = std::function<void(std::string_view)>;

class Compound {
 public:
  explicit Compound(std::string_view file) : file_(file) {}

  bool open() {
    if (file_.size() < kHeaderSize || file_.substr(0, 8) != kMagic) return false;
    unsigned shift = u16(file_, 0x1E), mini_shift = u16(file_, 0x20);
    if (shift != 9 && shift != 12) return false;
    if (mini_shift == 0 || mini_shift >= shift) return false;
    sector_size_ = std::size_t(1) << shift;
    mini_size_ = std::size_t(1) << mini_shift;
    // Sectors after the header, the last one possibly cut short.
    sectors_ = file_.size() > sector_size_
                   ? (file_.size() - sector_size_ + sector_size_ - 1) / sector_size_
                   : 0;
    mini_cutoff_ = u32(file_, 0x38);
    return load_fat_sectors();
  }

  // Calls `visit` with the bytes of a chain of regular sectors, at most `limit` of them,
  // joining sectors that follow one another in the file. False when the chain breaks off.
  bool chain(std::uint32_t start, std::size_t limit, const Visit& visit) {
    std::vector<bool> seen(sectors_, false);
    std::uint32_t sector = start;
    std::string_view pending;
    std::size_t taken = 0;
    bool whole = true;
    while (sector != kEndOfChain && taken < limit) {
      // Off the table, or a loop.
      if (sector >= sectors_ || seen[sector]) {
        whole = false;
        break;
      }
      seen[sector] = true;
      std::string_view data = sector_bytes(sector);
      if (data.empty()) {
        whole = false;
        break;
      }
      data = data.substr(0, std::min(data.size(), limit - taken));
      taken += data.size();
      if (pending.data() + pending.size() == data.data()) {
        pending = std::string_view(pending.data(), pending.size() + data.size());
      } else {
        if (!pending.empty()) visit(pending);
        pending = data;
      }
      sector = next(sector);
    }
    if (!pending.empty()) visit(pending);
    return whole && (taken >= limit || sector == kEndOfChain);
  }

  OleStatus find(std::string_view name, const Visit& visit) {
    // The directory is read in place, entry by entry; a sector holds whole entries. It holds
    // at most one entry per 128 bytes of the file.
    std::uint32_t root_start = kEndOfChain, start = kEndOfChain;
    std::uint64_t root_size = 0, size = 0;
    std::size_t entries = 0;
    bool found = false;
    bool whole = chain(u32(file_, 0x30), file_.size(), [&](std::string_view piece) {
      for (std::size_t at = 0; at + kDirEntrySize <= piece.size(); at += kDirEntrySize) {
        std::string_view entry = piece.substr(at, kDirEntrySize);
        if (entries++ == 0) {
          root_start = u32(entry, 0x74);
          root_size = u32(entry, 0x78);
        }
        if (found || entry[0x42] != 2 || !named(entry, name)) continue;  // 2: a stream
        found = true;
        start = u32(entry, 0x74);
        size = u32(entry, 0x78);
      }
    });
    if (!found) return whole ? OleStatus::not_found : OleStatus::damaged;
    if (size > file_.size()) size = file_.size();  // no stream is larger than its file
    std::size_t delivered = 0;
    auto counted = [&](std::string_view piece) {
      delivered += piece.size();
      visit(piece);
    };
    bool ok = size < mini_cutoff_ ? mini_chain(start, size, root_start, root_size, counted)
                                  : chain(start, size, counted);
    return ok && delivered == size ? OleStatus::found : OleStatus::damaged;
  }

 private:
  std::string_view sector_bytes(std::uint32_t sector) const {
    std::size_t at = (std::size_t(sector) + 1) * sector_size_;
    if (at >= file_.size()) return {};
    return file_.substr(at, sector_size_);
  }

  // The allocation table's entry for `sector`, read from the table's own sector.
  std::uint32_t next(std::uint32_t sector) const {
    const std::size_t per_sector = sector_size_ / 4;
    const std::size_t index = sector / per_sector;
    if (index >= fat_sectors_.size()) return kEndOfChain;
    return u32(sector_bytes(fat_sectors_[index]), 4 * (sector % per_sector));
  }

  // Where the allocation table lies: a list in the header, continued in a chain of sectors.
  bool load_fat_sectors() {
    std::uint32_t fat_sectors = u32(file_, 0x2C);
    if (fat_sectors > sectors_) return false;
    std::vector<std::uint32_t>& ids = fat_sectors_;
    for (std::size_t i = 0; i < 109 && ids.size() < fat_sectors; ++i) {
      ids.push_back(u32(file_, 0x4C + 4 * i));
    }
    std::uint32_t difat = u32(file_, 0x44);
    std::size_t per_sector = sector_size_ / 4 - 1;
    std::size_t steps = 0;
    while (ids.size() < fat_sectors && difat <= kMaxRegular) {
      if (++steps > sectors_) return false;  // a looping extension chain
      std::string_view data = sector_bytes(difat);
      if (data.size() < sector_size_) return false;
      for (std::size_t i = 0; i < per_sector && ids.size() < fat_sectors; ++i) {
        ids.push_back(u32(data, 4 * i));
      }
      difat = u32(data, 4 * per_sector);
    }
    for (std::uint32_t id : ids) {
      if (id > kMaxRegular || sector_bytes(id).size() < sector_size_) return false;
    }
    return true;
  }

  // A small stream, gathered from the container of small sectors (itself a chain of regular
  // ones) and delivered as one piece.
  bool mini_chain(std::uint32_t start, std::size_t size, std::uint32_t root_start,
                  std::uint64_t root_size, const Visit& visit) {
    std::string minifat_bytes;
    std::size_t minifat_sectors = u32(file_, 0x40);
    if (minifat_sectors > sectors_) return false;
    auto append_to = [](std::string& out) {
      return [&out](std::string_view piece) { out.append(piece); };
    };
    if (!chain(u32(file_, 0x3C), minifat_sectors * sector_size_, append_to(minifat_bytes))) {
      return false;
    }
    std::string container;
    if (root_size > file_.size()) root_size = file_.size();
    if (!chain(root_start, root_size, append_to(container))) return false;
    std::size_t entries = minifat_bytes.size() / 4;
    std::vector<bool> seen(entries, false);
    std::string out;
    std::uint32_t sector = start;
    bool whole = true;
    while (sector != kEndOfChain && out.size() < size) {
      std::size_t at = std::size_t(sector) * mini_size_;
      if (sector >= entries || seen[sector] || at >= container.size()) {
        whole = false;
        break;
      }
      seen[sector] = true;
      std::size_t n = std::min({mini_size_, container.size() - at, size - out.size()});
      out.append(container, at, n);
      sector = u32(minifat_bytes, 4 * std::size_t(sector));
    }
    if (!out.empty()) visit(out);
    return whole && out.size() == size;
  }

  static bool named(std::string_view entry, std::string_view name) {
    std::size_t length = u16(entry, 0x40);  // bytes, with the terminating 0
    if (length != 2 * (name.size() + 1) || length > 64) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
      char32_t c = u16(entry, 2 * i);
      auto lower = [](char32_t x) { return x >= 'A' && x <= 'Z' ? x + 32 : x; };
      if (lower(c) != lower(static_cast<unsigned char>(name[i]))) return false;
    }
    return true;
  }

  std::string_view file_;
  std::size_t sector_size_ = 512, mini_size_ = 64, sectors_ = 0;
  std::uint32_t mini_cutoff_ = 4096;
  std::vector<std::uint32_t> fat_sectors_;
};

}  // namespace

bool is_ole_file(std::string_view bytes) { return bytes.substr(0, 8) == kMagic; }

OleStatus visit_ole_stream(std::string_view file, std::string_view name, const Visit& piece) {
  Compound compound(file);
  if (!compound.open()) return OleStatus::damaged;
  return compound.find(name, piece);
}

OleStatus read_ole_stream(std::string_view file, std::string_view name, std::string& out) {
  return visit_ole_stream(file, name, [&out](std::string_view piece) { out.append(piece); });
}

}  // namespace quorrel::readers
