// Inputs and surroundings that try to break a conversion: truncated documents, files that are
// not files, odd names and paths at the system's limits, full disks and unwritable folders.
// Each must give a clear message and lose nothing: no earlier output or archive is touched,
// no partial output stays under a final name.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <thread>

#include "convert/registry.h"
#include "example_documents.h"
#include "output/skeleton.h"
#include "properties.h"
#include "random_documents.h"
#include "shell/messages.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::CliRun;
using testing::TempDir;

constexpr OutputKind kKinds[] = {OutputKind::text, OutputKind::html, OutputKind::sxw};

// Checks an output of `kind` for the input named `name` against its kind's properties.
void expect_well_formed(OutputKind kind, const std::string& output, const std::string& name) {
  std::string why;
  switch (kind) {
    case OutputKind::text:
      EXPECT_TRUE(fuzz::is_clean_text(output)) << name;
      break;
    case OutputKind::html:
      EXPECT_TRUE(fuzz::is_clean_html(output, fuzz::expected_title(name), &why)) << name << why;
      break;
    case OutputKind::sxw:
      EXPECT_TRUE(fuzz::is_well_formed_content(output, &why)) << name << ": " << why;
      break;
    case OutputKind::odt:  // a package, whose parts the ODT tests check
      ADD_FAILURE() << "not an output these tests check: " << name;
      break;
  }
}

// A folder for inputs and outputs, and a current directory that no conversion writes.
class Batch : public ::testing::Test {
 protected:
  Batch() : here_(work.path()) {}
  // The command line's report of one failed output.
  static std::string failed(const std::string& input, const std::string& kind,
                            const std::string& message) {
    return input + ": " + kind + ": " + message + "\n";
  }
  CliRun cli(std::vector<std::string> args) { return testing::run_cli_here(std::move(args)); }
  std::string file(const std::string& name) const { return docs.file(name); }

  TempDir docs, work;

 private:
  testing::CurrentDirectory here_;
};

// The checks the fuzz targets and these tests rely on must catch what they are there for.
TEST(OutputProperties, RejectBrokenOutputs) {
  EXPECT_TRUE(fuzz::is_clean_text("a\tb\r\nc"));
  // Each fault alone and at every place among long runs, which are checked in steps.
  const std::string run(20, 'a');
  for (std::string_view fault : {"\n", "\r", "\x7f", "\xe9", "\x01", "\x80"}) {
    for (std::size_t at = 0; at <= run.size(); ++at) {
      std::string text = run;
      EXPECT_FALSE(fuzz::is_clean_text(text.insert(at, fault))) << at;
    }
  }

  std::string page = convert_memory(converter_for(OutputKind::html, TYPE_UNKNOWN),
                                    "a<b>&\tc\n" + run, "x<y>.txt")
                         .output;
  EXPECT_TRUE(fuzz::is_clean_html(page, fuzz::expected_title("x<y>.txt")));
  EXPECT_FALSE(fuzz::is_clean_html(page, "x<y>.txt"));
  for (std::string_view inserted : {"<script>", ">", "<H>", "\xff", "\n"}) {
    for (std::size_t at : {page.find("a[b]"), page.find(run) + 1, page.find(run) + 7}) {
      std::string broken = page;
      broken.insert(at, inserted);
      EXPECT_FALSE(fuzz::is_clean_html(broken, fuzz::expected_title("x<y>.txt"))) << inserted;
    }
  }

  std::string content =
      convert_memory(converter_for(OutputKind::sxw, TYPE_UNKNOWN), "a&b\tc\nd", "").output;
  EXPECT_TRUE(fuzz::is_well_formed_content(content));
  std::size_t text = content.find("a&amp;b");
  for (std::string_view inserted :
       {"&", "<text:p text:style-name=\"Standard\">", "</text:p>", "<text:span>", "<foo:bar/>",
        "<text:s text:c=3/>", "<text:s text:c=\"1\" text:c=\"2\"/>", "]]>"}) {
    std::string broken = content;
    broken.insert(text, inserted);
    std::string why;
    EXPECT_FALSE(fuzz::is_well_formed_content(broken, &why)) << inserted;
  }
  EXPECT_FALSE(fuzz::is_well_formed_content(content.substr(0, content.size() - 1)));
  std::string tab_outside = content;
  tab_outside.insert(content.find("<text:p"), "<text:tab-stop/>");
  EXPECT_FALSE(fuzz::is_well_formed_content(tab_outside));
}

