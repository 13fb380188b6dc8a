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
    if (!load_fat()) return false;
    return true;
  }

  // The bytes of a chain of regular sectors, at most `limit` of them.
  bool chain(std::uint32_t start, std::size_t limit, std::string& out) {
    std::vector<bool> seen(fat_.size(), false);
    std::uint32_t sector = start;
    while (sector != kEndOfChain && out.size() < limit) {
      if (sector >= fat_.size() || seen[sector]) return false;  // off the table, or a loop
      seen[sector] = true;
      std::string_view data = sector_bytes(sector);
      if (data.empty()) return false;
      out.append(data.substr(0, std::min(data.size(), limit - out.size())));
      sector = fat_[sector];
    }
    return out.size() >= limit || sector == kEndOfChain;
  }

  OleStatus find(std::string_view name, std::string& out) {
    std::string directory;
    // A directory holds at most one entry per 128 bytes of the file.
    bool whole = chain(u32(file_, 0x30), file_.size(), directory);
    if (directory.size() < kDirEntrySize) return whole ? OleStatus::not_found : OleStatus::damaged;
    std::string_view dir(directory);
    std::uint32_t root_start = u32(dir, 0x74);
    std::uint64_t root_size = u32(dir, 0x78);
    for (std::size_t at = 0; at + kDirEntrySize <= dir.size(); at += kDirEntrySize) {
      std::string_view entry = dir.substr(at, kDirEntrySize);
      if (entry[0x42] != 2 || !named(entry, name)) continue;  // 2: a stream
      std::uint32_t start = u32(entry, 0x74);
      std::size_t size = u32(entry, 0x78);
      if (size > file_.size()) size = file_.size();  // no stream is larger than its file
      bool ok;
      if (size < mini_cutoff_) {
        ok = mini_chain(start, size, root_start, root_size, out);
      } else {
        ok = chain(start, size, out);
      }
      return ok && out.size() == size ? OleStatus::found : OleStatus::damaged;
    }
    return whole ? OleStatus::not_found : OleStatus::damaged;
  }

 private:
  std::string_view sector_bytes(std::uint32_t sector) const {
    std::size_t at = (std::size_t(sector) + 1) * sector_size_;
    if (at >= file_.size()) return {};
    return file_.substr(at, sector_size_);
  }

  bool load_fat() {
    std::uint32_t fat_sectors = u32(file_, 0x2C);
    if (fat_sectors > sectors_) return false;
    std::vector<std::uint32_t> ids;
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
    fat_.reserve(ids.size() * (sector_size_ / 4));
    for (std::uint32_t id : ids) {
      std::string_view data = sector_bytes(id);
      if (id > kMaxRegular || data.size() < sector_size_) return false;
      for (std::size_t i = 0; i < sector_size_ / 4; ++i) fat_.push_back(u32(data, 4 * i));
    }
    // Entries past the file's last sector can only lead out of it.
    if (fat_.size() > sectors_) fat_.resize(sectors_);
    return true;
  }

  bool mini_chain(std::uint32_t start, std::size_t size, std::uint32_t root_start,
                  std::uint64_t root_size, std::string& out) {
    std::string minifat_bytes;
    std::size_t minifat_sectors = u32(file_, 0x40);
    if (minifat_sectors > sectors_) return false;
    if (!chain(u32(file_, 0x3C), minifat_sectors * sector_size_, minifat_bytes)) return false;
    std::string container;
    if (root_size > file_.size()) root_size = file_.size();
    if (!chain(root_start, root_size, container)) return false;
    std::size_t entries = minifat_bytes.size() / 4;
    std::vector<bool> seen(entries, false);
    std::uint32_t sector = start;
    while (sector != kEndOfChain && out.size() < size) {
      if (sector >= entries || seen[sector]) return false;
      seen[sector] = true;
      std::size_t at = std::size_t(sector) * mini_size_;
      if (at >= container.size()) return false;
      std::size_t n = std::min({mini_size_, container.size() - at, size - out.size()});
      out.append(container, at, n);
      sector = u32(minifat_bytes, 4 * std::size_t(sector));
    }
    return out.size() == size;
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
  std::vector<std::uint32_t> fat_;
};

}  // namespace

bool is_ole_file(std::string_view bytes) { return bytes.substr(0, 8) == kMagic; }

OleStatus read_ole_stream(std::string_view file, std::string_view name, std::string& out) {
  out.clear();
  Compound compound(file);
  if (!compound.open()) return OleStatus::damaged;
  return compound.find(name, out);
}

}  // namespace quorrel::readers
