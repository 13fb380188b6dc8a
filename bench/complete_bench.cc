// Throughput of the complete reading, one core: a generated 5.x or 6.x document shaped like
// real ones read by its reader into each writer in memory, and into each packaged output from
// its file as a user converts it. Bytes are the input's.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "batch/complete_conversion.h"
#include "counting_sink.h"
#include "document/builder.h"
#include "io/document_bytes.h"
#include "output/sink.h"
#include "readers/read_document.h"
#include "scratch_folder.h"
#include "wp5_documents.h"
#include "wp6_documents.h"
#include "writers/html_writer.h"
#include "writers/plain_text_writer.h"
#include "writers/sxw_writer.h"

namespace quorrel {
namespace {

using readers::Generation;

constexpr std::size_t kDocumentSize = 50 * 1024 * 1024;

const std::string& document(Generation generation) {
  static const std::string wp5 = examples::make_wp5_document(kDocumentSize, 1);
  static const std::string wp6 = examples::make_wp6_document(kDocumentSize, 1);
  return generation == Generation::wp5 ? wp5 : wp6;
}

enum class Kind { text, html, sxw };

std::unique_ptr<document::DocumentSink> writer_for(Kind kind, Sink& sink) {
  switch (kind) {
    case Kind::text:
      return std::make_unique<writers::PlainTextWriter>(sink);
    case Kind::html:
      return std::make_unique<writers::HtmlWriter>(sink, "bench");
    case Kind::sxw:
      return std::make_unique<writers::SxwContentWriter>(sink);
  }
  return nullptr;
}

void read_into(benchmark::State& state, Generation generation, Kind kind) {
  const std::string& input = document(generation);
  for (auto _ : state) {
    DocumentBytes bytes = DocumentBytes::from_memory(input);
    CountingSink sink;
    auto writer = writer_for(kind, sink);
    document::DocumentBuilder builder(*writer);
    readers::ReadResult result = readers::read_document(bytes, generation, {}, builder);
    builder.finish();
    if (result.status != readers::ReadStatus::complete) state.SkipWithError("not read whole");
    benchmark::DoNotOptimize(sink.bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

// The packaged output from the document's file to the archive beside it, as the command line
// writes it: an ODT may cost at most 1.3 times the SXW. Process CPU time, so that work on
// another thread counts too.
void package(benchmark::State& state, Generation generation, OutputKind kind) {
  const std::string& input = document(generation);
  std::string path =
      scratch_folder() + (generation == Generation::wp5 ? "/bench.wp" : "/bench.wpd");
  if (!std::filesystem::exists(path)) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool written =
        file != nullptr && std::fwrite(input.data(), 1, input.size(), file) == input.size();
    if (file == nullptr || std::fclose(file) != 0 || !written)
      state.SkipWithError("no document file");
  }
  CompleteRequest request;
  request.input_path = path;
  request.outputs = {kind};
  request.generation = generation;
  for (auto _ : state) {
    // An archive already there would be updated, not written anew.
    std::filesystem::remove(complete_output_path(kind, generation, path));
    CompleteResult result = convert_complete(request);
    if (!result.outputs[0].written) state.SkipWithError("the output was not written");
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

// The packaged outputs compare in pairs: several repetitions, and the process's CPU time.
void packaged(benchmark::internal::Benchmark* b) {
  b->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly()->MeasureProcessCPUTime();
}

}  // namespace

BENCHMARK_CAPTURE(read_into, wp5_text, Generation::wp5, Kind::text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_into, wp5_html, Generation::wp5, Kind::html)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_into, wp5_sxw, Generation::wp5, Kind::sxw)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_into, wp6_text, Generation::wp6, Kind::text)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_into, wp6_html, Generation::wp6, Kind::html)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_into, wp6_sxw, Generation::wp6, Kind::sxw)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(package, wp5_sxw, Generation::wp5, OutputKind::sxw)->Apply(packaged);
BENCHMARK_CAPTURE(package, wp5_odt, Generation::wp5, OutputKind::odt)->Apply(packaged);
BENCHMARK_CAPTURE(package, wp6_sxw, Generation::wp6, OutputKind::sxw)->Apply(packaged);
BENCHMARK_CAPTURE(package, wp6_odt, Generation::wp6, OutputKind::odt)->Apply(packaged);

}  // namespace quorrel

BENCHMARK_MAIN();
