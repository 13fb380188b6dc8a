#include "batch/complete_conversion.h"

#include <memory>

#include "convert/registry.h"
#include "document/builder.h"
#include "io/document_bytes.h"
#include "io/output_file.h"
#include "io/spool.h"
#include "output/odt_package.h"
#include "output/skeleton.h"
#include "output/sxw_package.h"
#include "readers/read_document.h"
#include "writers/html_writer.h"
#include "writers/odt_writer.h"
#include "writers/plain_text_writer.h"
#include "writers/sxw_writer.h"
#include "writers/tee.h"

namespace quorrel {

namespace {

constexpr std::string_view kCannotOpenInput = "cannot open the input: ";
constexpr std::string_view kCannotReadInput = "cannot read the input to its end";
constexpr std::string_view kCannotWriteOutput = "cannot write the output";

using readers::Generation;
using readers::ReadStatus;

// The exact reading's format code for a generation, whose converters name the archives.
FormatCode format_of(Generation generation) {
  switch (generation) {
    case Generation::plain:
    case Generation::other_product:
      return TYPE_UNKNOWN;
    case Generation::wp42:
      return TYPE_WP;
    case Generation::wp5:
    case Generation::wp5_far_east:
      return TYPE_W51;
    case Generation::wp6:
    case Generation::wp6_ole:
    case Generation::mac:
    case Generation::mac1:
      return TYPE_WPD;
  }
  return TYPE_UNKNOWN;
}

std::string file_name_of(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// One output being written: its temporary file and the writer that fills it. A package's
// writer holds its parts itself (beside the output) and they are packed into the temporary
// file once the document has ended.
struct OpenOutput {
  CompleteOutput* report;
  OutputFile file;
  // An archive's content document, this conversion's own: in memory, or when large in an
  // unnamed file beside the archive.
  std::unique_ptr<Spool> content;
  std::unique_ptr<document::DocumentSink> writer;
  bool (*writer_ok)(const document::DocumentSink&);
};

template <typename Writer>
bool writer_ok(const document::DocumentSink& sink) {
  return static_cast<const Writer&>(sink).ok();
}

void fail_all(CompleteResult& result, const std::string& why) {
  for (CompleteOutput& output : result.outputs) {
    if (!output.written && output.failure.empty()) output.failure = why;
  }
}

}  // namespace

std::string complete_output_path(OutputKind kind, Generation generation,
                                 const std::string& input_path) {
  const ConverterSpec& converter = converter_for(kind, format_of(generation));
  if (kind == OutputKind::sxw) return archive_path_for(converter.archive, input_path);
  return output_path_for(converter, input_path);
}

CompleteResult convert_complete(const CompleteRequest& request) {
  CompleteResult result;
  DocumentBytes input;
  std::string reason;
  bool opened = input.open(request.input_path, reason);
  if (opened) {
    result.generation = request.generation ? *request.generation
                                           : readers::detect_generation(input.bytes());
  }
  const std::string& stem = request.output_stem.empty() ? request.input_path : request.output_stem;
  for (OutputKind kind : request.outputs) {
    CompleteOutput& output = result.outputs.emplace_back();
    output.kind = kind;
    output.path = complete_output_path(kind, result.generation, stem);
  }
  if (!opened) {
    result.problem = std::string(kCannotOpenInput) + reason;
    fail_all(result, result.problem);
    return result;
  }

  std::vector<std::unique_ptr<OpenOutput>> open_outputs;
  writers::TeeSink tee;
  const std::string title = file_name_of(request.input_path);
  for (CompleteOutput& output : result.outputs) {
    if (request.may_write && !request.may_write(output.kind, output.path)) {
      output.refused = true;
      output.failure = "refused";
      continue;
    }
    auto open = std::make_unique<OpenOutput>();
    open->report = &output;
    bool created;
    if (output.kind == OutputKind::sxw) {
      created = can_take_output(output.path);
      if (created) open->content = std::make_unique<Spool>(folder_of(output.path));
    } else {
      created = open->file.create(output.path);
    }
    if (!created) {
      output.failure = std::string(kCannotWriteOutput);
      continue;
    }
    Sink& sink = open->content ? static_cast<Sink&>(*open->content) : open->file.sink();
    switch (output.kind) {
      case OutputKind::text:
        open->writer = std::make_unique<writers::PlainTextWriter>(sink);
        open->writer_ok = &writer_ok<writers::PlainTextWriter>;
        break;
      case OutputKind::html:
        open->writer = std::make_unique<writers::HtmlWriter>(sink, title);
        open->writer_ok = &writer_ok<writers::HtmlWriter>;
        break;
      case OutputKind::sxw:
        open->writer = std::make_unique<writers::SxwContentWriter>(sink);
        open->writer_ok = &writer_ok<writers::SxwContentWriter>;
        break;
      case OutputKind::odt:
        open->writer = std::make_unique<writers::OdtWriter>(folder_of(output.path), title);
        open->writer_ok = &writer_ok<writers::OdtWriter>;
        break;
    }
    tee.add(*open->writer);
    open_outputs.push_back(std::move(open));
  }

  document::DocumentBuilder builder(tee);
  readers::ReadResult read =
      readers::read_document(input, result.generation, request.read_options, builder);
  builder.finish();

  if (input.lost()) {
    read.status = ReadStatus::unsupported;
    read.message = std::string(kCannotReadInput);
  }
  if (read.status != ReadStatus::complete) result.problem = read.message;
  // Nothing was read: a file that says nothing of the document must not stand for it.
  if (read.status != ReadStatus::complete && read.status != ReadStatus::damaged) {
    fail_all(result, result.problem);
    return result;  // the temporary files go with open_outputs
  }

  for (auto& open : open_outputs) {
    CompleteOutput& output = *open->report;
    bool stored = open->writer_ok(*open->writer);
    if (output.kind == OutputKind::sxw) {
      stored = stored && sxw::pack(output.path, *open->content);
    } else if (output.kind == OutputKind::odt) {
      stored = stored &&
               odt::write_odt_package(
                   open->file.descriptor(),
                   static_cast<const writers::OdtWriter&>(*open->writer).parts()) &&
               open->file.commit();
    } else {
      stored = stored && open->file.commit();
    }
    if (stored) {
      output.written = true;
    } else {
      output.failure = std::string(kCannotWriteOutput);
    }
  }
  return result;
}

}  // namespace quorrel
