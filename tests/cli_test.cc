#include "cli/cli.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <cstdio>
#include <set>
#include <vector>

#include "example_documents.h"
#include "shell/messages.h"
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
  EXPECT_EQ(result.out, dir.file("b.wpd.txt") + "\n" + dir.file("a.wpd.txt") + "\n");
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
  EXPECT_EQ(result.err, missing + ": txt: cannot open the input: No such file or directory\n");
  EXPECT_EQ(result.out, dir.file("ok.wpd.txt") + "\n");  // only what was written
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

TEST(Cli, SxwByDefaultWritesTheArchiveBesideTheInputAndNothingHere) {
  TempDir docs, work;
  std::string input = docs.file("letter v2.wpd");
  testing::write_file(input, examples::WpdBuilder().text("packed").file());
  CliRun result;
  {
    testing::CurrentDirectory inside(work.path());
    result = run({"--wpd", input});
  }
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, docs.file("letter v2.sxw") + "\n");
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

TEST(Cli, OutputFolderTreesListsAndJobsAgree) {
  TempDir dir;
  std::filesystem::create_directories(dir.path() / "src/sub");
  testing::write_file(dir.file("src/a.wpd"), examples::WpdBuilder().text("a").file());
  testing::write_file(dir.file("src/sub/b.wp"), examples::AncientWpBuilder().text("b").file());
  testing::write_file(dir.file("list"), dir.file("src/a.wpd") + '\0' + dir.file("src/sub/b.wp"));
  ::chmod(dir.file("src").c_str(), 0555);  // a read-only source is never written
  CliRun tree = run({dir.file("src"), "-r", "--txt", "-o", dir.file("out1"), "-j", "1"});
  EXPECT_EQ(tree.status, 0) << tree.err;
  EXPECT_EQ(tree.out, dir.file("out1/src/a.wpd.txt") + "\n" + dir.file("out1/src/sub/b.wp.txt") + "\n");
  CliRun listed = run({"--txt", "-0", "--files-from", dir.file("list"), "--outdir=" + dir.file("out2"), "-j2"});
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, dir.file("out2/a.wpd.txt") + "\n" + dir.file("out2/b.wp.txt") + "\n");
  EXPECT_EQ(testing::read_file(dir.file("out2/b.wp.txt")), "b");
  EXPECT_EQ(testing::read_file(dir.file("out1/src/sub/b.wp.txt")), "b");
  EXPECT_EQ(testing::list_folder(dir.path() / "src"), (std::vector<std::string>{"a.wpd", "sub"}));
  ::chmod(dir.file("src").c_str(), 0755);
}

TEST(Cli, ReportHasOneJsonLinePerOutput) {
  TempDir dir;
  testing::write_file(dir.file("m.wpd"), examples::WpdBuilder().text("memo").file());
  CliRun result = run({"--txt", "--sxw", "--report", dir.file("r.jsonl"), dir.file("m.wpd"),
                       dir.file("gone\nname")});
  EXPECT_EQ(result.status, 1);
  std::string report = testing::read_file(dir.file("r.jsonl"));
  std::string in = testing::read_file(dir.file("m.wpd"));
  EXPECT_EQ(report,
            "{\"input\":\"" + dir.file("m.wpd") + "\",\"output\":\"" + dir.file("m.wpd.txt") +
                "\",\"kind\":\"txt\",\"reading\":\"exact\",\"generation\":\"wpd\",\"bytes_in\":" +
                std::to_string(in.size()) + ",\"bytes_out\":4,\"status\":\"written\",\"message\":\"\"}\n" +
                "{\"input\":\"" + dir.file("m.wpd") + "\",\"output\":\"" + dir.file("m.sxw") +
                "\",\"kind\":\"sxw\",\"reading\":\"exact\",\"generation\":\"wpd\",\"bytes_in\":" +
                std::to_string(in.size()) + ",\"bytes_out\":" +
                std::to_string(testing::read_file(dir.file("m.sxw")).size()) +
                ",\"status\":\"written\",\"message\":\"\"}\n" +
                "{\"input\":\"" + dir.file("gone\\u000aname") + "\",\"output\":\"" +
                dir.file("gone\\u000aname.txt") +
                "\",\"kind\":\"txt\",\"reading\":\"exact\",\"generation\":\"plain\",\"bytes_in\":0,"
                "\"bytes_out\":0,\"status\":\"failed\",\"message\":\"cannot open the input: No such "
                "file or directory\"}\n" +
                "{\"input\":\"" + dir.file("gone\\u000aname") + "\",\"output\":\"" +
                dir.file("gone\\u000aname.sxw") +
                "\",\"kind\":\"sxw\",\"reading\":\"exact\",\"generation\":\"plain\",\"bytes_in\":0,"
                "\"bytes_out\":0,\"status\":\"failed\",\"message\":\"cannot open the input: No such "
                "file or directory\"}\n");
  // A name with a line feed stays on one line of standard error.
  EXPECT_EQ(result.err.find("\"" + dir.file("gone\\nname") + "\": txt: cannot open the input"), 0u);
}

