// What the two archive writers (SXW and ODT) share of libzip: an archive discarded unless
// closed, and adding a member stored or deflated at the level both use.
#pragma once

#include <zip.h>

#include <ctime>
#include <memory>

namespace quorrel {

struct DiscardArchive {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
// An archive that is discarded, leaving its target as it was, unless zip_close succeeded.
using Archive = std::unique_ptr<zip_t, DiscardArchive>;

// Deflate's fastest level: its best costs about ten times as long on markup and saves only
// about a third of the size.
inline constexpr zip_uint32_t kCompressionLevel = 1;

// Adds `source` under `name` (UTF-8), stored or deflated; the archive takes the source over
// only on success. Office suites want "mimetype" stored.
inline bool add_member(zip_t* archive, const char* name, zip_source_t* source, bool stored) {
  if (source == nullptr) return false;
  zip_int64_t index = zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(source);
    return false;
  }
  auto member = static_cast<zip_uint64_t>(index);
  return stored ? zip_set_file_compression(archive, member, ZIP_CM_STORE, 0) == 0
                : zip_set_file_compression(archive, member, ZIP_CM_DEFLATE, kCompressionLevel) == 0;
}

// A source callback's answer to ZIP_SOURCE_STAT: its size and modification time.
inline zip_int64_t answer_stat(void* data, zip_uint64_t size, time_t mtime) {
  auto* stat = static_cast<zip_stat_t*>(data);
  zip_stat_init(stat);
  stat->size = size;
  stat->mtime = mtime;
  stat->valid |= ZIP_STAT_SIZE | ZIP_STAT_MTIME;
  return sizeof(zip_stat_t);
}

}  // namespace quorrel
