#include "output/odt_package.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <memory>
#include <vector>

#include "io/output_file.h"
#include "io/scratch_file.h"
#include "output/zip_member.h"

namespace quorrel::odt {

// ---------------------------------------------------------------------------------------------
// Frames

#define QUORREL_ODF_NS(prefix, uri) " xmlns:" prefix "=\"" uri "\""
#define QUORREL_OASIS_NS(prefix, name) \
  QUORREL_ODF_NS(prefix, "urn:oasis:names:tc:opendocument:xmlns:" name ":1.0")
#define QUORREL_ODF_NAMESPACES                                                        \
  QUORREL_OASIS_NS("office", "office")                                                \
  QUORREL_OASIS_NS("style", "style")                                                  \
  QUORREL_OASIS_NS("text", "text") QUORREL_OASIS_NS("table", "table")                 \
      QUORREL_OASIS_NS("draw", "drawing") QUORREL_OASIS_NS("fo", "xsl-fo-compatible") \
          QUORREL_OASIS_NS("svg", "svg-compatible") QUORREL_OASIS_NS("meta", "meta")  \
              QUORREL_ODF_NS("dc", "http://purl.org/dc/elements/1.1/")

#define QUORREL_FONT_FACES                                                               \
  "<office:font-face-decls>\n"                                                           \
  "<style:font-face style:name=\"Liberation Serif\" svg:font-family=\"&apos;Liberation " \
  "Serif&apos;\" style:font-family-generic=\"roman\" style:font-pitch=\"variable\"/>\n"  \
  "<style:font-face style:name=\"Liberation Sans\" svg:font-family=\"&apos;Liberation "  \
  "Sans&apos;\" style:font-family-generic=\"swiss\" style:font-pitch=\"variable\"/>\n"   \
  "</office:font-face-decls>\n"

const std::string_view kContentStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-content" QUORREL_ODF_NAMESPACES
    " office:version=\"1.3\">\n" QUORREL_FONT_FACES "<office:automatic-styles>\n";

// WordPerfect's default page: US letter with one-inch margins, in Liberation Serif 12 points.
const std::string_view kStylesStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-styles" QUORREL_ODF_NAMESPACES " office:version=\"1.3\">\n" QUORREL_FONT_FACES
    "<office:styles>\n"
    "<style:default-style style:family=\"paragraph\">"
    "<style:paragraph-properties style:tab-stop-distance=\"1.27cm\"/>"
    "<style:text-properties style:font-name=\"Liberation Serif\" fo:font-size=\"12pt\" "
    "fo:language=\"en\" fo:country=\"US\"/></style:default-style>\n"
    "<style:style style:name=\"Standard\" style:family=\"paragraph\" style:class=\"text\"/>\n"
    "<text:notes-configuration text:note-class=\"footnote\" style:num-format=\"1\" "
    "text:start-value=\"0\" text:footnotes-position=\"page\" "
    "text:start-numbering-at=\"document\"/>\n"
    "<text:notes-configuration text:note-class=\"endnote\" style:num-format=\"1\" "
    "text:start-value=\"0\"/>\n"
    "</office:styles>\n"
    "<office:automatic-styles>\n"
    "<style:page-layout style:name=\"pm1\"><style:page-layout-properties fo:page-width=\"8.5in\" "
    "fo:page-height=\"11in\" style:print-orientation=\"portrait\" fo:margin-top=\"0.5in\" "
    "fo:margin-bottom=\"0.5in\" fo:margin-left=\"1in\" fo:margin-right=\"1in\"/>"
    "<style:header-style><style:header-footer-properties fo:min-height=\"0.5in\" "
    "fo:margin-bottom=\"0.1in\"/></style:header-style>"
    "<style:footer-style><style:header-footer-properties fo:min-height=\"0.5in\" "
    "fo:margin-top=\"0.1in\"/></style:footer-style></style:page-layout>\n";

#undef QUORREL_FONT_FACES

namespace {

constexpr std::string_view kMetaStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<office:document-meta" QUORREL_ODF_NAMESPACES
    " office:version=\"1.3\">\n"
    "<office:meta><meta:generator>Quorrel 4.3</meta:generator><dc:title>";
constexpr std::string_view kMetaEnd = "</dc:title></office:meta>\n</office:document-meta>\n";

#undef QUORREL_ODF_NAMESPACES
#undef QUORREL_OASIS_NS
#undef QUORREL_ODF_NS

constexpr std::string_view kManifest =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<manifest:manifest xmlns:manifest=\"urn:oasis:names:tc:opendocument:xmlns:manifest:1.0\" "
    "manifest:version=\"1.3\">\n"
    " <manifest:file-entry manifest:full-path=\"/\" manifest:version=\"1.3\" "
    "manifest:media-type=\"application/vnd.oasis.opendocument.text\"/>\n"
    " <manifest:file-entry manifest:full-path=\"content.xml\" manifest:media-type=\"text/xml\"/>\n"
    " <manifest:file-entry manifest:full-path=\"styles.xml\" manifest:media-type=\"text/xml\"/>\n"
    " <manifest:file-entry manifest:full-path=\"meta.xml\" manifest:media-type=\"text/xml\"/>\n"
    "</manifest:manifest>\n";

// The length of the UTF-8 sequence at the start of `bytes` if it is valid and an XML
// character (no C0 control but tab, line feed and carriage return; no U+FFFE or U+FFFF).
std::size_t xml_character_at(std::string_view bytes) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
  unsigned char first = byte(0);
  if (first < 0x80) return first >= 0x20 || first == '\t' || first == '\n' || first == '\r';
  std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 0;
  if (length == 0 || first > 0xF4 || bytes.size() < length) return 0;
  char32_t code = first & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF) ||
      code == 0xFFFE || code == 0xFFFF) {
    return 0;
  }
  return length;
}

}  // namespace

