// The WordPerfect 5.1 document stream, seen through the text converter (which adds nothing
// of its own), and the 5.1 converters on real files: prefix failures, Auto Detect, examples
// and corpus documents.
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "cli/cli.h"
#include "convert/registry.h"
#include "example_documents.h"
#include "output/skeleton.h"
#include "recognition/identify.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::bytes;

std::string w51_text(const std::string& area) {
  return testing::convert_area(converter_for(OutputKind::text, TYPE_W51), area);
}

std::string tabs(std::size_t count) { return std::string(count, '\t'); }

TEST(W51Stream, WorkedIndentationExample) {
  // Indent, hanging indent, 1, soft return, 2, hard return, 3, soft return, 4.
  EXPECT_EQ(w51_text(bytes({193, 0, 193, 194, 0, 194, '1', 13, '2', 10, '3', 13, '4'})),
            "\t\t1\r\n\t\t2\r\n\t\t3\r\n4");
  // Two hanging indents in a row: one tab, then two (the count so far).
  EXPECT_EQ(w51_text(bytes({194, 0, 194, 194, 0, 194, '1', 13, '2'})), "\t\t\t1\r\n\t\t2");
}

TEST(W51Stream, IndentEndedByAReturnDoesNotCountInTheHangingIndent) {
  EXPECT_EQ(w51_text(bytes({193, 0, 193, 13, 194, 0, 194, 'a', 13, 'b'})), "\t\r\n\ta\r\n\tb");
}

TEST(W51Stream, ReturnsTabsAndTheSpaceCode) {
  EXPECT_EQ(w51_text(bytes({'a', 13, 'b', 11, 'c', 144, 'd', 10, 'e', 9, 'f', 169, 'g'})),
            "a\r\nb\r\nc\r\nd\r\ne\tf g");
}

TEST(W51Stream, EveryOtherByteBelowTheGroupsWritesNothing) {
  std::string area = "x";
  for (int c = 0; c < 192; ++c) {
    bool acted_on =
        (c >= 32 && c <= 126) || c == 9 || c == 10 || c == 11 || c == 13 || c == 144 || c == 169;
    if (!acted_on) area.push_back(static_cast<char>(c));
  }
  area += "y";
  EXPECT_EQ(w51_text(area), "xy");
}

TEST(W51Stream, GroupEndsAtTheFirstByteEqualToItsCode) {
  // The indent group's second byte equals its code and ends it: "hi" is text, the real
  // closing byte opens a new group that hides "lost", and the next 193 ends that one.
  EXPECT_EQ(w51_text(bytes({193, 0, 193, 'h', 'i', 193, 'l', 'o', 's', 't', 193, 'o', 'k'})),
            "\thi\tok");
}

TEST(W51Stream, GroupContentWritesNothing) {
  // Characters, returns, tabs and a foreign code inside a 192 group.
  EXPECT_EQ(w51_text(bytes({192, 'a', 10, 9, 13, 193, 192, 'b'})), "b");
  // 193 inside a 208 group neither ends it nor counts as an indent: the hanging indent
  // afterwards starts from indent 0.
  EXPECT_EQ(w51_text(bytes({208, 193, 'a', 193, 208, 194, 0, 194, 'c', 13, 'd'})), "\tc\r\n\td");
  // 255 is a group code like any other, never the end of the input.
  EXPECT_EQ(w51_text(bytes({'a', 255, 'b', 255, 'c'})), "ac");
}

TEST(W51Stream, UnclosedGroupSwallowsTheRestSilently) {
  EXPECT_EQ(w51_text(bytes({'a', 212, 'b', 10, 'c'})), "a");
}

TEST(W51Stream, TextIgnoresAttributes) {
  EXPECT_EQ(w51_text(bytes({195, 12, 195, 'b', 196, 12, 196, 195, 15, 195, 'i'})), "bi");
}

TEST(W51Stream, EmptyDocumentAreaGivesEmptyText) { EXPECT_EQ(w51_text(""), ""); }

TEST(W51Stream, IndentationLevelsStopAtTheBound) {
  // Seventy hanging indents: the k-th writes k tabs up to 64, then 64 each; the line after
  // the soft return starts with 64.
  std::string area;
  for (int i = 0; i < 70; ++i) area += bytes({194, 0, 194});
  std::string expected = tabs(64 * 65 / 2 + 6 * 64) + "a\r\n" + tabs(64) + "b";
  EXPECT_EQ(w51_text(area + "a" + bytes({13}) + "b"), expected);

  // Every indent still writes its tab, but only 64 of them count towards the next line.
  area.clear();
  for (int i = 0; i < 70; ++i) area += bytes({193, 0, 193});
  EXPECT_EQ(w51_text(area + bytes({194, 0, 194, 'a', 13, 'b'})),
            tabs(70) + "\ta\r\n" + tabs(65) + "b");
}

