// Killing the command-line program at any moment of a batch never leaves a partial file under
// a final output name: each output is complete or absent (or still the earlier one), the only
// leftovers are temporary files named .quorrel-partial-*, and the next run succeeds.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <map>
#include <set>

#include "convert/registry.h"
#include "io/output_file.h"
#include "output/skeleton.h"
#include "random_documents.h"
#include "recognition/identify.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::TempDir;

bool is_temporary(const std::string& name) { return name.starts_with(kTemporaryPrefix); }

std::set<std::string> temporaries_in(const std::vector<std::filesystem::path>& folders) {
  std::set<std::string> found;
  for (const auto& folder : folders) {
    for (const std::string& name : testing::list_folder(folder)) {
      if (is_temporary(name)) found.insert((folder / name).string());
    }
  }
  return found;
}

// Starts the program with its standard output on a pipe and kills it with SIGKILL after
// `lines` lines of it (each an output started), or, with `mid_write`, once after that a new
// temporary file has appeared in one of `folders`: an output being written. True when it was
// killed before it ended.
bool run_and_kill(const std::vector<std::string>& args, int lines, bool mid_write,
                  const std::vector<std::filesystem::path>& folders) {
  std::set<std::string> earlier = temporaries_in(folders);
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return false;
  pid_t child = ::fork();
  if (child == 0) {
    ::dup2(pipe_ends[1], STDOUT_FILENO);
    ::close(pipe_ends[0]);
    ::close(pipe_ends[1]);
    std::vector<char*> argv;
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(pipe_ends[1]);
  int seen = 0;
  char c;
  while (seen < lines && ::read(pipe_ends[0], &c, 1) == 1) seen += c == '\n';
  int status = 0;
  bool running = seen == lines;
  while (running && mid_write && temporaries_in(folders).size() <= earlier.size()) {
    running = ::waitpid(child, &status, WNOHANG) == 0;
  }
  bool killed = running && ::kill(child, SIGKILL) == 0;
  ::close(pipe_ends[0]);
  if (running) ::waitpid(child, &status, 0);
  return killed && WIFSIGNALED(status);
}

class KilledBatch : public ::testing::Test {
 protected:
  KilledBatch() : here_(work.path()) {
    // Every generation, a quarter of a megabyte each, under names whose archives differ.
    const char* names[] = {"a.txt", "b.wp", "c.w51", "d.wpd", "e"};
    const FormatCode formats[] = {TYPE_UNKNOWN, TYPE_WP, TYPE_W51, TYPE_WPD};
    for (std::uint32_t i = 0; i < 5; ++i) {
      std::string bytes =
          examples::random_document(formats[i % 4], 1 << 20, i + 1, examples::Shape::text_heavy);
      std::string path = docs.file(names[i]);
      testing::write_file(path, bytes);
      inputs[names[i]] = bytes;
      args.push_back(path);
      ByteSource in = ByteSource::from_memory(inputs[names[i]]);
      FormatCode format = identify(in);
      for (OutputKind kind : {OutputKind::text, OutputKind::html, OutputKind::sxw}) {
        const ConverterSpec& converter = converter_for(kind, format);
        std::string output = convert_memory(converter, bytes, names[i]).output;
        std::string final_path = output_path_for(converter, path);
        expected[std::filesystem::path(final_path).filename().string()] = output;
      }
    }
  }

  // Every file under a final name is an untouched input or a complete output.
  void expect_nothing_partial() {
    for (const std::string& name : testing::list_folder(docs.path())) {
      if (is_temporary(name)) continue;
      std::string bytes = testing::read_file(docs.file(name));
      if (inputs.count(name) > 0) {
        EXPECT_EQ(bytes, inputs[name]) << name;
      } else if (name.ends_with(".sxw")) {
        EXPECT_EQ(testing::content_of(docs.file(name)), expected[name]) << name;
      } else {
        ASSERT_EQ(expected.count(name), 1u) << "unexpected file " << name;
        EXPECT_EQ(bytes, expected[name]) << name;
      }
    }
    // Nothing is written in the current directory.
    for (const std::string& name : testing::list_folder(work.path())) {
      ADD_FAILURE() << "file in the current directory: " << name;
    }
  }

  TempDir docs, work;
  // One file at a time: with parallel jobs the listing runs behind the writing, so "after the
  // 12th line" could be after the last output.
  std::vector<std::string> args = {testing::cli_program(), "-j", "1", "--txt", "--html", "--sxw"};
  std::map<std::string, std::string> inputs, expected;  // by bare name

 private:
  testing::CurrentDirectory here_;
};

TEST_F(KilledBatch, EveryOutputIsCompleteOrAbsentAndTheNextRunSucceeds) {
  // The batch writes 15 outputs, listed a file at a time; kill it after each of these, and
  // while the next is written.
  for (int lines : {1, 4, 8, 12}) {
    for (bool mid_write : {false, true}) {
      EXPECT_TRUE(run_and_kill(args, lines, mid_write, {docs.path(), work.path()}))
          << "the batch ended before output " << lines;
      expect_nothing_partial();
    }
  }
  // Killed runs leave their temporary files, named so that they cannot be taken for outputs.
  EXPECT_FALSE(temporaries_in({docs.path(), work.path()}).empty());
  testing::ChildResult last = testing::run_program(args);
  EXPECT_EQ(last.exit_status, 0);
  expect_nothing_partial();
  for (const auto& [name, bytes] : expected) {
    EXPECT_TRUE(testing::exists(docs.file(name))) << name;
  }
}

TEST_F(KilledBatch, KilledWhilePackingLeavesTheOldArchive) {
  // An archive with a large stored member takes a while to copy and rewrite; kill the program
  // as soon as the new archive's temporary file appears beside it.
  std::string archive = docs.file("d.sxw");
  ASSERT_EQ(testing::run_program({testing::cli_program(), "--sxw", docs.file("d.wpd")}).exit_status,
            0);
  {
    // A 48 MiB member that is stored as it is.
    std::string big(48 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 2654435761u >> 24);
    int error = 0;
    zip_t* zip = zip_open(archive.c_str(), 0, &error);
    ASSERT_NE(zip, nullptr);
    zip_int64_t index =
        zip_file_add(zip, "big.bin", zip_source_buffer(zip, big.data(), big.size(), 0), 0);
    ASSERT_GE(index, 0);
    zip_set_file_compression(zip, static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    ASSERT_EQ(zip_close(zip), 0);
  }
  std::string before = testing::read_file(archive);

  pid_t child = ::fork();
  if (child == 0) {
    std::string program = testing::cli_program();
    ::execl(program.c_str(), program.c_str(), "--sxw", docs.file("d.wpd").c_str(), nullptr);
    ::_exit(127);
  }
  bool caught = false;
  int status = 0;
  while (!caught && ::waitpid(child, &status, WNOHANG) == 0) {
    for (const std::string& name : testing::list_folder(docs.path())) caught |= is_temporary(name);
  }
  if (caught) {
    ::kill(child, SIGKILL);
    ::waitpid(child, &status, 0);
  }
  if (!caught) GTEST_SKIP() << "the packing ended before it could be interrupted";
  // The old archive, unless the kill came after the new one took its place.
  std::string after = testing::read_file(archive);
  if (after != before) {
    std::vector<testing::Member> members = testing::members_of(archive);
    ASSERT_EQ(members.size(), 4u) << "neither the old archive nor a complete new one";
    EXPECT_EQ(testing::content_of(archive), expected["d.sxw"]);
  }
  std::vector<std::string> names = testing::list_folder(docs.path());
  for (const std::string& name : names) {
    EXPECT_TRUE(inputs.count(name) > 0 || name == "d.sxw" || is_temporary(name)) << name;
  }

  ASSERT_EQ(testing::run_program({testing::cli_program(), "--sxw", docs.file("d.wpd")}).exit_status,
            0);
  std::vector<testing::Member> members = testing::members_of(archive);
  ASSERT_EQ(members.size(), 4u);
  EXPECT_TRUE(std::any_of(members.begin(), members.end(),
                          [](const testing::Member& member) { return member.name == "big.bin"; }));
  EXPECT_EQ(testing::content_of(archive), expected["d.sxw"]);
}

}  // namespace
}  // namespace quorrel