TEST(Cli, StandardInputToStandardOutput) {
  TempDir dir;
  testing::write_file(dir.file("in"), examples::WpdBuilder().text("piped").file());
  int saved = ::dup(0);
  int input = ::open(dir.file("in").c_str(), O_RDONLY);
  ::dup2(input, 0);
  CliRun result = run({"--txt", "-", "-q"});
  ::dup2(saved, 0);
  ::close(saved);
  ::close(input);
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "piped");
  EXPECT_EQ(testing::list_folder(dir.path()), std::vector<std::string>{"in"});
}

// The ODT output of both readings: one package named after the whole input, beside it or in
// an output folder, the exact reading's also on standard output, and nothing else left behind.
TEST(Cli, OdtInBothReadingsIsOnePackageNamedAfterTheWholeInput) {
  // The complete reading takes a 5.1 document whole; a 6-9 one needs more than the builder's.
  std::string memo = examples::WpdBuilder().text("odt words").hard_return().bold("strong").file();
  std::string memo51 =
      examples::W51Builder().text("odt words").hard_return().bold("strong").file();
  for (bool complete : {false, true}) {
    for (bool out_folder : {false, true}) {
      std::string where = std::string(complete ? "complete" : "exact") + (out_folder ? " -o" : "");
      TempDir dir;
      std::filesystem::create_directory(dir.path() / "docs");
      std::string input = dir.file("docs/report.wpd");
      testing::write_file(input, complete ? memo51 : memo);
      std::vector<std::string> args = {"-q", "--odt", "--txt"};
      if (complete) args.push_back("--complete");
      if (out_folder) args.insert(args.end(), {"-o", dir.file("out")});
      args.push_back(input);
      CliRun result = run(args);
      std::string folder = dir.file(out_folder ? "out" : "docs");
      EXPECT_EQ(result.status, 0) << where << ": " << result.err;
      EXPECT_EQ(result.out, folder + "/report.wpd.txt\n" + folder + "/report.wpd.odt\n") << where;
      testing::OdtPackage package = testing::read_odt_package(folder + "/report.wpd.odt");
      EXPECT_EQ(package.problem, "") << where;
      EXPECT_NE(package.content.find("odt words"), std::string::npos) << where;
      EXPECT_NE(package.content.find(">strong<"), std::string::npos) << where;
      EXPECT_NE(package.content.find("fo:font-weight=\"bold\""), std::string::npos) << where;
      EXPECT_NE(package.meta.find(">report.wpd<"), std::string::npos) << where;
      std::vector<std::string> expected = {"report.wpd.odt", "report.wpd.txt"};
      if (!out_folder) expected.insert(expected.begin(), "report.wpd");
      EXPECT_EQ(testing::list_folder(folder), expected) << where;
    }
  }

  TempDir dir;
  testing::write_file(dir.file("in"), memo);
  int saved = ::dup(0);
  int input = ::open(dir.file("in").c_str(), O_RDONLY);
  ::dup2(input, 0);
  CliRun piped = run({"--odt", "-", "-q"});
  ::dup2(saved, 0);
  ::close(saved);
  ::close(input);
  EXPECT_EQ(piped.status, 0) << piped.err;
  EXPECT_EQ(testing::list_folder(dir.path()), std::vector<std::string>{"in"});
  testing::write_file(dir.file("piped.odt"), piped.out);
  testing::OdtPackage package = testing::read_odt_package(dir.file("piped.odt"));
  EXPECT_EQ(package.problem, "");
  EXPECT_NE(package.content.find("odt words"), std::string::npos);
}

