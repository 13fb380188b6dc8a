#include "batch/engine.h"

#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <thread>

#include "convert/registry.h"
#include "example_documents.h"
#include "output/skeleton.h"
#include "random_documents.h"
#include "test_support.h"

namespace quorrel::batch {
namespace {

using testing::TempDir;

// Every call a reporter gets, one line each, with the folder of the run taken out of paths.
class Recorder final : public Reporter {
 public:
  explicit Recorder(std::string folder, std::size_t stop_after = SIZE_MAX)
      : folder_(std::move(folder)), stop_after_(stop_after) {}

  void output_started(const FileJob& job, const FileOutcome&, const OutputOutcome& output) override {
    log.push_back("started " + local(job.input) + " " + local(output.path));
  }
  void output_written(const FileJob&, const FileOutcome& file, const OutputOutcome& output) override {
    log.push_back("written " + std::string(file.generation) + " " +
                  std::to_string(output.bytes_out));
  }
  void output_failed(const FileJob&, const FileOutcome&, const OutputOutcome& output) override {
    log.push_back("failed " + std::to_string(static_cast<int>(output.failure)) + " " +
                  local(output.earlier_input));
  }
  void file_finished(const FileJob& job, const FileOutcome& file) override {
    log.push_back("finished " + local(job.input) + " #" + std::to_string(file.index));
    ++files;
  }
  bool keep_going() override { return files < stop_after_; }

  std::vector<std::string> log;
  std::size_t files = 0;