std::string meta_document(std::string_view title) {
  std::string meta(kMetaStart);
  while (!title.empty()) {
    std::size_t length = xml_character_at(title);
    if (length == 0) {
      meta += "\xEF\xBF\xBD";
      length = 1;
    } else {
      switch (title[0]) {
        case '&':
          meta += "&amp;";
          break;
        case '<':
          meta += "&lt;";
          break;
        case '>':
          meta += "&gt;";
          break;
        case '\r':
          meta += "&#13;";
          break;  // kept, not normalised to a line feed
        default:
          meta.append(title.substr(0, length));
      }
    }
    title.remove_prefix(length);
  }
  meta += kMetaEnd;
  return meta;
}

void append_text_style(std::string& out, std::string_view name, const TextLook& look) {
  out += "<style:style style:name=\"";
  out += name;
  out += "\" style:family=\"text\"><style:text-properties";
  if (look.bold) {
    out +=
        " fo:font-weight=\"bold\" style:font-weight-asian=\"bold\""
        " style:font-weight-complex=\"bold\"";
  }
  if (look.italic) {
    out +=
        " fo:font-style=\"italic\" style:font-style-asian=\"italic\""
        " style:font-style-complex=\"italic\"";
  }
  if (look.small_caps) out += " fo:font-variant=\"small-caps\"";
  if (look.underline) {
    out +=
        " style:text-underline-style=\"solid\" style:text-underline-width=\"auto\""
        " style:text-underline-color=\"font-color\"";
  }
  if (look.strikeout) out += " style:text-line-through-style=\"solid\"";
  if (look.superscript) {
    out += " style:text-position=\"super 58%\"";
  } else if (look.subscript) {
    out += " style:text-position=\"sub 58%\"";
  }
  out += "/></style:style>\n";
}

// ---------------------------------------------------------------------------------------------
// Packing

namespace {

// The member a part becomes: its pieces read in order, its size known in advance so that
// libzip needs no second pass.
class PartSource {
 public:
  PartSource(const Part& part, time_t mtime) : part_(part), mtime_(mtime) {
    zip_error_init(&error_);
    for (const Piece& piece : part_) size_ += piece_size(piece);
  }
  PartSource(const PartSource&) = delete;
  PartSource& operator=(const PartSource&) = delete;
  ~PartSource() { zip_error_fini(&error_); }

  static zip_int64_t callback(void* self, void* data, zip_uint64_t length,
                              zip_source_cmd_t command) {
    return static_cast<PartSource*>(self)->handle(data, length, command);
  }

 private:
  static std::uint64_t piece_size(const Piece& piece) {
    if (const auto* bytes = std::get_if<std::string_view>(&piece)) return bytes->size();
    return std::get<const Spool*>(piece)->size();
  }

  zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_OPEN:
        index_ = 0;
        offset_ = 0;
        return 0;
      case ZIP_SOURCE_READ:
        return read(static_cast<char*>(data), length);
      case ZIP_SOURCE_STAT:
        return answer_stat(data, size_, mtime_);
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                              ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                              ZIP_SOURCE_SUPPORTS, -1);
      default:  // close, free: the writer owns the pieces
        return 0;
    }
  }

  zip_int64_t read(char* data, zip_uint64_t length) {
    zip_uint64_t done = 0;
    while (done < length && index_ < part_.size()) {
      const Piece& piece = part_[index_];
      std::size_t want = static_cast<std::size_t>(length - done);
      std::int64_t got;
      if (const auto* bytes = std::get_if<std::string_view>(&piece)) {
        std::size_t left = bytes->size() - static_cast<std::size_t>(offset_);
        got = static_cast<std::int64_t>(std::min(want, left));
        std::memcpy(data + done, bytes->data() + offset_, static_cast<std::size_t>(got));
      } else {
        got = std::get<const Spool*>(piece)->read(offset_, data + done, want);
        if (got < 0) {
          zip_error_set(&error_, ZIP_ER_READ, errno);
          return -1;
        }
      }
      done += static_cast<zip_uint64_t>(got);
      offset_ += static_cast<std::uint64_t>(got);
      if (got == 0 || offset_ == piece_size(piece)) {
        ++index_;
        offset_ = 0;
      }
    }
    return static_cast<zip_int64_t>(done);
  }

  const Part& part_;
  time_t mtime_;
  zip_error_t error_;
  std::uint64_t size_ = 0;
  std::size_t index_ = 0;     // of the piece being read
  std::uint64_t offset_ = 0;  // in that piece
};

