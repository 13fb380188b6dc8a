// ODT packages of both readings against the outside world: every part validated against the
// OASIS ODF 1.3 schemas with jing, and opened by LibreOffice, which must find the text and
// render bold where the document has bold. Each test skips itself when its tool is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "convert/registry.h"
#include "output/skeleton.h"
#include "random_events.h"
#include "recognition/identify.h"
#include "writers/odt_support.h"

namespace quorrel {
namespace {

using testing::find_program;
using testing::letters_of;
using testing::TempDir;

std::string schema(const std::string& name) {
  return (std::filesystem::path(testing::source_file("")) / "../shared/odf-schema" / name).string();
}

// Every document of both readings the tests know: the examples and random documents of every
// generation and the shared corpus in the exact reading, the structure cases and random
// builder scripts in the complete reading. Returns the packages written into `dir`.
std::vector<std::string> write_all_packages(const TempDir& dir) {
  std::vector<std::string> packages;
  auto next = [&] { return dir.file("p" + std::to_string(packages.size()) + ".odt"); };
  for (const examples::ExampleFile& document : testing::odt_examples()) {
    for (FormatCode format : {TYPE_UNKNOWN, TYPE_WP, TYPE_W51, TYPE_WPD}) {
      std::string path = next();
      if (testing::write_exact_odt(dir.path(), document, format, path)) packages.push_back(path);
    }
  }
  std::filesystem::path corpus = testing::corpus_file("");
  if (!corpus.empty() && std::filesystem::is_directory(corpus)) {
    for (const std::string& name : testing::list_folder(corpus)) {
      if (name.ends_with(".md")) continue;
      examples::ExampleFile document{name, testing::read_file((corpus / name).string())};
      ByteSource probe = ByteSource::from_memory(document.bytes);
      std::string path = next();
      if (testing::write_exact_odt(dir.path(), document, identify(probe), path)) {
        packages.push_back(path);
      }
    }
  }
  // The command line's own packages of the whole corpus, in both readings: what a user gets.
  // A document the complete reading cannot read (one with a password) gives no package.
  if (!corpus.empty() && std::filesystem::is_directory(corpus)) {
    for (bool complete : {false, true}) {
      std::string out = dir.file(complete ? "cli-complete" : "cli-exact");
      std::vector<std::string> args = {"-q", "--odt", "-r", "-o", out, corpus.string()};
      if (complete) args.insert(args.begin(), "--complete");
      testing::CliRun run = testing::run_cli_here(args);
      std::size_t written = 0;
      for (const auto& entry : std::filesystem::recursive_directory_iterator(out)) {
        if (entry.path().extension() != ".odt") continue;
        packages.push_back(entry.path().string());
        ++written;
      }
      std::size_t documents = testing::list_folder(corpus).size();
      if (complete) {
        EXPECT_GT(written, documents / 2) << run.err;
      } else {
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(written, documents);
      }
    }
  }
  for (const testing::CompleteCase& c : testing::complete_cases()) {
    packages.push_back(next());
    testing::write_complete_odt(dir.path(), c.script, packages.back());
  }
  for (std::uint32_t key = 1; key <= 20; ++key) {
    std::string script = examples::random_script(3000, key);
    packages.push_back(next());
    testing::write_complete_odt(
        dir.path(), [&script](document::DocumentBuilder& b) { examples::play_events(b, script); },
        packages.back());
  }
  return packages;
}

TEST(OdfSchema, EveryPartOfBothReadingsValidates) {
  std::string jing = find_program("jing");
  if (jing.empty()) GTEST_SKIP() << "jing is not installed";
  if (!testing::exists(schema("OpenDocument-v1.3-schema.rng"))) {
    GTEST_SKIP() << "the ODF schemas are not beside the project";
  }
  TempDir dir;
  std::vector<std::string> packages = write_all_packages(dir);
  ASSERT_GT(packages.size(), 60u);
  // One jing run per schema for all documents: each part names its package's folder.
  std::vector<std::string> parts = {jing, "-i", schema("OpenDocument-v1.3-schema.rng")};
  std::vector<std::string> manifests = {jing, "-i",
                                        schema("OpenDocument-v1.3-manifest-schema.rng")};
  for (const std::string& package : packages) {
    std::string folder = package.substr(0, package.size() - 4);
    testing::unpack(package, folder);
    for (const char* part : {"content.xml", "styles.xml", "meta.xml"}) {
      parts.push_back(folder + "/" + part);
    }
    manifests.push_back(folder + "/META-INF/manifest.xml");
  }
  EXPECT_EQ(testing::run_program(parts).exit_status, 0) << "jing names the invalid parts above";
  EXPECT_EQ(testing::run_program(manifests).exit_status, 0) << "jing names the invalid manifests";
}

// Runs LibreOffice once on `inputs`, converting each to `format` in `dir`/`out`.
void office_convert(const std::string& soffice, const TempDir& dir, const std::string& format,
                    const std::vector<std::string>& inputs, const std::string& out = "out") {
  std::vector<std::string> args = {"timeout",
                                   "300",
                                   soffice,
                                   "--headless",
                                   "-env:UserInstallation=file://" + dir.file("profile"),
                                   "--convert-to",
                                   format,
                                   "--outdir",
                                   dir.file(out)};
  args.insert(args.end(), inputs.begin(), inputs.end());
  // LibreOffice exits with 0 even when it cannot load a file: the outputs tell.
  testing::run_program(args);
}

std::string opened_text(const TempDir& dir, const std::string& stem,
                        const std::string& out = "out") {
  std::string path = dir.file(out + "/" + stem + ".txt");
  EXPECT_TRUE(testing::exists(path)) << "LibreOffice could not load " << stem;
  std::string text = testing::exists(path) ? testing::read_file(path) : "";
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);  // byte order mark
  return text;
}

// The complete reading's document for LibreOffice: words in a paragraph, a bold word and a table.
void structured_document(document::DocumentBuilder& b) {
  b.printable_ascii("Quarterly figures follow ");
  b.set_attribute(document::Attribute::bold, true);
  b.printable_ascii("below");
  b.set_attribute(document::Attribute::bold, false);
  b.open_sub_document(document::SubDocument::footnote);
  b.printable_ascii("Unaudited.");
  b.close_sub_document();
  b.paragraph_break();
  b.open_table(2);
  b.open_cell();
  b.printable_ascii("North");
  b.open_cell();
  b.printable_ascii("1200");
  b.close_table();
  b.printable_ascii("End of report");
  b.finish();
}

TEST(LibreOfficeOdt, OpensBothReadingsWithTheirTextAndShowsBold) {
  std::string soffice = find_program("soffice");
  if (soffice.empty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  TempDir dir;

  // The exact reading: every example, in its detected generation, holds the same letters as
  // the text output of the same reading.
  struct Exact {
    std::string stem;
    std::string text;
  };
  std::vector<Exact> exact;
  std::vector<std::string> inputs;
  for (const examples::ExampleFile& document : examples::example_files()) {
    ByteSource probe = ByteSource::from_memory(document.bytes);
    FormatCode format = identify(probe);
    std::string stem = "exact" + std::to_string(exact.size());
    if (!testing::write_exact_odt(dir.path(), document, format, dir.file(stem + ".odt"))) continue;
    exact.push_back(
        {stem,
         convert_memory(converter_for(OutputKind::text, format), document.bytes, "t").output});
    inputs.push_back(dir.file(stem + ".odt"));
  }
  testing::write_complete_odt(dir.path(), structured_document, dir.file("complete.odt"));
  inputs.push_back(dir.file("complete.odt"));
  office_convert(soffice, dir, "txt", inputs);

  for (const Exact& document : exact) {
    EXPECT_FALSE(letters_of(document.text).empty());
    EXPECT_EQ(letters_of(opened_text(dir, document.stem)), letters_of(document.text))
        << document.stem;
  }
  std::string complete = opened_text(dir, "complete");
  for (const char* words : {"Quarterly figures follow below", "North", "1200", "End of report"}) {
    EXPECT_NE(complete.find(words), std::string::npos) << words << " in\n" << complete;
  }

  // Rendered, a document with bold uses a bold font and one without uses none: the bold comes
  // from the text styles. memo.wpd has a bold heading; notes.txt has no bold.
  std::string pdffonts = find_program("pdffonts");
  if (pdffonts.empty()) GTEST_SKIP() << "pdffonts (poppler-utils) is not installed";
  examples::ExampleFile memo, notes;
  for (const examples::ExampleFile& document : examples::example_files()) {
    if (document.name == "memo.wpd") memo = document;
    if (document.name == "notes.txt") notes = document;
  }
  ASSERT_FALSE(memo.bytes.empty());
  ASSERT_FALSE(notes.bytes.empty());
  ASSERT_TRUE(testing::write_exact_odt(dir.path(), memo, TYPE_WPD, dir.file("memo.odt")));
  ASSERT_TRUE(testing::write_exact_odt(dir.path(), notes, TYPE_UNKNOWN, dir.file("notes.odt")));
  office_convert(soffice, dir, "pdf",
                 {dir.file("complete.odt"), dir.file("memo.odt"), dir.file("notes.odt")});
  auto fonts_of = [&](const std::string& stem) {
    std::string listing = dir.file(stem + ".fonts");
    testing::run_program({"sh", "-c", "\"$0\" \"$1\" > \"$2\"", pdffonts,
                          dir.file("out/" + stem + ".pdf"), listing});
    return testing::exists(listing) ? testing::read_file(listing) : "";
  };
  EXPECT_NE(fonts_of("complete").find("Bold"), std::string::npos);
  EXPECT_NE(fonts_of("memo").find("Bold"), std::string::npos);
  std::string plain = fonts_of("notes");
  EXPECT_GT(std::count(plain.begin(), plain.end(), '\n'), 2) << "no font listed:\n" << plain;
  EXPECT_EQ(plain.find("Bold"), std::string::npos) << plain;
}

// The letters of a content.xml's body as an office suite exports it to text: without what that
// export leaves out (note bodies, text boxes, comments) and with a note's citation in place.
std::string body_letters(std::string_view content) {
  std::string text;
  int left_out = 0;  // depth inside elements the export leaves out
  std::size_t at = content.find("<office:text>");
  while (at < content.size()) {
    if (content[at] == '<') {
      std::size_t end = content.find('>', at);
      if (end == std::string_view::npos) break;
      std::string_view tag = content.substr(at + 1, end - at - 1);
      bool closing = tag.starts_with('/');
      std::string_view name = tag.substr(closing, tag.find_first_of(" /", closing) - closing);
      if ((name == "text:note-body" || name == "draw:frame" || name == "office:annotation") &&
          !tag.ends_with('/')) {
        left_out += closing ? -1 : 1;
      }
      at = end + 1;
      continue;
    }
    std::size_t end = std::min(content.find('<', at), content.size());
    if (left_out == 0) text += content.substr(at, end - at);
    at = end;
  }
  for (auto [reference, character] :
       {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&apos;", "'"}, {"&amp;", "&"}}) {
    for (std::size_t found = 0; (found = text.find(reference, found)) != std::string::npos;) {
      text.replace(found, std::strlen(reference), character);
      found += 1;
    }
  }
  return letters_of(text);
}

// Every corpus document's package in both readings, as the command line writes it, opened by
// LibreOffice with all its text: in the exact reading the letters of the text output of the
// same reading, in the complete reading those of the package's own body.
TEST(LibreOfficeOdt, OpensEveryCorpusDocumentWithItsText) {
  std::string soffice = find_program("soffice");
  if (soffice.empty()) GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  std::filesystem::path corpus = testing::corpus_file("");
  if (corpus.empty() || !std::filesystem::is_directory(corpus)) {
    GTEST_SKIP() << "the shared corpus is not beside the project";
  }
  std::size_t documents = testing::list_folder(corpus).size();
  TempDir dir;
  for (bool complete : {false, true}) {
    std::string reading = complete ? "complete" : "exact";
    std::vector<std::string> args = {"-q", "--txt",           "--odt",        "-r",
                                     "-o", dir.file(reading), corpus.string()};
    if (complete) args.insert(args.begin(), "--complete");
    testing::CliRun run = testing::run_cli_here(args);
    std::vector<std::string> packages;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.file(reading))) {
      if (entry.path().extension() == ".odt") packages.push_back(entry.path().string());
    }
    // A document the complete reading cannot read (one with a password) gives no package.
    EXPECT_GT(packages.size(), complete ? documents / 2 : documents - 1) << run.err;
    office_convert(soffice, dir, "txt", packages, reading + "-opened");

    for (const std::string& package : packages) {
      std::filesystem::path path(package);
      std::string opened = letters_of(opened_text(dir, path.stem(), reading + "-opened"));
      std::string expected =
          complete ? body_letters(testing::read_odt_package(package).content)
                   : letters_of(testing::read_file(path.replace_extension(".txt").string()));
      EXPECT_EQ(opened, expected) << reading << " reading of " << path.stem();
    }
  }
}

}  // namespace
}  // namespace quorrel