TEST(TruncatedDocuments, EveryCutOfEveryExampleGivesAWellFormedOutput) {
  for (const examples::ExampleFile& example : examples::example_files()) {
    for (std::size_t cut = 0; cut <= example.bytes.size(); ++cut) {
      std::string bytes = example.bytes.substr(0, cut);
      for (OutputKind kind : kKinds) {
        for (int format = 0; format < kFormatCount; ++format) {
          const ConverterSpec& converter = converter_for(kind, static_cast<FormatCode>(format));
          MemoryConversion result = convert_memory(converter, bytes, example.name);
          if (result.status == ConvertStatus::ok) {
            expect_well_formed(kind, result.output, example.name);
          } else {
            EXPECT_TRUE(result.output.empty());
          }
        }
      }
    }
  }
}

TEST_F(Batch, TruncatedInsideThePrefixGroupOrRunKeepsEverythingBefore) {
  std::string wpd = examples::WpdBuilder().text("kept").soft_return().text("after").file();
  std::size_t run = wpd.find("kept") + 5;  // a byte after the soft-return group opens
  std::string w51 = examples::W51Builder().text("kept").indent().text("after").file();
  std::string wp =
      examples::AncientWpBuilder().text("kept").group(0xC5, {1, 2, 3}).text("after").file();
  struct Case {
    std::string name, bytes, option, message;
  };
  for (const Case& c : std::vector<Case>{
           {"magic.wpd", wpd.substr(0, 3), "--wpd", "not a WordPerfect 6-9 document"},
           {"magic.w51", wpd.substr(0, 3), "--w51", "not a WordPerfect 5.1 document"},
           {"offset.wpd", wpd.substr(0, 5), "--wpd", ""},  // matched; the document is empty
           {"header.wpd", wpd.substr(0, 10), "--wpd", ""},
           {"run.wpd", wpd.substr(0, run + 3), "--wpd", ""},
           {"group.w51", w51.substr(0, w51.find("kept") + 7), "--w51", ""},
           {"group.wp", wp.substr(0, wp.find("kept") + 6), "--wp", ""},
       }) {
    testing::write_file(file(c.name), c.bytes);
    CliRun run = cli({c.option, "--txt", "--html", "--sxw", file(c.name)});
    if (!c.message.empty()) {
      EXPECT_EQ(run.status, 1);
      std::string message = c.message + ": the WordPerfect prefix is missing";
      EXPECT_EQ(run.err, failed(file(c.name), "txt", message) +
                             failed(file(c.name), "html", message) +
                             failed(file(c.name), "sxw", message));  // once for each kind
      EXPECT_FALSE(testing::exists(file(c.name + ".txt")));
      continue;
    }
    EXPECT_EQ(run.status, 0) << c.name << run.err;
    std::string text = testing::read_file(file(c.name + ".txt"));
    bool has_text = c.bytes.find("kept") != std::string::npos;
    EXPECT_EQ(text.find("kept") != std::string::npos, has_text) << c.name;
    expect_well_formed(OutputKind::html, testing::read_file(file(c.name + ".html")), c.name);
    std::string archive = archive_path_for(
        converter_for(OutputKind::sxw, c.option == "--wp" ? TYPE_WP : TYPE_WPD).archive,
        file(c.name));
    std::string content = testing::content_of(archive);
    expect_well_formed(OutputKind::sxw, content, c.name);
    EXPECT_EQ(content.find("kept") != std::string::npos, has_text) << c.name;
  }
}

