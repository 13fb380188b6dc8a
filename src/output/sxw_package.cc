#include "output/sxw_package.h"

#include <sys/stat.h>
#include <zip.h>

#include <cerrno>
#include <memory>
#include <string_view>

#include "io/input_file.h"
#include "io/output_file.h"

namespace quorrel::sxw {

namespace {

constexpr const char* kContentMember = "content.xml";
constexpr const char* kMimeTypeMember = "mimetype";
constexpr const char* kManifestMember = "META-INF/manifest.xml";

constexpr std::string_view kMimeType = "application/vnd.sun.xml.writer";
constexpr std::string_view kManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!DOCTYPE manifest:manifest PUBLIC \"-//OpenOffice.org//DTD Manifest 1.0//EN\" "
    "\"Manifest.dtd\">\n"
    "<manifest:manifest xmlns:manifest=\"http://openoffice.org/2001/manifest\">\n"
    " <manifest:file-entry manifest:media-type=\"application/vnd.sun.xml.writer\" "
    "manifest:full-path=\"/\"/>\n"
    " <manifest:file-entry manifest:media-type=\"text/xml\" manifest:full-path=\"content.xml\"/>\n"
    "</manifest:manifest>\n";

struct DiscardArchive {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};
using Archive = std::unique_ptr<zip_t, DiscardArchive>;

// Adds `source` under `name`; the archive takes the source over only on success.
bool add(zip_t* archive, const char* name, zip_source_t* source, zip_flags_t flags,
         zip_int64_t* index = nullptr) {
  if (source == nullptr) return false;
  zip_int64_t added = zip_file_add(archive, name, source, flags);
  if (added < 0) {
    zip_source_free(source);
    return false;
  }
  if (index != nullptr) *index = added;
  return true;
}

// Adds a member held in static memory unless the archive has one of that name.
bool add_if_missing(zip_t* archive, const char* name, std::string_view text, bool stored) {
  if (zip_name_locate(archive, name, 0) >= 0) return true;
  zip_int64_t index;
  if (!add(archive, name, zip_source_buffer(archive, text.data(), text.size(), 0), 0, &index)) {
    return false;
  }
  return !stored ||
         zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0) == 0;
}

// Copies the file at `path` into `sink`; false when it cannot be read or written whole.
bool copy_into(const std::string& path, Sink& sink) {
  InputFile file;
  if (!file.open(path)) return false;
  ByteSource in = file.source();
  while (in.fill()) {
    const std::uint8_t* begin = in.window_begin();
    const std::uint8_t* end = in.window_end();
    if (!sink.write(reinterpret_cast<const char*>(begin), static_cast<std::size_t>(end - begin))) {
      return false;
    }
    in.advance_to(end);
  }
  return !in.read_error();
}

}  // namespace

bool pack(const std::string& archive_path, const std::string& content_path) {
  // Only a ZIP archive is ever updated. Opening a FIFO or a device would block or read from
  // it, and libzip versions differ on whether an empty file is an empty archive.
  struct stat info;
  bool exists = ::stat(archive_path.c_str(), &info) == 0;
  if (exists) {
    if (!S_ISREG(info.st_mode) || info.st_size == 0) return false;
  } else if (errno != ENOENT) {
    return false;
  }

  // The new archive is built under our own temporary name beside the old one, from a copy of
  // it, and renamed over it only when complete. libzip's own temporary file then starts with
  // that name too, so that a crash at any moment leaves only files recognisably ours, and an
  // archive name up to the file system's limit still leaves room for libzip's suffix.
  OutputFile staged;
  if (!staged.create(archive_path)) return false;
  if (exists && (!copy_into(archive_path, staged.sink()) ||
                 ::chmod(staged.temporary_path().c_str(), info.st_mode & 07777) != 0)) {
    return false;
  }
  int error = 0;
  Archive archive(
      zip_open(staged.temporary_path().c_str(), exists ? 0 : ZIP_CREATE | ZIP_TRUNCATE, &error));
  if (archive == nullptr) return false;  // not a ZIP archive

  // In a new archive the members go in this order, "mimetype" first as office suites expect.
  if (!add_if_missing(archive.get(), kMimeTypeMember, kMimeType, true) ||
      !add_if_missing(archive.get(), kManifestMember, kManifest, false) ||
      !add(archive.get(), kContentMember,
           zip_source_file(archive.get(), content_path.c_str(), 0, -1), ZIP_FL_OVERWRITE)) {
    return false;
  }
  // On failure the archive stays open and the guard discards it, and `staged` removes the
  // copy; the old file is untouched.
  if (zip_close(archive.get()) != 0) return false;
  archive.release();
  return staged.commit();
}

}  // namespace quorrel::sxw