 private:
  std::string local(const std::string& path) const {
    return path.starts_with(folder_) ? path.substr(folder_.size()) : path;
  }
  std::string folder_;
  std::size_t stop_after_;
};

std::map<std::string, std::string> folder_contents(const std::filesystem::path& folder) {
  std::map<std::string, std::string> contents;
  for (const std::string& name : testing::list_folder(folder)) {
    std::string path = (folder / name).string();
    if (name.ends_with(".odt")) {
      // The package's members and their bytes; its headers carry the time it was written.
      std::string members;
      for (const testing::Member& member : testing::members_of(path)) {
        members += member.name + '\n' + member.bytes + '\n';
      }
      contents[name] = members;
    } else {
      contents[name] =
          name.ends_with(".sxw") ? testing::content_of(path) : testing::read_file(path);
    }
  }
  return contents;
}

// A batch of every generation under names that collide: archives shared between inputs, an
// input that is another input's output, a missing file and a document listed twice.
std::vector<std::pair<std::string, std::string>> awkward_batch() {
  std::vector<std::pair<std::string, std::string>> files;
  const FormatCode formats[] = {TYPE_UNKNOWN, TYPE_WP, TYPE_W51, TYPE_WPD};
  for (std::uint32_t i = 0; i < 24; ++i) {
    const char* extensions[] = {".txt", ".wp", ".w51", ".wpd"};
    files.push_back({"doc" + std::to_string(i) + extensions[i % 4],
                     examples::random_document(formats[i % 4], 3000 + 500 * i, i + 1,
                                               examples::Shape::text_heavy)});
  }
  files.push_back({"same.wp", examples::AncientWpBuilder().text("ancient").file()});
  files.push_back({"same.wpd", examples::WpdBuilder().text("six").file()});
  files.push_back({"a", "plain a"});
  files.push_back({"a.txt", "plain a.txt, replaced by a's text output in input order"});
  return files;
}

Request request_for(const TempDir& dir, const std::vector<std::pair<std::string, std::string>>& files,
                    unsigned jobs) {
  Request request;
  for (const auto& [name, bytes] : files) {
    testing::write_file(dir.file(name), bytes);
    request.files.push_back({dir.file(name), dir.file(name), name});
  }
  request.files.push_back({dir.file("missing.wpd"), dir.file("missing.wpd"), "missing.wpd"});
  request.files.push_back(request.files.front());  // listed twice
  request.outputs = {OutputKind::text, OutputKind::html, OutputKind::sxw, OutputKind::odt};
  request.jobs = jobs;
  return request;
}

TEST(Engine, ParallelJobsGiveTheResultsAndReportsOfOne) {
  auto files = awkward_batch();
  TempDir one;
  Request serial = request_for(one, files, 1);
  Recorder serial_log(one.path().string());
  Summary serial_summary = run(serial, serial_log);
  for (unsigned jobs : {2u, 3u, 8u}) {
    TempDir many;
    Request parallel = request_for(many, files, jobs);
    Recorder parallel_log(many.path().string());
    Summary summary = run(parallel, parallel_log);
    EXPECT_EQ(parallel_log.log, serial_log.log) << jobs;
    EXPECT_EQ(folder_contents(many.path()), folder_contents(one.path())) << jobs;
    EXPECT_EQ(summary.outputs_written, serial_summary.outputs_written);
    EXPECT_EQ(summary.files_failed, serial_summary.files_failed);
  }
  // The reports come file by file in input order, each output started before its result.
  ASSERT_EQ(serial_log.log.size(), serial.files.size() * 9);
  for (std::size_t i = 0; i < serial.files.size(); ++i) {
    const std::string& name = serial.files[i].title;
    EXPECT_EQ(serial_log.log[i * 9 + 6], "started /" + name + " /" + name + ".odt");
    EXPECT_EQ(serial_log.log[i * 9 + 8].substr(0, 9), "finished ");
    EXPECT_TRUE(serial_log.log[i * 9 + 8].ends_with("#" + std::to_string(i)));
  }
  EXPECT_EQ(serial_summary.files_done, serial.files.size());
  EXPECT_FALSE(serial_summary.stopped);
  // a's text output replaced the input a.txt before a.txt was read.
  EXPECT_EQ(testing::read_file(one.file("a.txt.txt")), "plain a");
}

// The default jobs are the processors the process may run on, not those the machine has.
TEST(Engine, UsableProcessorsFollowTheAffinity) {
  cpu_set_t allowed;
  ASSERT_EQ(sched_getaffinity(0, sizeof allowed, &allowed), 0);
  EXPECT_EQ(usable_processors(), static_cast<unsigned>(CPU_COUNT(&allowed)));
  unsigned on_one = 0;
  std::thread restricted([&] {
    cpu_set_t one;
    CPU_ZERO(&one);
    for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu) {
      if (CPU_ISSET(cpu, &allowed)) {
        CPU_SET(cpu, &one);
        break;
      }
    }
    if (pthread_setaffinity_np(pthread_self(), sizeof one, &one) == 0) on_one = usable_processors();
  });
  restricted.join();
  EXPECT_EQ(on_one, 1u);
}

TEST(Engine, AnOutputWrittenTwiceIsReportedForTheLaterFile) {
  TempDir dir;
  testing::write_file(dir.file("same.wp"), examples::AncientWpBuilder().text("ancient").file());
  testing::write_file(dir.file("same.wpd"), examples::WpdBuilder().text("six").file());
  Request request;
  request.outputs = {OutputKind::sxw};
  for (const char* name : {"same.wp", "same.wpd"}) {
    request.files.push_back({dir.file(name), dir.file(name), name});
  }
  struct Failures : Reporter {
    std::vector<OutputOutcome> failed;
    void output_failed(const FileJob&, const FileOutcome&, const OutputOutcome& o) override {
      failed.push_back(o);
    }
  } failures;
  for (unsigned jobs : {1u, 2u}) {
    failures.failed.clear();
    request.jobs = jobs;
    run(request, failures);
    ASSERT_EQ(failures.failed.size(), 1u);
    EXPECT_EQ(failures.failed[0].failure, Failure::written_before);
    EXPECT_EQ(failures.failed[0].path, dir.file("same.sxw"));
    EXPECT_EQ(failures.failed[0].earlier_input, dir.file("same.wp"));
    EXPECT_NE(testing::content_of(dir.file("same.sxw")).find(">ancient"), std::string::npos);
  }
}

TEST(Engine, AnOutputThatIsItsOwnInputIsRefused) {
  TempDir dir;
  testing::write_file(dir.file("b"), "words");
  ASSERT_EQ(::link(dir.file("b").c_str(), dir.file("b.txt").c_str()), 0);
  Request request;
  request.outputs = {OutputKind::text};
  request.files.push_back({dir.file("b"), dir.file("b"), "b"});
  Recorder recorder(dir.path().string());
  Summary summary = run(request, recorder);
  EXPECT_EQ(summary.outputs_failed, 1u);
  EXPECT_EQ(recorder.log[1], "failed " + std::to_string(static_cast<int>(Failure::replaces_input)) + " ");
  EXPECT_EQ(testing::read_file(dir.file("b")), "words");
}

TEST(Engine, StoppingReportsEverythingWrittenAndNothingMore) {
  for (unsigned jobs : {1u, 2u, 4u}) {
    TempDir dir;
    Request request;
    request.outputs = {OutputKind::text};
    request.jobs = jobs;
    request.keep_caller_free = jobs == 2;
    for (int i = 0; i < 200; ++i) {
      std::string name = "f" + std::to_string(i);
      testing::write_file(dir.file(name), "text " + name);
      request.files.push_back({dir.file(name), dir.file(name), name});
    }
    Recorder recorder(dir.path().string(), 3);
    Summary summary = run(request, recorder);
    EXPECT_TRUE(summary.stopped);
    EXPECT_GE(summary.files_done, 3u);
    EXPECT_LT(summary.files_done, 200u);
    EXPECT_EQ(summary.files_done + summary.files_not_started, 200u);
    // Every output on disk was reported, and only those.
    std::size_t outputs = testing::list_folder(dir.path()).size() - 200;
    EXPECT_EQ(outputs, summary.outputs_written) << jobs;
  }
}

// A descriptor reading `bytes`, or one to write into and read back.
int memory_file(const std::string& bytes) {
  int fd = ::memfd_create("engine-test", MFD_CLOEXEC);
  EXPECT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  ::lseek(fd, 0, SEEK_SET);
  return fd;
}

std::string contents_of(int fd) {
  std::string bytes;
  char buffer[4096];
  ::lseek(fd, 0, SEEK_SET);
  for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, got);
  return bytes;
}

