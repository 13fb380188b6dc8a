// Opens our .sxw archives in LibreOffice, as a user's office suite would, and checks that every
// word of the document arrives. Skipped where LibreOffice is not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

#include "cli/cli.h"
#include "convert/registry.h"
#include "example_documents.h"
#include "io/input_file.h"
#include "output/skeleton.h"
#include "random_documents.h"
#include "recognition/identify.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::FakePort;
using testing::letters_of;
using testing::TempDir;

std::vector<std::string> words_of(const std::string& text) {
  std::istringstream in(text);
  std::vector<std::string> words;
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

TEST(LibreOffice, OpensEveryArchiveWithAllItsWords) {
  std::string soffice = testing::find_program("soffice");
  if (soffice.empty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";

  TempDir dir;
  std::vector<examples::ExampleFile> documents = examples::example_files();
  using examples::Shape;
  documents.push_back(
      {"long text.wpd", examples::random_document(TYPE_WPD, 20000, 1, Shape::text_heavy)});
  documents.push_back(
      {"codes \"quoted\".wpd", examples::random_document(TYPE_WPD, 5000, 2, Shape::code_heavy)});
  documents.push_back(
      {"memo 5.w51", examples::random_document(TYPE_W51, 5000, 3, Shape::code_heavy)});

  // Every generation, detected as a user would leave it.
  std::vector<std::string> args = {"quorrel-cli", "--auto", "--txt", "--sxw"};
  for (const examples::ExampleFile& document : documents) {
    testing::write_file(dir.file(document.name), document.bytes);
    args.push_back(dir.file(document.name));
  }
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::FILE* quiet = std::fopen("/dev/null", "w");
  ASSERT_EQ(run_cli(static_cast<int>(argv.size()), argv.data(), quiet, stderr), 0);
  std::fclose(quiet);

  // One LibreOffice run for all archives, with a profile of its own and a time limit.
  std::vector<std::string> office = {"timeout",
                                     "300",
                                     soffice,
                                     "--headless",
                                     "-env:UserInstallation=file://" + dir.file("profile"),
                                     "--convert-to",
                                     "txt",
                                     "--outdir",
                                     dir.file("out")};
  // Each archive is named by its converter's extension rule.
  auto archive_of = [&dir](const examples::ExampleFile& document) {
    InputFile file;
    EXPECT_TRUE(file.open(dir.file(document.name)));
    ByteSource in = file.source();
    FormatCode format = identify(in);
    return archive_path_for(converter_for(OutputKind::sxw, format).archive,
                            dir.file(document.name));
  };
  for (const examples::ExampleFile& document : documents) office.push_back(archive_of(document));
  // LibreOffice exits with 0 even when it cannot load a file: the text files tell.
  testing::run_program(office);

  for (const examples::ExampleFile& document : documents) {
    std::filesystem::path archive = archive_of(document);
    std::string text_path = dir.file("out/" + archive.stem().string() + ".txt");
    ASSERT_TRUE(testing::exists(text_path)) << "LibreOffice could not load " << archive;
    std::string opened = testing::read_file(text_path);
    if (opened.starts_with("\xEF\xBB\xBF")) opened.erase(0, 3);  // byte order mark
    // Our own text output holds the same words: returns, tabs and spaces differ only in kind.
    std::string ours = testing::read_file(dir.file(document.name + ".txt"));
    EXPECT_FALSE(words_of(ours).empty());
    EXPECT_EQ(letters_of(opened), letters_of(ours)) << document.name;
  }
}

}  // namespace
}  // namespace quorrel
