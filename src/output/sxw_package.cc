#include "output/sxw_package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <memory>
#include <new>
#include <string_view>

#include "io/output_file.h"
#include "io/scratch_file.h"
#include "output/zip_member.h"

namespace quorrel::sxw {

namespace {

constexpr const char* kContentMember = "content.xml";
constexpr const char* kMimeTypeMember = "mimetype";
constexpr const char* kManifestMember = "META-INF/manifest.xml";

constexpr std::string_view kMimeType = "application/vnd.sun.xml.writer";
constexpr zip_uint64_t kStoreBelow = 4096;
constexpr std::string_view kManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE manifest:manifest PUBLIC \"-//OpenOffice.org//DTD Manifest 1.0//EN\" "
    "\"Manifest.dtd\">\n"
    "<manifest:manifest xmlns:manifest=\"http://openoffice.org/2001/manifest\">\n"
    " <manifest:file-entry manifest:media-type=\"application/vnd.sun.xml.writer\" "
    "manifest:full-path=\"/\"/>\n"
    " <manifest:file-entry manifest:media-type=\"text/xml\" manifest:full-path=\"content.xml\"/>\n"
    "</manifest:manifest>\n";

// The archive as libzip sees it: read from the existing file, if any, and written straight
// into our temporary output beside it. libzip's own file source would write a second
// temporary file of its own naming and rename it over ours, one more file created and
// replaced per archive, which is a large share of a batch's time.
class ArchiveFile {
 public:
  ArchiveFile() { zip_error_init(&error_); }
  ArchiveFile(const ArchiveFile&) = delete;
  ArchiveFile& operator=(const ArchiveFile&) = delete;
  ~ArchiveFile() {
    if (read_fd_ >= 0) ::close(read_fd_);
    zip_error_fini(&error_);
  }

  // Opens the existing archive for reading. False when it is not a non-empty regular file:
  // a FIFO or device would block or stream, and libzip versions differ on whether an empty
  // file is an empty archive. A symbolic link that appeared since it was looked at is refused.
  bool open_existing(const std::string& path) {
    read_fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW);
    if (read_fd_ < 0) return false;
    struct stat info;
    if (::fstat(read_fd_, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size == 0) return false;
    read_size_ = static_cast<zip_uint64_t>(info.st_size);
    mtime_ = info.st_mtime;
    return true;
  }
  void write_to(int fd) { write_fd_ = fd; }

  static zip_int64_t callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* file = static_cast<ArchiveFile*>(self);
    // No exception may cross libzip's C frames: memory that ran out fails the call, and
    // pack reports it once libzip has let go.
    try {
      return file->handle(data, length, command);
    } catch (const std::bad_alloc&) {
      file->out_of_memory_ = true;
      return file->fail(ZIP_ER_MEMORY);
    }
  }

  bool out_of_memory() const { return out_of_memory_; }

 private:
  zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_OPEN:
        read_offset_ = 0;
        return 0;
      case ZIP_SOURCE_READ: return read(static_cast<char*>(data), length);
      case ZIP_SOURCE_SEEK: return seek(read_offset_, read_size_, data, length);
      case ZIP_SOURCE_TELL: return static_cast<zip_int64_t>(read_offset_);
      case ZIP_SOURCE_STAT:
        return answer_stat(data, read_size_, mtime_);
      case ZIP_SOURCE_BEGIN_WRITE:
        write_offset_ = write_size_ = 0;
        pending_.clear();
        return 0;
      case ZIP_SOURCE_WRITE: return write(static_cast<const char*>(data), length);
      case ZIP_SOURCE_SEEK_WRITE:
        if (!flush()) return -1;
        return seek(write_offset_, write_size_, data, length);
      case ZIP_SOURCE_TELL_WRITE: return static_cast<zip_int64_t>(write_offset_);
      case ZIP_SOURCE_COMMIT_WRITE: return flush() ? 0 : -1;
      case ZIP_SOURCE_ROLLBACK_WRITE:  // the caller discards the temporary output
        pending_.clear();
        return 0;
      case ZIP_SOURCE_ACCEPT_EMPTY: return 0;
      case ZIP_SOURCE_ERROR: return zip_error_to_data(&error_, data, length);
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS,
            ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE,
            ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE,
            ZIP_SOURCE_ACCEPT_EMPTY, -1);
      case ZIP_SOURCE_REMOVE:  // an archive left empty: never, content.xml is always added
        zip_error_set(&error_, ZIP_ER_REMOVE, 0);
        return -1;
      default:  // close, free: nothing to release early
        return 0;
    }
  }

  zip_int64_t seek(zip_uint64_t& offset, zip_uint64_t size, void* data, zip_uint64_t length) {
    zip_int64_t target = zip_source_seek_compute_offset(offset, size, data, length, &error_);
    if (target < 0) return -1;
    offset = static_cast<zip_uint64_t>(target);
    return 0;
  }

  zip_int64_t read(char* data, zip_uint64_t length) {
    if (read_fd_ < 0) return 0;
    for (;;) {
      ssize_t got = ::pread(read_fd_, data, length, static_cast<off_t>(read_offset_));
      if (got >= 0) {
        read_offset_ += static_cast<zip_uint64_t>(got);
        return got;
      }
      if (errno != EINTR) return fail(ZIP_ER_READ);
    }
  }

  // Writes are gathered and stored in large pieces: libzip writes headers field by field.
  zip_int64_t write(const char* data, zip_uint64_t length) {
    if (pending_.empty()) pending_offset_ = write_offset_;
    pending_.append(data, length);
    write_offset_ += length;
    write_size_ = std::max(write_size_, write_offset_);
    if (pending_.size() >= kWriteChunk && !flush()) return -1;
    return static_cast<zip_int64_t>(length);
  }

  bool flush() {
    if (!write_at(write_fd_, pending_, pending_offset_)) {
      fail(ZIP_ER_WRITE);
      return false;
    }
    pending_.clear();
    return true;
  }

  zip_int64_t fail(int code) {
    zip_error_set(&error_, code, errno);
    return -1;
  }

  static constexpr std::size_t kWriteChunk = 256 * 1024;

  zip_error_t error_;
  int read_fd_ = -1;  // none for a new archive: it reads as empty
  zip_uint64_t read_size_ = 0;
  zip_uint64_t read_offset_ = 0;
  time_t mtime_ = 0;
  int write_fd_ = -1;
  zip_uint64_t write_offset_ = 0;
  zip_uint64_t write_size_ = 0;
  zip_uint64_t pending_offset_ = 0;
  std::string pending_;
  bool out_of_memory_ = false;
};

