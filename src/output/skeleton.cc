#include "output/skeleton.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <sys/mman.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "io/output_file.h"
#include "io/scratch_file.h"
#include "output/odt_from_sxw.h"
#include "output/odt_package.h"
#include "output/sxw_package.h"
#include "recognition/prefix.h"

namespace quorrel {

namespace {

constexpr char kSeparator = '/';

// False when the converter's prefix rule rejects the input.
bool pass_prefix(PrefixRule rule, ByteSource& in) {
  return rule == PrefixRule::none || check_and_skip_prefix(in).matched;
}

// A prefix that could not be read to its end is a read failure, not a mismatch.
FileConversion prefix_failure(const ByteSource& in) {
  return {in.read_error() ? ConvertStatus::read_error : ConvertStatus::prefix_mismatch, 0, 0};
}

// Runs the document body into `sink`; the status says whether both ends held. What a converter
// cannot hold in memory goes to `scratch_folder` (the output's own, so that a full temporary
// folder never fails a conversion whose output has room).
FileConversion write_body(const ConverterSpec& converter, ByteSource& in, Sink& sink,
                          std::string_view title, const std::string& scratch_folder) {
  bool write_failed;
  {
    TextWriter out(sink);
    converter.body(in, out, DocumentInfo{title, scratch_folder});
    out.flush();
    write_failed = out.failed() || !sink.finish();
  }
  int error = errno;
  if (in.read_error()) return {ConvertStatus::read_error, 0, 0};
  if (write_failed) return {ConvertStatus::write_error, error, 0};
  return {};
}

std::uint64_t size_of(int fd) {
  struct stat info;
  return ::fstat(fd, &info) == 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
}

// The archive's content document goes into a file of this conversion's own, without a name, in
// the archive's folder: the packer reads it by descriptor, so that no other conversion (another
// process in the same folder) can put its document in this one's place.
FileConversion pack_content(const ConverterSpec& converter, ByteSource& in,
                            const std::string& archive_path, std::string_view title) {
  std::string folder = folder_of(archive_path);
  if (!can_take_output(archive_path)) return {ConvertStatus::open_output, errno, 0};
  Spool content(folder);
  FileConversion result = write_body(converter, in, content, title, folder);
  if (result.status != ConvertStatus::ok) return result;
  errno = 0;
  if (!sxw::pack(archive_path, content)) return {ConvertStatus::write_error, errno, 0};
  struct stat info;
  if (::stat(archive_path.c_str(), &info) == 0) result.bytes = static_cast<std::uint64_t>(info.st_size);
  return result;
}

// The converter's SXW content carried into OpenDocument as it is written, then the package
// written to `fd` (empty, seekable, open for reading and writing). A large body is held in
// `spool_folder` meanwhile.
FileConversion write_odt(const ConverterSpec& converter, ByteSource& in, int fd,
                         std::string_view title, const std::string& spool_folder) {
  odt::SxwToOdt content(spool_folder, title);
  errno = 0;
  FileConversion result = write_body(converter, in, content, title, spool_folder);
  if (result.status != ConvertStatus::ok) return result;
  errno = 0;
  if (!odt::write_odt_package(fd, content.parts())) return {ConvertStatus::write_error, errno, 0};
  return result;
}

bool copy_all(int from, int to) {
  std::vector<char> buffer(1 << 16);
  for (;;) {
    ssize_t got = ::read(from, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    for (ssize_t done = 0; done < got;) {
      ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) return false;
      done += put;
    }
  }
}

// The whole package as bytes: made in a memory file (the packer seeks), a large body spooled
// in the system's temporary folder.
MemoryConversion package_in_memory(const ConverterSpec& converter, ByteSource& in,
                                   std::string_view title) {
  MemoryConversion result;
  result.status = ConvertStatus::write_error;
  int fd = ::memfd_create("quorrel-odt", MFD_CLOEXEC);
  if (fd < 0) return result;
  FileConversion written = write_odt(converter, in, fd, title, system_temporary_folder());
  result.status = written.status;
  std::uint64_t size = size_of(fd);
  if (written.status == ConvertStatus::ok) {
    result.output.resize(size);
    std::size_t done = 0;
    while (done < size) {
      ssize_t got = ::pread(fd, result.output.data() + done, size - done, static_cast<off_t>(done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += static_cast<std::size_t>(got);
    }
    if (done < size) {
      result.status = ConvertStatus::write_error;
      result.output.clear();
    }
  }
  ::close(fd);
  return result;
}

}  // namespace

std::string output_path_for(const ConverterSpec& converter, const std::string& input_path) {
  switch (converter.kind) {
    case OutputKind::text:
      return input_path + ".txt";
    case OutputKind::html:
      return input_path + ".html";
    case OutputKind::sxw:
      return archive_path_for(converter.archive, input_path);
    case OutputKind::odt:
      return input_path + ".odt";
  }
  return {};
}

std::string archive_path_for(ArchiveRule rule, const std::string& input_path) {
  std::size_t extension = rule == ArchiveRule::two_letter_extension ? 3 : 4;
  std::size_t keep = input_path.size();
  if (keep > extension) {
    std::size_t dot = keep - extension;
    if (input_path[dot] == '.' && input_path.find(kSeparator, dot) == std::string::npos) {
      keep = dot;
    }
  }
  std::string archive;
  archive.reserve(keep + 4);
  archive.append(input_path, 0, keep).append(".sxw");
  return archive;
}

FileConversion convert_to_file(const ConverterSpec& converter, ByteSource& in,
                               const std::string& output_path, std::string_view title) {
  if (!pass_prefix(converter.prefix, in)) return prefix_failure(in);

  if (converter.kind == OutputKind::sxw) return pack_content(converter, in, output_path, title);

  OutputFile output;
  if (!output.create(output_path)) return {ConvertStatus::open_output, errno, 0};
  std::string folder = folder_of(output_path);
  FileConversion result =
      converter.kind == OutputKind::odt
          ? write_odt(converter, in, output.descriptor(), title, folder)
          : write_body(converter, in, output.sink(), title, folder);
  if (result.status != ConvertStatus::ok) return result;  // the partial output goes too
  result.bytes = size_of(output.descriptor());
  if (!output.commit()) return {ConvertStatus::write_error, errno, 0};
  return result;
}

FileConversion convert_to_descriptor(const ConverterSpec& converter, ByteSource& in, int fd,
                                     std::string_view title,
                                     const std::string& temporary_folder) {
  if (!pass_prefix(converter.prefix, in)) return prefix_failure(in);
  if (converter.kind == OutputKind::odt) {
    // A package is written with seeks: it is made in an unnamed file, then copied.
    ScratchFile package;
    if (!package.create(temporary_folder)) return {ConvertStatus::open_output, errno, 0};
    FileConversion result =
        write_odt(converter, in, package.descriptor(), title, temporary_folder);
    if (result.status != ConvertStatus::ok) return result;
    if (::lseek(package.descriptor(), 0, SEEK_SET) != 0 || !copy_all(package.descriptor(), fd)) {
      return {ConvertStatus::write_error, errno, 0};
    }
    result.bytes = size_of(package.descriptor());
    return result;
  }
  if (converter.kind != OutputKind::sxw) {
    FdSink sink(fd);
    return write_body(converter, in, sink, title, temporary_folder);
  }

  // An archive is written with seeks: it is made in a folder of its own, then copied.
  std::string pattern = temporary_folder + "/quorrel-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (::mkdtemp(name.data()) == nullptr) return {ConvertStatus::open_output, errno, 0};
  std::string folder = name.data();
  std::string archive = folder + "/document.sxw";
  FileConversion result = pack_content(converter, in, archive, title);
  if (result.status == ConvertStatus::ok) {
    int packed = ::open(archive.c_str(), O_RDONLY | O_CLOEXEC);
    if (packed < 0 || !copy_all(packed, fd)) {
      result = {ConvertStatus::write_error, errno, 0};
    } else {
      result.bytes = size_of(packed);
    }
    if (packed >= 0) ::close(packed);
  }
  ::unlink(archive.c_str());
  ::rmdir(folder.c_str());
  return result;
}

MemoryConversion convert_memory(const ConverterSpec& converter, std::string_view input,
                                std::string_view title) {
  ByteSource in = ByteSource::from_memory(input);
  return convert_source(converter, in, title);
}

MemoryConversion convert_source(const ConverterSpec& converter, ByteSource& in,
                                std::string_view title) {
  MemoryConversion result;
  if (!pass_prefix(converter.prefix, in)) {
    result.status = ConvertStatus::prefix_mismatch;
    return result;
  }
  if (converter.kind == OutputKind::odt) return package_in_memory(converter, in, title);
  StringSink sink(result.output);
  TextWriter out(sink);
  converter.body(in, out, DocumentInfo{title});
  out.flush();
  return result;
}

}  // namespace quorrel