TEST(Engine, StandardInputToStandardOutputGivesTheSameBytesAsAFile) {
  std::string memo = examples::WpdBuilder().text("piped").hard_return().bold("b").file();
  for (OutputKind kind : {OutputKind::text, OutputKind::html, OutputKind::sxw, OutputKind::odt}) {
    TempDir dir;
    Request request;
    request.outputs = {kind};
    request.files.push_back({"-", "-", "stdin"});
    request.standard_input = memory_file(memo);
    request.standard_output = memory_file("");
    request.temporary_folder = dir.path().string();
    Recorder recorder(dir.path().string());
    Summary summary = run(request, recorder);
    EXPECT_EQ(summary.outputs_written, 1u);
    std::string written = contents_of(request.standard_output);
    std::string expected = convert_memory(converter_for(kind, TYPE_WPD), memo, "stdin").output;
    // The package made for standard output leaves nothing in the temporary folder.
    EXPECT_TRUE(testing::list_folder(dir.path()).empty());
    if (kind == OutputKind::sxw) {
      testing::write_file(dir.file("got.sxw"), written);
      EXPECT_EQ(testing::content_of(dir.file("got.sxw")), expected);
    } else if (kind == OutputKind::odt) {
      testing::write_file(dir.file("got.odt"), written);
      testing::write_file(dir.file("expected.odt"), expected);
      testing::OdtPackage got = testing::read_odt_package(dir.file("got.odt"));
      EXPECT_EQ(got.problem, "");
      EXPECT_EQ(testing::members_of(dir.file("got.odt")),
                testing::members_of(dir.file("expected.odt")));
      EXPECT_NE(got.content.find("piped"), std::string::npos);
    } else {
      EXPECT_EQ(written, expected);
    }
    ::close(request.standard_input);
    ::close(request.standard_output);
  }
}

}  // namespace
}  // namespace quorrel::batch
