// Throughput of every converter and of identification on in-memory documents, one core.
// Documents are generated deterministically, so runs on the same machine are comparable.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "convert/registry.h"
#include "counting_sink.h"
#include "io/output_file.h"
#include "output/odt_from_sxw.h"
#include "output/odt_package.h"
#include "output/skeleton.h"
#include "output/sxw_package.h"
#include "random_documents.h"
#include "recognition/identify.h"
#include "recognition/prefix.h"
#include "scratch_folder.h"

namespace quorrel {
namespace {

constexpr std::size_t kDocumentSize = 100 * 1024 * 1024;

const std::string& document(FormatCode format, examples::Shape shape) {
  static std::map<std::pair<int, int>, std::string> cache;
  auto key = std::make_pair(static_cast<int>(format), static_cast<int>(shape));
  auto found = cache.find(key);
  if (found == cache.end()) {
    found = cache.emplace(key, examples::random_document(format, kDocumentSize, 1, shape)).first;
  }
  return found->second;
}

void convert(benchmark::State& state, OutputKind kind, FormatCode format, examples::Shape shape) {
  const ConverterSpec& converter = converter_for(kind, format);
  const std::string& input = document(format, shape);
  for (auto _ : state) {
    ByteSource in = ByteSource::from_memory(input);
    if (converter.prefix != PrefixRule::none) check_and_skip_prefix(in);
    CountingSink sink;
    TextWriter out(sink);
    converter.body(in, out, DocumentInfo{"bench"});
    out.flush();
    benchmark::DoNotOptimize(sink.bytes);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

// The whole SXW output as a user gets it: the content written, then packed into the archive.
void convert_sxw_packed(benchmark::State& state, FormatCode format, examples::Shape shape) {
  const ConverterSpec& converter = converter_for(OutputKind::sxw, format);
  const std::string& input = document(format, shape);
  std::string archive = scratch_folder() + "/bench.sxw";
  for (auto _ : state) {
    std::filesystem::remove(archive);
    ByteSource in = ByteSource::from_memory(input);
    if (convert_to_file(converter, in, archive, "bench").status != ConvertStatus::ok) {
      state.SkipWithError("packing failed");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

// The whole ODT output of the exact reading: the same content carried into ODF as it is
// written, then packed.
void convert_odt(benchmark::State& state, FormatCode format, examples::Shape shape) {
  const ConverterSpec& converter = converter_for(OutputKind::sxw, format);
  const std::string& input = document(format, shape);
  std::string package = scratch_folder() + "/bench.odt";
  for (auto _ : state) {
    ByteSource in = ByteSource::from_memory(input);
    if (converter.prefix != PrefixRule::none) check_and_skip_prefix(in);
    odt::SxwToOdt odt(scratch_folder(), "bench");
    TextWriter out(odt);
    converter.body(in, out, DocumentInfo{"bench"});
    out.flush();
    OutputFile file;
    if (!odt.finish() || !file.create(package) ||
        !odt::write_odt_package(file.descriptor(), odt.parts()) || !file.commit()) {
      state.SkipWithError("the ODT output failed");
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

void identify_document(benchmark::State& state) {
  // A prefixed document without a carriage return is read to its end.
  const std::string& input = document(TYPE_WPD, examples::Shape::text_heavy);
  for (auto _ : state) {
    ByteSource in = ByteSource::from_memory(input);
    benchmark::DoNotOptimize(identify(in));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * input.size()));
}

// The machine is usually shared: several repetitions, and their median is the figure to
// read (CPU time, so that waiting for a core does not count).
void configure(benchmark::internal::Benchmark* benchmark) {
  benchmark->Unit(benchmark::kMillisecond)->MinTime(0.5)->Repetitions(5)->ReportAggregatesOnly();
}

void register_all() {
  static const std::pair<FormatCode, const char*> formats[] = {
      {TYPE_UNKNOWN, "any"}, {TYPE_WP, "wp"}, {TYPE_W51, "w51"}, {TYPE_WPD, "wpd"}};
  static const std::pair<OutputKind, const char*> kinds[] = {
      {OutputKind::text, "txt"}, {OutputKind::html, "html"}, {OutputKind::sxw, "xml"}};
  static const std::pair<examples::Shape, const char*> shapes[] = {
      {examples::Shape::text_heavy, "text_heavy"},
      {examples::Shape::code_heavy, "code_heavy"},
      {examples::Shape::worst_case, "worst_case"}};
  for (auto [shape, shape_name] : shapes) {
    for (auto [format, format_name] : formats) {
      for (auto [kind, kind_name] : kinds) {
        std::string name = std::string(format_name) + "2" + kind_name + "/" + shape_name;
        configure(benchmark::RegisterBenchmark(name.c_str(), convert, kind, format, shape));
      }
      // The packaged outputs, whose times compare: ODT may cost at most 1.3 times SXW. Their
      // CPU time is the process's, so that the SXW content written on a second thread counts.
      std::string packed = std::string(format_name) + "2sxw_packed/" + shape_name;
      configure(benchmark::RegisterBenchmark(packed.c_str(), convert_sxw_packed, format, shape)
                    ->MeasureProcessCPUTime());
      std::string odt = std::string(format_name) + "2odt/" + shape_name;
      configure(benchmark::RegisterBenchmark(odt.c_str(), convert_odt, format, shape)
                    ->MeasureProcessCPUTime());
    }
  }
  configure(benchmark::RegisterBenchmark("identify_file/text_heavy", identify_document));
}

}  // namespace
}  // namespace quorrel

int main(int argc, char** argv) {
  quorrel::register_all();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