// --- The converters on files ----------------------------------------------------------

std::vector<std::string> w51_examples() {
  std::vector<std::string> names;
  for (const auto& example : examples::example_files()) {
    if (example.name.ends_with(".wp5")) names.push_back(example.name);
  }
  return names;
}

std::string example_bytes(const std::string& name) {
  for (const auto& example : examples::example_files()) {
    if (example.name == name) return example.bytes;
  }
  ADD_FAILURE() << "no example " << name;
  return {};
}

TEST(W51Files, PrefixMismatchShowsTheMessageAndLeavesNoOutput) {
  testing::TempDir dir;
  testing::write_file(dir.file("plain.wp5"), "Just some text.\r\n");
  BatchState batch;
  batch.filepath = dir.path().string();
  batch.filename = "plain.wp5";
  batch.filepathname = dir.file("plain.wp5");
  testing::FakePort port;
  for (OutputKind kind : {OutputKind::text, OutputKind::html, OutputKind::sxw}) {
    run_converter(converter_for(kind, TYPE_W51), batch, port);
  }
  EXPECT_EQ(port.messages, std::vector<testing::FakePort::Message>(
                               3, {"This is NOT a WP51 file.", "File I/O Error!"}));
  EXPECT_EQ(testing::list_folder(dir.path()), std::vector<std::string>{"plain.wp5"});
}

TEST(W51Files, ExampleLetterReadsAsText) {
  EXPECT_EQ(w51_text(example_bytes("reply.wp5").substr(16)),
            "Dear reader,\r\n\r\n\tOur old letters <all of them> are readable\r\n"
            "again, with nothing lost & nothing \"guessed\".\r\n\r\nYours,\tThe archive\r\n");
}

TEST(W51Files, AutoDetectSendsTheExamplesToTheFiveOneConverters) {
  std::vector<std::string> names = w51_examples();
  ASSERT_FALSE(names.empty());
  testing::TempDir dir;
  std::vector<std::string> args = {"quorrel-cli", "--txt", "--html"};
  for (const std::string& name : names) {
    std::string content = example_bytes(name);
    ByteSource in = ByteSource::from_memory(content);
    EXPECT_EQ(identify(in), TYPE_W51) << name;
    testing::write_file(dir.file(name), content);
    args.push_back(dir.file(name));
  }
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::FILE* out = std::tmpfile();
  std::FILE* err = std::tmpfile();
  EXPECT_EQ(run_cli(static_cast<int>(argv.size()), argv.data(), out, err), 0);
  std::fclose(out);
  std::fclose(err);
  for (const std::string& name : names) {
    std::string content = example_bytes(name);
    for (auto [kind, extension] :
         {std::pair{OutputKind::text, ".txt"}, std::pair{OutputKind::html, ".html"}}) {
      MemoryConversion direct = convert_memory(converter_for(kind, TYPE_W51), content, name);
      EXPECT_EQ(testing::read_file(dir.file(name + extension)), direct.output) << name;
    }
  }
}

TEST(W51Files, CorpusDocumentsKeepTheirWords) {
  // Real documents, when the shared corpus is present (it is optional).
  struct Case {
    const char* name;
    const char* words;
  };
  const Case cases[] = {
      {"fc_wp51_52.doc", "Sluwe Sjaantje sloeg de slome slager"},
      {"ms_wp51.wp", "This is an example document created with Corel WordPerfect X3."},
  };
  int found = 0;
  for (const Case& c : cases) {
    std::string path = testing::corpus_file(c.name);
    if (path.empty()) continue;
    ++found;
    std::string content = testing::read_file(path);
    for (OutputKind kind : {OutputKind::text, OutputKind::html, OutputKind::sxw}) {
      MemoryConversion result = convert_memory(converter_for(kind, TYPE_W51), content, c.name);
      EXPECT_EQ(result.status, ConvertStatus::ok);
      EXPECT_NE(result.output.find(c.words), std::string::npos) << c.name;
    }
  }
  if (found == 0) GTEST_SKIP() << "corpus not present";
}

}  // namespace
}  // namespace quorrel