TEST_F(Batch, FilesThatAreNotFilesAreRefusedWithoutBlocking) {
  std::filesystem::create_directory(file("folder.wpd"));
  ASSERT_EQ(::mkfifo(file("pipe.wpd").c_str(), 0600), 0);
  // A FIFO with a writer waiting would hand over data, and an empty one would block a reader.
  int writer = ::open(file("pipe.wpd").c_str(), O_RDWR | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  ASSERT_EQ(::write(writer, "text", 4), 4);
  std::vector<std::string> inputs = {file("folder.wpd"), file("pipe.wpd"), "/dev/zero", "/dev/null",
                                     file("missing.wpd")};
  std::vector<std::string> args = {"--txt", "--html", "--sxw"};
  args.insert(args.end(), inputs.begin(), inputs.end());
  CliRun run = cli(args);
  ::close(writer);
  EXPECT_EQ(run.status, 1);
  // A folder is refused once; every other name once per output kind, saying why.
  std::string expected = file("folder.wpd") + ": is a folder (use -r to convert its files)\n";
  for (const std::string& input : {inputs[1], inputs[2], inputs[3], inputs[4]}) {
    std::string why = input == inputs[4] ? "No such file or directory" : "not a regular file";
    for (const char* kind : {"txt", "html", "sxw"}) {
      expected += failed(input, kind, "cannot open the input: " + why);
    }
  }
  EXPECT_EQ(run.err, expected);
  EXPECT_EQ(testing::list_folder(docs.path()),
            (std::vector<std::string>{"folder.wpd", "pipe.wpd"}));
  EXPECT_TRUE(testing::list_folder(work.path()).empty());
  // A folder named with a trailing separator is refused the same way.
  run = cli({"--txt", file("folder.wpd") + "/"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, file("folder.wpd") + "/: is a folder (use -r to convert its files)\n");
}

TEST_F(Batch, EmptyInputGivesFramesOrThePrefixMessage) {
  testing::write_file(file("empty"), "");
  CliRun detected = cli({"--txt", "--html", "--sxw", file("empty")});
  EXPECT_EQ(detected.status, 0) << detected.err;
  EXPECT_EQ(testing::read_file(file("empty.txt")), "");
  expect_well_formed(OutputKind::html, testing::read_file(file("empty.html")), "empty");
  expect_well_formed(OutputKind::sxw, testing::content_of(file("empty.sxw")), "empty");
  std::string page = testing::read_file(file("empty.html"));
  CliRun forced = cli({"--w51", "--html", file("empty")});
  EXPECT_EQ(forced.err, failed(file("empty"), "html",
                               "not a WordPerfect 5.1 document: the WordPerfect prefix is missing"));
  EXPECT_EQ(testing::read_file(file("empty.html")), page);  // the earlier output stays
}

TEST_F(Batch, OddNamesArriveWholeAndCannotInjectMarkup) {
  std::vector<std::string> names = {
      "with space.wpd",          "-dash.wpd",     "<b>tag<i>.wpd",         "a&b&amp;.wpd",
      "\"double\" 'single'.wpd", "new\nline.wpd", "bad \xff\xfe utf8.wpd", "<!-- -->]]>&lt;.wpd"};
  std::vector<std::string> args = {"--wpd", "--txt", "--html", "--sxw", "--"};
  std::string document = examples::WpdBuilder().text("body").file();
  for (const std::string& name : names) {
    testing::write_file(file(name), document);
    args.push_back(file(name));
  }
  // The content document never holds the name.
  std::string content =
      convert_memory(converter_for(OutputKind::sxw, TYPE_WPD), document, "").output;
  CliRun run = cli(args);
  EXPECT_EQ(run.status, 0) << run.err;
  for (const std::string& name : names) {
    EXPECT_EQ(testing::read_file(file(name + ".txt")), "body") << name;
    std::string page = testing::read_file(file(name + ".html"));
    expect_well_formed(OutputKind::html, page, name);
    EXPECT_EQ(testing::content_of(file(name.substr(0, name.size() - 4) + ".sxw")), content);
  }
  // Every output is named exactly after its input: nothing cut, nothing added.
  EXPECT_EQ(testing::list_folder(docs.path()).size(), names.size() * 4);
}

TEST_F(Batch, NamesAtTheLengthLimitConvertOrAreRefusedWhole) {
  // 251 bytes take ".txt" (255) but not ".html" (256); the archive drops ".wpd".
  std::string name = std::string(247, 'n') + ".wpd";
  testing::write_file(file(name), examples::WpdBuilder().text("long").file());
  CliRun run = cli({"--wpd", "--txt", "--html", "--sxw", file(name)});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, failed(file(name), "html",
                            "cannot create " + file(name) + ".html: File name too long"));
  EXPECT_EQ(testing::read_file(file(name + ".txt")), "long");
  EXPECT_NE(testing::content_of(file(std::string(247, 'n') + ".sxw")).find(">long"),
            std::string::npos);
  EXPECT_EQ(testing::list_folder(docs.path()).size(), 3u);
}

TEST_F(Batch, PathsAtTheSystemLimitConvertOrAreRefusedWhole) {
  // Folders nested until the path is 4,050 bytes long.
  std::string folder = docs.path().string();
  while (folder.size() < 4050) {
    folder += "/" + std::string(std::min<std::size_t>(200, 4050 - folder.size() - 1), 'd');
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0) << folder.size();
  }
  std::string fits = folder + "/short.wpd";                             // each output path fits
  std::string too_long = folder + "/" + std::string(37, 'x') + ".wpd";  // 4,096 with ".txt"
  std::string beyond = folder + "/" + std::string(60, 'y') + ".wpd";    // no such input path
  for (const std::string& input : {fits, too_long}) {
    testing::write_file(input, examples::WpdBuilder().text("deep").file());
  }
  CliRun run = cli({"--wpd", "--txt", "--html", "--sxw", fits, too_long, beyond});
  EXPECT_EQ(run.status, 1);
  std::string too_long_path = "File name too long";
  EXPECT_EQ(run.err,
            failed(too_long, "txt", "cannot create " + too_long + ".txt: " + too_long_path) +
                failed(too_long, "html", "cannot create " + too_long + ".html: " + too_long_path) +
                failed(beyond, "txt", "cannot open the input: " + too_long_path) +
                failed(beyond, "html", "cannot open the input: " + too_long_path) +
                failed(beyond, "sxw", "cannot open the input: " + too_long_path));
  EXPECT_EQ(testing::read_file(fits + ".txt"), "deep");
  expect_well_formed(OutputKind::html, testing::read_file(fits + ".html"), "short.wpd");
  EXPECT_NE(testing::content_of(folder + "/short.sxw").find(">deep"), std::string::npos);
  // The archive path of the long name still fits: only its text and HTML were refused.
  EXPECT_NE(testing::content_of(too_long.substr(0, too_long.size() - 4) + ".sxw").find(">deep"),
            std::string::npos);
  EXPECT_EQ(testing::list_folder(folder).size(), 6u);
}

