// The complete reading as a user meets it on the command line: what is written, what is said,
// and the exit status, for whole, damaged and password-protected documents.
#include <gtest/gtest.h>

#include <filesystem>

#include "example_documents.h"
#include "readers/wp_crypt.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::TempDir;

// A 5.1 document whose area from byte 16 is encrypted with `password`; the check value
// is stored byte-swapped in bytes 12-13.
std::string encrypted_wp51(std::string_view text, std::string_view password) {
  std::string file = examples::W51Builder().text(text).hard_return().file();
  const std::string normalized = readers::wp_crypt::normalize(password);
  const std::uint16_t check = readers::wp_crypt::check_value(normalized);
  file[12] = static_cast<char>(check >> 8);
  file[13] = static_cast<char>(check & 0xFF);
  readers::wp_crypt::apply(file, 16, normalized);
  return file;
}

struct Case {
  const char* name;
  std::string input;                 // the bytes of doc.wp
  std::vector<std::string> options;  // before the file
  int status;
  const char* said;     // on standard error, empty when nothing
  const char* written;  // doc.wp.txt, or null when nothing may be written
};

TEST(CompleteCli, WritesWhatWasReadAndSaysWhatWasNot) {
  // é is character 41 of WordPerfect set 1.
  std::string whole = examples::W51Builder().text("caf").file() + "\xC0\x29\x01\xC0?\x0A";
  std::string plain_utf8 = "na\xC3\xAFve line\nsecond\n";
  // A variable-length group whose length runs past the end of the file, after the text.
  std::string damaged = examples::W51Builder().text("kept words").hard_return().file() +
                        std::string("\xD4\x01\xFF\x7F", 4);
  const Case cases[] = {
      {"plain UTF-8 text", plain_utf8, {}, 0, "", "na\xC3\xAFve line\nsecond\n"},
      {"a whole 5.1 document", whole, {}, 0, "", "caf\xC3\xA9?\n"},
      {"a damaged document keeps what was read and says so", damaged, {}, 1,
       "doc.wp: The document is damaged", "kept words\n"},
      {"no password", encrypted_wp51("secret", "Pass"), {}, 1,
       "This document is password protected.", nullptr},
      {"a wrong password", encrypted_wp51("secret", "Pass"), {"--password", "other"}, 1,
       "The password is wrong.", nullptr},
      {"the right password, in any case", encrypted_wp51("secret", "Pass"),
       {"--password", "pASS"}, 0, "", "secret\n"},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::string input = dir.file("doc.wp");
    testing::write_file(input, c.input);
    std::vector<std::string> args = {"-q", "--complete", "--txt", "--html"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(input);
    testing::CliRun run = testing::run_cli_here(args);
    EXPECT_EQ(run.status, c.status) << c.name;
    if (*c.said == '\0') {
      EXPECT_EQ(run.err, "") << c.name;
    } else {
      EXPECT_NE(run.err.find(c.said), std::string::npos) << c.name << ": " << run.err;
    }
    if (c.written == nullptr) {
      EXPECT_EQ(run.out, "") << c.name;
      EXPECT_FALSE(std::filesystem::exists(input + ".txt")) << c.name;
      EXPECT_FALSE(std::filesystem::exists(input + ".html")) << c.name;
    } else {
      EXPECT_EQ(run.out, input + ".txt\n" + input + ".html\n") << c.name;
      EXPECT_EQ(testing::read_file(input + ".txt"), c.written) << c.name;
    }
  }
}

TEST(CompleteCli, TwoDocumentsNeverShareAnArchiveButOneMayBeNamedTwice) {
  // same.wpd and same.doc both give same.sxw: the first keeps it, the later one is reported.
  TempDir dir;
  testing::write_file(dir.file("same.wpd"), examples::WpdBuilder().text("first").file());
  testing::write_file(dir.file("same.doc"), examples::WpdBuilder().text("second").file());
  testing::CliRun run =
      testing::run_cli_here({"-q", "--complete", "--sxw", dir.file("same.wpd"),
                             dir.file("same.doc"), dir.file("same.wpd")});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, dir.file("same.doc") + ": sxw: " + dir.file("same.sxw") +
                         " was already written for " + dir.file("same.wpd") +
                         " in this batch; left as it was\n");
  EXPECT_NE(testing::content_of(dir.file("same.sxw")).find("first"), std::string::npos);
  EXPECT_EQ(testing::content_of(dir.file("same.sxw")).find("second"), std::string::npos);
}

TEST(CompleteCli, PasswordWithoutTheCompleteReadingIsAUsageError) {
  TempDir dir;
  testing::write_file(dir.file("doc.wp"), "text");
  testing::CliRun run = testing::run_cli_here({"--password", "x", dir.file("doc.wp")});
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.err.find("--complete"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace quorrel
