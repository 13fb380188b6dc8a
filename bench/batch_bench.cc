// The batch engine's own cost. Two modes:
//   quorrel-batch-bench make DIR COUNT     writes COUNT documents of about 20 KB into DIR, a
//                                          quarter of each generation (for whole-process runs)
//   quorrel-batch-bench overhead COUNT     per-file cost of the engine and the command line's
//                                          reporter beyond the conversion itself
// The overhead is the time of a batch through batch::run with one job, less the time of the
// same conversions called directly (open, identify, convert each output), per file: the median
// of seven rounds of each, taken in turn.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "batch/engine.h"
#include "batch_documents.h"
#include "cli/cli_reporter.h"
#include "convert/registry.h"
#include "io/input_file.h"
#include "output/skeleton.h"
#include "recognition/identify.h"

namespace {

using namespace quorrel;
using Clock = std::chrono::steady_clock;

const OutputKind kKinds[] = {OutputKind::text, OutputKind::html, OutputKind::sxw};

double direct(const std::vector<std::string>& paths) {
  auto start = Clock::now();
  std::string bytes;
  for (const std::string& path : paths) {
    InputFile file;
    if (!file.open(path) || !file.read_small(bytes)) std::abort();
    ByteSource probe = ByteSource::from_memory(bytes);
    FormatCode format = identify(probe);
    std::string title = path.substr(path.rfind('/') + 1);
    for (OutputKind kind : kKinds) {
      const ConverterSpec& converter = converter_for(kind, format);
      ByteSource in = ByteSource::from_memory(bytes);
      if (convert_to_file(converter, in, output_path_for(converter, path), title).status !=
          ConvertStatus::ok) {
        std::abort();
      }
    }
  }
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double engine(const std::vector<std::string>& paths, std::FILE* sink) {
  batch::Request request;
  for (const std::string& path : paths) {
    request.files.push_back({path, path, path.substr(path.rfind('/') + 1)});
  }
  request.outputs = {kKinds[0], kKinds[1], kKinds[2]};
  request.jobs = 1;
  auto start = Clock::now();
  cli::CliReporter reporter(sink, sink, paths.size(), {});
  batch::Summary summary = batch::run(request, reporter);
  reporter.finish(summary);
  if (summary.outputs_failed != 0) std::abort();
  return std::chrono::duration<double>(Clock::now() - start).count();
}

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "make" && argc == 4) {
    make_batch_documents(argv[2], std::atoi(argv[3]));
    return 0;
  }
  if (mode != "overhead" || argc != 3) {
    std::fprintf(stderr, "usage: %s make DIR COUNT | overhead COUNT\n", argv[0]);
    return 2;
  }
  int count = std::atoi(argv[2]);
  const char* tmp = std::getenv("TMPDIR");
  std::string folder = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") + "/quorrel-batch-bench-" +
                       std::to_string(::getpid());
  std::vector<std::string> paths = make_batch_documents(folder, count);
  std::FILE* sink = std::fopen("/dev/null", "w");
  direct(paths);  // outputs exist from here on: every round replaces them
  std::vector<double> direct_times, engine_times;
  for (int round = 0; round < 7; ++round) {
    direct_times.push_back(direct(paths));
    engine_times.push_back(engine(paths, sink));
  }
  double per_file_direct = median(direct_times) / count * 1e6;
  double per_file_engine = median(engine_times) / count * 1e6;
  std::printf("%-52s %12.1f\n", "conversion alone, us per file (3 outputs)", per_file_direct);
  std::printf("%-52s %12.1f\n", "through the batch engine, us per file", per_file_engine);
  std::printf("%-52s %12.1f\n", "batch overhead, us per file (target <= 50)",
              per_file_engine - per_file_direct);
  std::filesystem::remove_all(folder);
  return 0;
}