// A new archive written straight into the caller's descriptor; libzip reads nothing from it.
class ArchiveOutput {
 public:
  explicit ArchiveOutput(int fd) : fd_(fd) { zip_error_init(&error_); }
  ArchiveOutput(const ArchiveOutput&) = delete;
  ArchiveOutput& operator=(const ArchiveOutput&) = delete;
  ~ArchiveOutput() { zip_error_fini(&error_); }

  static zip_int64_t callback(void* self, void* data, zip_uint64_t length,
                              zip_source_cmd_t command) {
    return static_cast<ArchiveOutput*>(self)->handle(data, length, command);
  }

 private:
  zip_int64_t handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
      case ZIP_SOURCE_OPEN:
      case ZIP_SOURCE_READ:  // an empty archive to start from
      case ZIP_SOURCE_TELL:
        return 0;
      case ZIP_SOURCE_SEEK: {
        zip_uint64_t nowhere = 0;
        return zip_source_seek_compute_offset(nowhere, 0, data, length, &error_) < 0 ? -1 : 0;
      }
      case ZIP_SOURCE_STAT: {
        auto* stat = static_cast<zip_stat_t*>(data);
        zip_stat_init(stat);
        stat->size = 0;
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
      }
      case ZIP_SOURCE_BEGIN_WRITE:
        offset_ = size_ = 0;
        pending_.clear();
        return 0;
      case ZIP_SOURCE_WRITE:
        return write(static_cast<const char*>(data), length);
      case ZIP_SOURCE_SEEK_WRITE: {
        if (!flush()) return -1;
        zip_int64_t target = zip_source_seek_compute_offset(offset_, size_, data, length, &error_);
        if (target < 0) return -1;
        offset_ = static_cast<zip_uint64_t>(target);
        return 0;
      }
      case ZIP_SOURCE_TELL_WRITE:
        return static_cast<zip_int64_t>(offset_);
      case ZIP_SOURCE_COMMIT_WRITE:
        return flush() ? 0 : -1;
      case ZIP_SOURCE_ROLLBACK_WRITE:  // the caller discards the output
        pending_.clear();
        return 0;
      case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&error_, data, length);
      case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
            ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS,
            ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE,
            ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE, -1);
      case ZIP_SOURCE_REMOVE:  // never: a package always has members
        zip_error_set(&error_, ZIP_ER_REMOVE, 0);
        return -1;
      default:
        return 0;
    }
  }

  // libzip writes headers field by field: the bytes are gathered and stored in large pieces.
  zip_int64_t write(const char* data, zip_uint64_t length) {
    if (pending_.empty()) pending_offset_ = offset_;
    pending_.append(data, length);
    offset_ += length;
    size_ = std::max(size_, offset_);
    if (pending_.size() >= kChunk && !flush()) return -1;
    return static_cast<zip_int64_t>(length);
  }

  bool flush() {
    if (!write_at(fd_, pending_, pending_offset_)) {
      zip_error_set(&error_, ZIP_ER_WRITE, errno);
      return false;
    }
    pending_.clear();
    return true;
  }

  static constexpr std::size_t kChunk = 256 * 1024;

  int fd_;
  zip_error_t error_;
  zip_uint64_t offset_ = 0, size_ = 0, pending_offset_ = 0;
  std::string pending_;
};

}  // namespace

bool write_odt_package(int fd, const OdtParts& parts) {
  time_t now = std::time(nullptr);
  // The sources live until the archive is closed (or discarded), which reads them.
  PartSource content(parts.content, now);
  PartSource styles(parts.styles, now);
  ArchiveOutput output(fd);

  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* target = zip_source_function_create(&ArchiveOutput::callback, &output, &error);
  Archive archive(
      target == nullptr ? nullptr
                        : zip_open_from_source(target, ZIP_CREATE | ZIP_TRUNCATE, &error));
  zip_error_fini(&error);
  if (archive == nullptr) {
    zip_source_free(target);
    return false;
  }
  zip_t* zip = archive.get();
  auto memory = [zip](std::string_view bytes) {
    return zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
  };
  auto function = [zip](zip_source_callback callback, void* self) {
    return zip_source_function(zip, callback, self);
  };
  // Office suites find the type in the first member, "mimetype", stored.
  if (!add_member(zip, "mimetype", memory(kMimeType), true) ||
      !add_member(zip, "META-INF/manifest.xml", memory(kManifest), false) ||
      !add_member(zip, "content.xml", function(&PartSource::callback, &content), false) ||
      !add_member(zip, "styles.xml", function(&PartSource::callback, &styles), false) ||
      !add_member(zip, "meta.xml", memory(parts.meta), false)) {
    return false;
  }
  if (zip_close(zip) != 0) return false;
  archive.release();
  return true;
}

}  // namespace quorrel::odt
