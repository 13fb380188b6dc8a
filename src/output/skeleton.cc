#include "output/skeleton.h"

#include "io/input_file.h"
#include "io/output_file.h"
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
      return "content.xml";
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

void run_converter(const ConverterSpec& converter, const BatchState& batch, Port& port) {
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

  OutputFile output;
  std::string output_path = output_path_for(converter, batch.filepathname);
  if (!output.create(output_path)) {
    port.message_box(kUnableToOpenFiles, kFileIoErrorCaption);
    return;
  }
  bool write_failed;
  {
    TextWriter out(output.sink());
    converter.body(in, out, DocumentInfo{batch.filename});
    out.flush();
    write_failed = out.failed();
  }
  if (in.read_error()) {
    port.message_box(kUnableToReadFiles, kFileIoErrorCaption);
    return;  // the partial output is discarded with `output`
  }
  if (write_failed || !output.commit()) {
    port.message_box(kUnableToWriteFiles, kFileIoErrorCaption);
    return;
  }
  if (converter.kind == OutputKind::sxw &&
      !port.pack(archive_path_for(converter.archive, batch.filepathname), output_path)) {
    port.message_box(kUnableToWriteFiles, kFileIoErrorCaption);
  }
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