TEST(Cli, UsageErrorsOfTheNewOptions) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--txt", "--html", "-"}, {"--sxw", "--odt", "-"}, {"-", "other"},
        {"-j", "0", "f"},
        {"-j"}, {"-o"}, {"--report"}, {"--files-from"}, {"--password", "x", "f"},
        {"--files-from", "-", "-"}}) {
    CliRun result = run(args);
    EXPECT_EQ(result.status, 2) << args[0];
    EXPECT_NE(result.err.find("Try 'quorrel-cli --help'"), std::string::npos);
  }
  EXPECT_EQ(run({"-h"}).out, run({"--help"}).out);
}

}  // namespace
}  // namespace quorrel

namespace quorrel {
namespace {

using testing::CliRun;
using testing::TempDir;

// Runs the command line with standard output going to `out`, standard error captured.
CliRun run_with_output(std::FILE* out, std::vector<std::string> args) {
  args.insert(args.begin(), "quorrel-cli");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::FILE* err = std::tmpfile();
  int status = run_cli(static_cast<int>(argv.size()), argv.data(), out, err);
  std::rewind(err);
  std::string text;
  for (int c = std::fgetc(err); c != EOF; c = std::fgetc(err)) text.push_back(static_cast<char>(c));
  std::fclose(err);
  return {status, "", text};
}

TEST(Cli, StandardOutputThatCannotBeWrittenIsAFailure) {
  TempDir dir;
  testing::write_file(dir.file("a.txt"), "text");
  auto full = [] { return std::fopen("/dev/full", "w"); };
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"--txt", dir.file("a.txt")}, {"--help"}, {"--version"}}) {
    std::FILE* out = full();
    ASSERT_NE(out, nullptr);
    CliRun result = run_with_output(out, args);
    std::fclose(out);
    EXPECT_EQ(result.status, 1) << args[0];
    EXPECT_TRUE(result.err.starts_with("quorrel-cli: standard output: "))
        << args[0] << ": " << result.err;
  }
  // The conversion itself was done and is kept.
  EXPECT_EQ(testing::read_file(dir.file("a.txt.txt")), "text");
  // A usage error keeps its own status.
  std::FILE* out = full();
  EXPECT_EQ(run_with_output(out, {"--bogus"}).status, 2);
  std::fclose(out);

  // The program started with standard output closed: the descriptor is not taken over by a
  // file the program opens (its output would then receive the listing).
  std::filesystem::remove(dir.file("a.txt.txt"));
  for (const char* option : {"--txt", "--help", "--version"}) {
    testing::ChildResult child = testing::run_program(
        {testing::cli_program(), option, dir.file("a.txt")}, {.close_standard_output = true});
    EXPECT_EQ(child.exit_status, 1) << option;
  }
  EXPECT_EQ(testing::read_file(dir.file("a.txt.txt")), "text");
}

TEST(Cli, NamesWithControlCharactersStayOnOneLine) {
  TempDir dir;
  std::string name = "two\nlines\t\"q\"\\.wpd";
  testing::write_file(dir.file(name), "not WordPerfect");
  CliRun result = run({"--txt", "--wpd", dir.file(name)});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.out, "");
  std::string shown = "\"" + dir.file("") + "two\\nlines\\t\\\"q\\\"\\\\.wpd\"";
  EXPECT_EQ(result.err, shown + ": txt: not a WordPerfect 6-9 document: the WordPerfect prefix "
                                "is missing\n");
  // A written output's name is quoted the same way on standard output.
  result = run({"--txt", dir.file(name)});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, "\"" + dir.file("") + "two\\nlines\\t\\\"q\\\"\\\\.wpd.txt\"\n");
}