// The content document as libzip reads it: from an open descriptor by offset, so that any
// number of passes start at its beginning and nothing depends on the descriptor's position.
// The content, read through libzip's source interface from the spool that holds it.
class ContentSource {
 public:
  explicit ContentSource(const Spool& content) : content_(content) { zip_error_init(&error_); }
  ContentSource(const ContentSource&) = delete;
  ContentSource& operator=(const ContentSource&) = delete;
  ~ContentSource() { zip_error_fini(&error_); }

  zip_uint64_t size() const { return content_.size(); }

  static zip_int64_t callback(void* self, void* data, zip_uint64_t length,
                              zip_source_cmd_t command) {
    return static_cast<ContentSource*>(self)->handle(data, length, command);
  }

 private:
  zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_OPEN:
        offset_ = 0;
        return 0;
      case ZIP_SOURCE_READ: {
        auto wanted = static_cast<std::size_t>(std::min<zip_uint64_t>(length, 1 << 30));
        std::int64_t got = content_.read(offset_, static_cast<char*>(data), wanted);
        if (got < 0) {
          zip_error_set(&error_, ZIP_ER_READ, errno);
          return -1;
        }
        offset_ += static_cast<zip_uint64_t>(got);
        return got;
      }
      case ZIP_SOURCE_SEEK: {
        zip_int64_t target = zip_source_seek_compute_offset(offset_, size(), data, length, &error_);
        if (target < 0) return -1;
        offset_ = static_cast<zip_uint64_t>(target);
        return 0;
      }
      case ZIP_SOURCE_TELL:
        return static_cast<zip_int64_t>(offset_);
      case ZIP_SOURCE_STAT:
        return answer_stat(data, size(), std::time(nullptr));
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
      default:  // close, free: the spool belongs to the caller
        return 0;
    }
  }

  zip_error_t error_;
  const Spool& content_;
  zip_uint64_t offset_ = 0;
};

// Adds a member held in static memory unless the archive has one of that name.
bool add_if_missing(zip_t* archive, const char* name, std::string_view text, bool stored) {
  if (zip_name_locate(archive, name, 0) >= 0) return true;
  return add_member(archive, name, zip_source_buffer(archive, text.data(), text.size(), 0),
                    stored);
}

}  // namespace

bool pack(const std::string& archive_path, const Spool& content) {
  if (!content.ok()) return false;
  ContentSource content_source(content);
  ArchiveFile file;
  struct stat info;
  // A symbolic link at the archive path is replaced like any other output's: reading the
  // archive it points to would copy its members, perhaps from a folder others cannot read.
  bool present = ::lstat(archive_path.c_str(), &info) == 0;
  if (!present && errno != ENOENT) return false;
  bool exists = present && !S_ISLNK(info.st_mode);
  if (exists && !file.open_existing(archive_path)) return false;

  // The new archive is written under our own temporary name beside the old one and renamed
  // over it only when complete, so that a crash at any moment leaves only files recognisably
  // ours, and the old archive stays as it was until then. It keeps the old one's permissions.
  OutputFile staged;
  if (!staged.create(archive_path)) return false;
  file.write_to(staged.descriptor());

  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_function_create(&ArchiveFile::callback, &file, &error);
  Archive archive(source == nullptr ? nullptr
                                    : zip_open_from_source(source, exists ? 0 : ZIP_CREATE | ZIP_TRUNCATE,
                                                           &error));
  zip_error_fini(&error);
  if (archive == nullptr) {  // not a ZIP archive
    zip_source_free(source);
    return false;
  }

  // Every old content.xml is deleted and the new one added, rather than replaced in place:
  // libzip forgets the compression level of a replaced member whose method stays the same,
  // and an archive may list the name twice, where readers differ on which one they take.
  zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
  for (zip_int64_t i = 0; i < entries; ++i) {
    const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
    if (name != nullptr && std::string_view(name) == kContentMember &&
        zip_delete(archive.get(), static_cast<zip_uint64_t>(i)) != 0) {
      return false;
    }
  }
  // In a new archive the members go in this order, "mimetype" first as office suites expect.
  // Small members are stored: deflating them saves a few hundred bytes at the cost of setting
  // up the compressor, which is most of the time a small document's archive takes.
  if (!add_if_missing(archive.get(), kMimeTypeMember, kMimeType, true) ||
      !add_if_missing(archive.get(), kManifestMember, kManifest, true) ||
      !add_member(archive.get(), kContentMember,
                  zip_source_function(archive.get(), &ContentSource::callback, &content_source),
                  content_source.size() < kStoreBelow)) {
    return false;
  }
  // On failure the archive stays open and the guard discards it, and `staged` removes the
  // temporary file; the old archive is untouched.
  if (zip_close(archive.get()) != 0) {
    if (file.out_of_memory()) throw std::bad_alloc();  // for the caller to report as such
    return false;
  }
  archive.release();
  return staged.commit();
}

}  // namespace quorrel::sxw