// Runs the CLI in a child as the user nobody; false when that is impossible.
bool run_unprivileged(const std::vector<std::string>& args, CliRun& run) {
  testing::TempDir capture;
  ::chmod(capture.path().c_str(), 0777);
  std::string out = capture.file("out"), err = capture.file("err");
  testing::ChildResult child = testing::run_in_child(
      [&] {
        CliRun inside = testing::run_cli_here(args);
        testing::write_file(out, inside.out);
        testing::write_file(err, inside.err);
        return inside.status;
      },
      {.unprivileged = true});
  if (child.exit_status == testing::kLimitsRefused) return false;
  run = {child.exit_status, testing::read_file(out), testing::read_file(err)};
  return true;
}

TEST_F(Batch, UnwritableFoldersLeaveEarlierOutputsAndAClearMessage) {
  testing::write_file(file("a.wpd"), examples::WpdBuilder().text("new").file());
  testing::write_file(file("a.wpd.html"), "earlier page");
  testing::write_file(file("a.sxw"), "earlier archive, not a ZIP file");
  testing::write_file(file("a.wpd.odt"), "earlier package");
  ::chmod(docs.path().c_str(), 0555);
  ::chmod(work.path().c_str(), 0777);
  CliRun run;
  if (!run_unprivileged({"--wpd", "--html", "--sxw", "--odt", file("a.wpd")}, run)) {
    GTEST_SKIP() << "cannot become the user nobody";
  }
  EXPECT_EQ(run.status, 1);
  // The archive's content is written beside it, so an unwritable folder stops both kinds.
  EXPECT_EQ(run.err, failed(file("a.wpd"), "html",
                            "cannot create " + file("a.wpd.html") + ": Permission denied") +
                         failed(file("a.wpd"), "sxw",
                                "cannot create " + file("a.sxw") + ": Permission denied") +
                         failed(file("a.wpd"), "odt",
                                "cannot create " + file("a.wpd.odt") + ": Permission denied"));
  EXPECT_EQ(testing::read_file(file("a.wpd.html")), "earlier page");
  EXPECT_EQ(testing::read_file(file("a.sxw")), "earlier archive, not a ZIP file");
  EXPECT_EQ(testing::read_file(file("a.wpd.odt")), "earlier package");
  EXPECT_EQ(testing::list_folder(docs.path()),
            (std::vector<std::string>{"a.sxw", "a.wpd", "a.wpd.html", "a.wpd.odt"}));
  EXPECT_TRUE(testing::list_folder(work.path()).empty());

  // The complete reading reads the document once and reports each output it could not write.
  ASSERT_TRUE(run_unprivileged({"--complete", "--html", "--odt", file("a.wpd")}, run));
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find(failed(file("a.wpd"), "html", "cannot write the output")),
            std::string::npos) << run.err;
  EXPECT_NE(run.err.find(failed(file("a.wpd"), "odt", "cannot write the output")),
            std::string::npos) << run.err;
  EXPECT_EQ(testing::read_file(file("a.wpd.odt")), "earlier package");

  // An unwritable current directory does not matter: nothing is written there.
  ::chmod(docs.path().c_str(), 0777);
  ::chmod(work.path().c_str(), 0555);
  testing::write_file(file("b.wpd"), examples::WpdBuilder().text("b").file());
  ASSERT_TRUE(run_unprivileged({"--wpd", "--sxw", file("b.wpd")}, run));
  EXPECT_EQ(run.err, "");
  EXPECT_NE(testing::content_of(file("b.sxw")).find(">b"), std::string::npos);
  EXPECT_TRUE(testing::list_folder(work.path()).empty());
}