TEST(Cli, TwoInputsOfOneRunNeverShareAnArchive) {
  // same.wp (two-letter rule), same.wpd and same.doc (three-letter rule) all give same.sxw:
  // the first keeps it, each later one is reported naming both.
  TempDir dir;
  testing::write_file(dir.file("same.wp"), "first document");
  testing::write_file(dir.file("same.wpd"), examples::WpdBuilder().text("second").file());
  testing::write_file(dir.file("same.doc"), examples::WpdBuilder().text("third").file());
  testing::write_file(dir.file("other.wpd"), examples::WpdBuilder().text("other").file());
  CliRun result = run({"--sxw", "--txt", dir.file("same.wp"), dir.file("same.wpd"),
                       dir.file("same.doc"), dir.file("other.wpd")});
  EXPECT_EQ(result.status, 1);
  std::string archive = dir.file("same.sxw");
  auto refused = [&](const std::string& input) {
    return input + ": sxw: " + archive + " was already written for " + dir.file("same.wp") +
           " in this batch; left as it was\n";
  };
  EXPECT_EQ(result.err, refused(dir.file("same.wpd")) + refused(dir.file("same.doc")));
  EXPECT_NE(testing::content_of(archive).find(">first document\r\n</text:p>"), std::string::npos);
  // Their other outputs have names of their own; the same input named again is no conflict.
  EXPECT_EQ(testing::read_file(dir.file("same.wpd.txt")), "second");
  EXPECT_EQ(testing::read_file(dir.file("same.doc.txt")), "third");
  EXPECT_NE(testing::content_of(dir.file("other.sxw")).find(">other\r\n"), std::string::npos);

  // A later run may replace it: only outputs of the same run are kept from each other.
  result = run({"--sxw", dir.file("same.wpd")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_NE(testing::content_of(archive).find(">second\r\n</text:p>"), std::string::npos);
}

TEST(Cli, AnOutputThatWouldReplaceItsOwnInputIsRefused) {
  TempDir dir;
  std::string document = examples::WpdBuilder().text("doc").file();
  // A WordPerfect document named like an archive; a link to the input under an output's
  // name; and an input reached through a link named like its archive.
  testing::write_file(dir.file("doc.sxw"), document);
  testing::write_file(dir.file("b"), "plain");
  ASSERT_EQ(::link(dir.file("b").c_str(), dir.file("b.txt").c_str()), 0);
  testing::write_file(dir.file("real.wpd"), document);
  std::filesystem::create_symlink("real.wpd", dir.path() / "linked.sxw");

  CliRun result = run({"--wpd", "--sxw", dir.file("doc.sxw"), dir.file("linked.sxw")});
  EXPECT_EQ(result.status, 1);
  EXPECT_EQ(result.err,
            dir.file("doc.sxw") + ": sxw: " + dir.file("doc.sxw") +
                " is the input itself; not replaced\n" + dir.file("linked.sxw") + ": sxw: " +
                dir.file("linked.sxw") + " is the input itself; not replaced\n");
  result = run({"--txt", dir.file("b")});
  EXPECT_EQ(result.err,
            dir.file("b") + ": txt: " + dir.file("b.txt") + " is the input itself; not replaced\n");
  EXPECT_EQ(testing::read_file(dir.file("doc.sxw")), document);
  EXPECT_EQ(testing::read_file(dir.file("b.txt")), "plain");
  EXPECT_TRUE(std::filesystem::is_symlink(dir.path() / "linked.sxw"));
  EXPECT_EQ(testing::list_folder(dir.path()),
            (std::vector<std::string>{"b", "b.txt", "doc.sxw", "linked.sxw", "real.wpd"}));
}

TEST(Cli, ReplacedOutputsKeepTheirPermissions) {
  TempDir dir;
  testing::write_file(dir.file("a.wpd"), examples::WpdBuilder().text("new").file());
  testing::write_file(dir.file("a.wpd.txt"), "old");
  testing::write_file(dir.file("a.wpd.html"), "old");
  ::chmod(dir.file("a.wpd.txt").c_str(), 0444);
  ::chmod(dir.file("a.wpd.html").c_str(), 0640);
  CliRun result = run({"--txt", "--html", dir.file("a.wpd")});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "new");
  struct stat info;
  ASSERT_EQ(::stat(dir.file("a.wpd.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0444u);
  ASSERT_EQ(::stat(dir.file("a.wpd.html").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  // A new output gets the umask's permissions, whatever a link at its name pointed to.
  std::filesystem::create_symlink("a.wpd.txt", dir.path() / "b.wpd.txt");
  testing::write_file(dir.file("b.wpd"), examples::WpdBuilder().text("b").file());
  mode_t mask = ::umask(022);
  result = run({"--txt", dir.file("b.wpd")});
  ::umask(mask);
  ASSERT_EQ(::lstat(dir.file("b.wpd.txt").c_str(), &info), 0);
  EXPECT_TRUE(S_ISREG(info.st_mode));
  EXPECT_EQ(info.st_mode & 07777, 0644u);
  EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "new");
}

}  // namespace
}  // namespace quorrel
