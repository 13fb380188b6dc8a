#include "output/skeleton.h"

#include <sys/stat.h>

#include <new>

#include "io/input_file.h"
#include "io/output_file.h"
#include "io/scratch_file.h"
#include "recognition/prefix.h"
#include "shell/messages.h"

namespace quorrel {

namespace {

std::string_view prefix_message(PrefixRule rule) {
  return rule == PrefixRule::wp51 ? kNotWp51Message : kNotWpdMessage;
}

// False when the converter's prefix rule rejects the input.
bool pass_prefix(PrefixRule rule, ByteSource& in) {
  return rule == PrefixRule::none || check_and_skip_prefix(in).matched;
}

}  // namespace

std::string output_path_for(const ConverterSpec& converter, const std::string& filepathname) {
  switch (converter.kind) {
    case OutputKind::text:
      return filepathname + ".txt";
    case OutputKind::html:
      return filepathname + ".html";
    case OutputKind::sxw:
      return archive_path_for(converter.archive, filepathname);
  }
  return {};
}

std::string archive_path_for(ArchiveRule rule, const std::string& filepathname) {
  std::size_t extension = rule == ArchiveRule::two_letter_extension ? 3 : 4;
  std::size_t keep = filepathname.size();
  if (keep > extension) {
    std::size_t dot = keep - extension;
    if (filepathname[dot] == '.' && filepathname.find(kPathSeparator, dot) == std::string::npos) {
      keep = dot;
    }
  }
  std::string archive;
  archive.reserve(keep + 4);
  archive.append(filepathname, 0, keep).append(".sxw");
  return archive;
}

const OutputsWritten::Source* OutputsWritten::source_of(
    const std::optional<FileIdentity>& output) const {
  if (!output) return nullptr;
  auto found = written_.find(*output);
  return found == written_.end() ? nullptr : &found->second;
}

void OutputsWritten::record(const std::string& output_path, Source source) {
  if (std::optional<FileIdentity> output = entry_identity(output_path)) {
    written_[*output] = std::move(source);
  }
}

namespace {

// Runs the converter from `in` into `sink`; false, with the failure reported, when the input
// could not be read to its end or the output not written. `scratch_folder` takes what a
// converter cannot hold in memory.
bool convert_into(const ConverterSpec& converter, ByteSource& in, Sink& sink,
                  const BatchState& batch, const std::string& scratch_folder, Port& port) {
  bool write_failed;
  {
    TextWriter out(sink);
    converter.body(in, out, DocumentInfo{batch.filename, scratch_folder});
    out.flush();
    write_failed = out.failed() || !sink.finish();
  }
  if (in.read_error()) {
    port.message_box(kUnableToReadFiles, kFileIoErrorCaption);
    return false;
  }
  if (write_failed) {
    port.message_box(kUnableToWriteFiles, kFileIoErrorCaption);
    return false;
  }
  return true;
}

bool write_output(const ConverterSpec& converter, ByteSource& in, const BatchState& batch,
                  const std::string& output_path, Port& port) {
  OutputFile output;
  if (!output.create(output_path)) {
    port.message_box(kUnableToOpenFiles, kFileIoErrorCaption);
    return false;
  }
  // The partial output is discarded with `output` on failure.
  if (!convert_into(converter, in, output.sink(), batch, folder_of(output_path), port)) {
    return false;
  }
  if (!output.commit()) {
    port.message_box(kUnableToWriteFiles, kFileIoErrorCaption);
    return false;
  }
  return true;
}

// The content document goes into a file of this conversion's own, without a name, in the
// archive's folder: the packer reads it by descriptor, so that no other conversion (another
// process in the same folder) can put its document in this one's place.
bool write_archive(const ConverterSpec& converter, ByteSource& in, const BatchState& batch,
                   const std::string& archive_path, Port& port) {
  std::string folder = folder_of(archive_path);
  ScratchFile content;
  struct stat info;
  bool folder_in_the_way = ::stat(archive_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
  if (folder_in_the_way || !content.create(folder)) {
    port.message_box(kUnableToOpenFiles, kFileIoErrorCaption);
    return false;
  }
  {
    FdSink sink(content.descriptor());
    if (!convert_into(converter, in, sink, batch, folder, port)) return false;
  }
  if (!port.pack(archive_path, content.descriptor())) {
    port.message_box(kUnableToWriteFiles, kFileIoErrorCaption);
    return false;
  }
  return true;
}

void convert_file(const ConverterSpec& converter, const BatchState& batch, Port& port,
                  OutputsWritten& written) {
  InputFile input;
  if (!input.open(batch.filepathname)) {
    port.message_box(kUnableToOpenFiles, kFileIoErrorCaption);
    return;
  }
  ByteSource in = input.source();
  if (!pass_prefix(converter.prefix, in)) {
    // A file too short for the prefix is only a mismatch if it was read to its real end.
    port.message_box(in.read_error() ? kUnableToReadFiles : prefix_message(converter.prefix),
                     kFileIoErrorCaption);
    return;
  }

  // What a rename over the output's name would replace, compared with the input by file, not
  // by name: a link, another spelling of the path, a folder reached twice.
  std::string output_path = output_path_for(converter, batch.filepathname);
  std::optional<FileIdentity> output = entry_identity(output_path);
  std::optional<FileIdentity> input_file = descriptor_identity(input.descriptor());
  if (output && (output == input_file || output == entry_identity(batch.filepathname))) {
    port.message_box(output_replaces_input_message(output_path), kFileIoErrorCaption);
    return;
  }
  // The same input named twice may write its output again; another input may not.
  const OutputsWritten::Source* earlier = written.source_of(output);
  if (earlier != nullptr && !(input_file && earlier->input == input_file)) {
    port.message_box(
        output_written_twice_message(batch.filepathname, output_path, earlier->input_path),
        kFileIoErrorCaption);
    return;
  }

  bool done = converter.kind == OutputKind::sxw
                  ? write_archive(converter, in, batch, output_path, port)
                  : write_output(converter, in, batch, output_path, port);
  if (done) written.record(output_path, {batch.filepathname, input_file});
}

}  // namespace

void run_converter(const ConverterSpec& converter, const BatchState& batch, Port& port,
                   OutputsWritten& written) {
  // Memory that runs out fails this output only; what was made of it is discarded on the way.
  try {
    convert_file(converter, batch, port, written);
  } catch (const std::bad_alloc&) {
    port.message_box(kNotEnoughMemory, kFileIoErrorCaption);
  }
}

void run_converter(const ConverterSpec& converter, const BatchState& batch, Port& port) {
  OutputsWritten written;
  run_converter(converter, batch, port, written);
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
  StringSink sink(result.output);
  TextWriter out(sink);
  converter.body(in, out, DocumentInfo{title});
  out.flush();
  return result;
}

}  // namespace quorrel