TEST_F(Batch, OutputNamesTakenByFoldersAreReported) {
  testing::write_file(file("a.wpd"), examples::WpdBuilder().text("x").file());
  std::filesystem::create_directory(file("a.sxw"));
  std::filesystem::create_directory(file("a.wpd.txt"));
  CliRun run = cli({"--wpd", "--txt", "--sxw", file("a.wpd")});
  EXPECT_EQ(run.err,
            failed(file("a.wpd"), "txt", "cannot create " + file("a.wpd.txt") + ": Is a directory") +
                failed(file("a.wpd"), "sxw", "cannot create " + file("a.sxw") + ": Is a directory"));
  EXPECT_TRUE(std::filesystem::is_empty(file("a.sxw")));
  EXPECT_TRUE(std::filesystem::is_empty(file("a.wpd.txt")));
}

TEST_F(Batch, DamagedArchiveIsReportedAndKept) {
  testing::write_file(file("a.wpd"), examples::WpdBuilder().text("x").file());
  std::string damaged = std::string("PK\x03\x04", 4) + std::string(100, '\x7f');
  testing::write_file(file("a.sxw"), damaged);
  CliRun run = cli({"--wpd", "--sxw", file("a.wpd")});
  EXPECT_EQ(run.err, failed(file("a.wpd"), "sxw", "cannot write " + file("a.sxw")));
  EXPECT_EQ(testing::read_file(file("a.sxw")), damaged);
  EXPECT_EQ(testing::list_folder(docs.path()), (std::vector<std::string>{"a.sxw", "a.wpd"}));
}

TEST_F(Batch, DiskFullKeepsEveryEarlierOutput) {
  // Under a 1 MiB file-size limit the small document converts; the large one's outputs fail
  // part-way, and so does its packing and the spill of its single 5 MiB HTML line.
  testing::write_file(file("small.wp"), examples::AncientWpBuilder().text("small").file());
  testing::write_file(file("large.wp"), std::string(5 << 20, 'x'));
  for (const char* output : {"large.wp.txt", "large.wp.html"}) {
    testing::write_file(file(output), "earlier");
  }
  CliRun run = testing::run_cli_here({"--wp", "--sxw", file("large.wp")});  // no limit yet
  ASSERT_EQ(run.status, 0) << run.err;
  std::string archive_before = testing::read_file(file("large.sxw"));
  std::string out = work.file("out");
  testing::ChildResult child = testing::run_in_child(
      [&] {
        CliRun inside = testing::run_cli_here(
            {"--wp", "--txt", "--html", "--sxw", file("small.wp"), file("large.wp")});
        testing::write_file(out, inside.err);
        return inside.status;
      },
      {.file_size = 1 << 20});
  EXPECT_EQ(child.exit_status, 1);
  std::string large = file("large.wp");
  std::string too_large = ": File too large";
  EXPECT_EQ(testing::read_file(out),
            failed(large, "txt", "cannot write " + large + ".txt" + too_large) +
                failed(large, "html", "cannot write " + large + ".html" + too_large) +
                failed(large, "sxw", "cannot write " + file("large.sxw") + too_large));
  EXPECT_EQ(testing::read_file(file("small.wp.txt")), "small");
  EXPECT_EQ(testing::read_file(file("large.wp.txt")), "earlier");
  EXPECT_EQ(testing::read_file(file("large.wp.html")), "earlier");
  EXPECT_EQ(testing::read_file(file("large.sxw")), archive_before);
  EXPECT_EQ(testing::list_folder(docs.path()),
            (std::vector<std::string>{"large.sxw", "large.wp", "large.wp.html", "large.wp.txt",
                                      "small.sxw", "small.wp", "small.wp.html", "small.wp.txt"}));
}

