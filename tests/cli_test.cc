#include "cli/cli.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <set>
#include <vector>

#include "example_documents.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::TempDir;

using testing::CliRun;

CliRun run(std::vector<std::string> args) { return testing::run_cli_here(std::move(args)); }

TEST(Cli, ConvertsFilesInOrderAndListsEachOutput) {
  TempDir dir;
  testing::write_file(dir.file("b.wpd"), examples::WpdBuilder().text("bee").file());
  testing::write_file(dir.file("a.wpd"), examples::WpdBuilder().text("ay").file());
  CliRun result = run({"--txt", "--wpd", dir.file("b.wpd"), dir.file("a.wpd")});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, "b.wpd.txt\na.wpd.txt\n");
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "ay");
  EXPECT_EQ(testing::read_file(dir.file("b.wpd.txt")), "bee");
}

TEST(Cli, FailuresGoToStandardErrorAndSetExitStatusOne) {
  TempDir dir;
  testing::write_file(dir.file("ok.wpd"), examples::WpdBuilder().text("fine").file());
  std::string missing = dir.file("missing.wpd");
  CliRun result = run({"--txt", "--wpd", missing, dir.file("ok.wpd")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err, missing + ": File I/O Error! Unable to open files.\n");
  EXPECT_EQ(result.out, "missing.wpd.txt\nok.wpd.txt\n");
  EXPECT_EQ(testing::read_file(dir.file("ok.wpd.txt")), "fine");
}

TEST(Cli, FileNamesStartingWithADashAfterDoubleDash) {
  TempDir dir;
  testing::write_file(dir.file("-x.wpd"), examples::WpdBuilder().text("dash").file());
  CliRun result = run({"--txt", "--wpd", "--", dir.file("-x.wpd")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(testing::read_file(dir.file("-x.wpd.txt")), "dash");
}

TEST(Cli, UsageErrorsExitWithTwoAndAHint) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"--txt"}, {"--bogus", "f"}, {"--wp", "--wpd", "f"}}) {
    CliRun result = run(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("Try 'quorrel-cli --help'"), std::string::npos);
    EXPECT_EQ(result.out, "");
  }
}

TEST(Cli, HelpAndVersion) {
  CliRun help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: quorrel-cli"), std::string::npos);
  CliRun version = run({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, "quorrel-cli 4.3\n");
}

// Every option the help names is in the manual page, and the other way round.
TEST(Cli, HelpAndManualNameTheSameOptions) {
  auto options_in = [](const std::string& text, const std::string& dash) {
    std::set<std::string> options;
    for (std::size_t at = 0; (at = text.find(dash, at)) != std::string::npos; at += dash.size()) {
      std::size_t end = at + dash.size();
      while (end < text.size() && std::isalnum(static_cast<unsigned char>(text[end]))) ++end;
      if (end > at + dash.size())
        options.insert(text.substr(at + dash.size(), end - at - dash.size()));
    }
    return options;
  };
  std::string help = run({"--help"}).out;
  std::string manual = testing::read_file(testing::source_file("man/quorrel-cli.1"));
  EXPECT_EQ(options_in(help, "--"), options_in(manual, "\\-\\-"));
  EXPECT_FALSE(options_in(help, "--").empty());
}

TEST(Cli, RelativeNameWithoutFolderIsReadFromTheWorkingDirectory) {
  TempDir dir;
  testing::write_file(dir.file("here.wpd"), examples::WpdBuilder().text("local").file());
  CliRun result;
  {
    testing::CurrentDirectory inside(dir.path());
    result = run({"--txt", "--wpd", "here.wpd"});
  }
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(testing::read_file(dir.file("here.wpd.txt")), "local");
}

TEST(Cli, AutoDetectReadsEverythingButWordPerfectAsPlainText) {
  TempDir dir;
  // A binary file with high bytes after its first byte, and text with CR LF lines.
  testing::write_file(dir.file("blob.bin"), testing::bytes({1, 'a', 0xC3, 13, 10, 'b', 0, 0xFF}));
  testing::write_file(dir.file("notes.txt"), "x\r\ny");
  CliRun result = run({"--auto", "--txt", "--html", dir.file("blob.bin"), dir.file("notes.txt")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(testing::read_file(dir.file("blob.bin.txt")), "a\r\nb");
  EXPECT_EQ(testing::read_file(dir.file("notes.txt.txt")), "x\r\ny");
  EXPECT_NE(testing::read_file(dir.file("blob.bin.html")).find("<P>\r\na\r\n<P>b\r\n</BODY>"),
            std::string::npos);
}

TEST(Cli, HighFirstByteOrForcingReadsAncientWordPerfect) {
  TempDir dir;
  testing::write_file(dir.file("old.wp"), examples::AncientWpBuilder()
                                              .group(0xC3, {1})
                                              .text("a")
                                              .carriage_return()
                                              .line_feed()
                                              .centre()
                                              .text("b")
                                              .file());
  testing::write_file(dir.file("plain"), "a\r\nb");
  CliRun detected = run({"--auto", "--txt", "--html", dir.file("old.wp")});
  EXPECT_EQ(detected.status, 0) << detected.err;
  EXPECT_EQ(testing::read_file(dir.file("old.wp.txt")), "a b");
  EXPECT_NE(testing::read_file(dir.file("old.wp.html")).find("<P>\r\na \r\n<P><CENTER>b\r\n"),
            std::string::npos);
  // Forced, any file is read by the ancient rules: the CR LF gives a space, not a line end.
  CliRun forced = run({"--wp", "--txt", dir.file("plain")});
  EXPECT_EQ(forced.status, 0) << forced.err;
  EXPECT_EQ(testing::read_file(dir.file("plain.txt")), "a b");
}

TEST(Cli, SxwByDefaultWritesOnlyTheArchiveBesideTheInput) {
  TempDir docs, work;
  std::string input = docs.file("letter v2.wpd");
  testing::write_file(input, examples::WpdBuilder().text("packed").file());
  CliRun result;
  {
    testing::CurrentDirectory inside(work.path());
    result = run({"--wpd", input});
  }
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "letter v2.wpd.sxw\n");
  EXPECT_NE(testing::content_of(docs.file("letter v2.sxw")).find(">packed\r\n</text:p>"),
            std::string::npos);
  EXPECT_TRUE(testing::list_folder(work.path()).empty());
  EXPECT_EQ(testing::list_folder(docs.path()),
            (std::vector<std::string>{"letter v2.sxw", "letter v2.wpd"}));
}

TEST(Cli, HtmlOfASixToNineDocument) {
  TempDir dir;
  testing::write_file(dir.file("a&<b>.wpd"), examples::WpdBuilder().bold("x").file());
  CliRun result = run({"--html", dir.file("a&<b>.wpd")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(testing::read_file(dir.file("a&<b>.wpd.html")),
            "<HTML>\r\n<HEAD>\r\n<TITLE>a&[b].wpd</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n"
            "<B>x</B>\r\n</BODY>\r\n</HTML>\r\n");
}

}  // namespace
}  // namespace quorrel
