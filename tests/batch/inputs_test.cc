#include "batch/inputs.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "test_support.h"

namespace quorrel::batch {
namespace {

using testing::TempDir;

// A tree with a hidden file, a hidden folder, a link to a folder and a FIFO.
void make_tree(const TempDir& dir) {
  std::filesystem::create_directories(dir.path() / "docs/sub/deeper");
  std::filesystem::create_directories(dir.path() / "docs/.hidden");
  for (const char* name : {"docs/b.wpd", "docs/a.wpd", "docs/sub/c.wp", "docs/sub/deeper/d",
                           "docs/.dot.wpd", "docs/.hidden/e.wpd"}) {
    testing::write_file(dir.file(name), name);
  }
  std::filesystem::create_directory_symlink(dir.path() / "docs/sub", dir.path() / "docs/link");
  std::filesystem::create_directory_symlink(dir.path() / "docs", dir.path() / "docs/sub/loop");
  ASSERT_EQ(::mkfifo(dir.file("docs/pipe").c_str(), 0600), 0);
}

std::vector<std::string> inputs_of(const Inputs& inputs, const TempDir& dir) {
  std::vector<std::string> names;
  for (const FileJob& job : inputs.jobs) names.push_back(job.input.substr(dir.path().string().size()));
  return names;
}

TEST(Inputs, FoldersAreWalkedInNameOrderPassingOverHiddenNamesAndLinks) {
  TempDir dir;
  make_tree(dir);
  struct Case {
    InputOptions options;
    std::vector<std::string> expected;
  };
  for (const Case& c : std::vector<Case>{
           {{.output_folder = "", .recursive = true}, {"/docs/a.wpd", "/docs/b.wpd", "/docs/sub/c.wp", "/docs/sub/deeper/d"}},
           {{.output_folder = "", .recursive = true, .hidden = true},
            {"/docs/.dot.wpd", "/docs/.hidden/e.wpd", "/docs/a.wpd", "/docs/b.wpd", "/docs/sub/c.wp",
             "/docs/sub/deeper/d"}},
           // Each folder once on any one path: the link back to docs is not walked again.
           {{.output_folder = "", .recursive = true, .follow_links = true},
            {"/docs/a.wpd", "/docs/b.wpd", "/docs/link/c.wp", "/docs/link/deeper/d", "/docs/sub/c.wp",
             "/docs/sub/deeper/d"}},
       }) {
    Inputs inputs;
    add_input(dir.file("docs"), c.options, inputs);
    EXPECT_EQ(inputs_of(inputs, dir), c.expected);
    EXPECT_TRUE(inputs.problems.empty());
  }
}

TEST(Inputs, OutputFolderMirrorsAFolderAndTakesFilesByName) {
  TempDir dir;
  make_tree(dir);
  Inputs inputs;
  InputOptions options{.output_folder = dir.file("out"), .recursive = true};
  add_input(dir.file("docs/sub"), options, inputs);
  add_input(dir.file("docs/a.wpd"), options, inputs);
  add_input("relative/name.wpd", options, inputs);
  std::vector<std::string> stems;
  for (const FileJob& job : inputs.jobs) stems.push_back(job.output_stem);
  EXPECT_EQ(stems, (std::vector<std::string>{dir.file("out/sub/c.wp"), dir.file("out/sub/deeper/d"),
                                             dir.file("out/a.wpd"), dir.file("out/name.wpd")}));
  EXPECT_EQ(inputs.jobs.back().title, "name.wpd");
  EXPECT_TRUE(create_output_folders(inputs.jobs).empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "out/sub/deeper"));

  // Without an output folder outputs go beside their inputs; "." adds no name of its own.
  Inputs beside;
  add_input(dir.file("docs/a.wpd"), {}, beside);
  EXPECT_EQ(beside.jobs[0].output_stem, dir.file("docs/a.wpd"));
  testing::CurrentDirectory here(dir.path() / "docs/sub");
  Inputs dot;
  add_input(".", {.output_folder = "o", .recursive = true}, dot);
  EXPECT_EQ(dot.jobs[0].output_stem, "o/c.wp");
  EXPECT_EQ(dot.jobs[0].input, "./c.wp");
}

TEST(Inputs, AFolderWithoutRecursionOrAnUnreadableOutputFolderIsAProblem) {
  TempDir dir;
  make_tree(dir);
  Inputs inputs;
  add_input(dir.file("docs"), {}, inputs);
  add_input(dir.file("gone.wpd"), {}, inputs);  // converted, and reported then
  ASSERT_EQ(inputs.problems.size(), 1u);
  EXPECT_EQ(inputs.problems[0].message, kFolderNeedsRecursive);
  EXPECT_EQ(inputs.jobs.size(), 1u);

  testing::write_file(dir.file("file"), "a file where a folder should be");
  std::vector<InputProblem> problems =
      create_output_folders({{"x", dir.file("file/sub/x"), "x"}});
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].name, dir.file("file/sub"));
}

}  // namespace
}  // namespace quorrel::batch