TEST_F(Batch, TwoRunsInOneFolderEachPackTheirOwnDocument) {
  // Two processes in the same current directory, converting different documents at the same
  // moment, round after round: each archive holds its own document, whole.
  std::string a = examples::random_document(TYPE_WPD, 200000, 1, examples::Shape::text_heavy);
  std::string b = examples::random_document(TYPE_WPD, 150000, 2, examples::Shape::text_heavy);
  testing::write_file(file("a.wpd"), a);
  testing::write_file(file("b.wpd"), b);
  const ConverterSpec& wpd2xml = converter_for(OutputKind::sxw, TYPE_WPD);
  std::string expected_a = convert_memory(wpd2xml, a, "a.wpd").output;
  std::string expected_b = convert_memory(wpd2xml, b, "b.wpd").output;
  int mixed = 0;
  for (int round = 0; round < 30; ++round) {
    testing::ChildResult first, second;
    std::thread other([&] {
      second = testing::run_program({testing::cli_program(), file("b.wpd")});
    });
    first = testing::run_program({testing::cli_program(), file("a.wpd")});
    other.join();
    ASSERT_EQ(first.exit_status, 0);
    ASSERT_EQ(second.exit_status, 0);
    if (testing::content_of(file("a.sxw")) != expected_a) ++mixed;
    if (testing::content_of(file("b.sxw")) != expected_b) ++mixed;
  }
  EXPECT_EQ(mixed, 0) << "archives holding another run's document";
  EXPECT_TRUE(testing::list_folder(work.path()).empty());
}

TEST_F(Batch, FileSizeLimitIsReportedLikeAFullDisk) {
  // Under ulimit -f the program is not killed halfway through an output: the write fails,
  // is reported, and the partial file goes.
  // Letters that deflate little, so that the archive too passes the limit.
  std::string text(300000, 'x');
  std::uint32_t state = 1;
  for (char& c : text) {
    state = state * 1103515245 + 12345;
    c = static_cast<char>('a' + (state >> 16) % 26);
  }
  testing::write_file(file("a.txt"), text);
  testing::write_file(file("a.txt.txt"), "earlier");
  for (const char* option : {"--txt", "--sxw"}) {
    testing::ChildResult child =
        testing::run_program({testing::cli_program(), option, file("a.txt")},
                             {.file_size = 100000, .default_file_size_signal = true});
    EXPECT_EQ(child.signal, 0) << option;
    EXPECT_EQ(child.exit_status, 1) << option;
  }
  EXPECT_EQ(testing::read_file(file("a.txt.txt")), "earlier");
  EXPECT_EQ(testing::list_folder(docs.path()), (std::vector<std::string>{"a.txt", "a.txt.txt"}));
}

TEST_F(Batch, LongLinesGoBesideTheOutputNotIntoTheTemporaryFolder) {
  // An ancient WordPerfect line longer than the 4 MiB held in memory goes to a file while it
  // is converted to HTML. A temporary folder that takes no files (full, or not writable) must
  // not fail a conversion whose output folder has room.
  std::string line(5 << 20, 'w');
  testing::write_file(file("long.wp"), line);
  std::string expected =
      convert_memory(converter_for(OutputKind::html, TYPE_WP), line, "long.wp").output;
  TempDir closed;
  ::chmod(closed.path().c_str(), 0555);
  ::chmod(docs.path().c_str(), 0777);
  CliRun run;
  testing::TempDir capture;
  ::chmod(capture.path().c_str(), 0777);
  testing::ChildResult child = testing::run_in_child(
      [&] {
        ::setenv("TMPDIR", closed.path().c_str(), 1);
        CliRun inside = testing::run_cli_here({"--wp", "--html", file("long.wp")});
        testing::write_file(capture.file("err"), inside.err);
        return inside.status;
      },
      {.unprivileged = true});
  if (child.exit_status == testing::kLimitsRefused) GTEST_SKIP() << "cannot become nobody";
  EXPECT_EQ(child.exit_status, 0) << testing::read_file(capture.file("err"));
  EXPECT_TRUE(testing::read_file(file("long.wp.html")) == expected);
  EXPECT_EQ(testing::list_folder(docs.path()),
            (std::vector<std::string>{"long.wp", "long.wp.html"}));
}

}  // namespace
}  // namespace quorrel
