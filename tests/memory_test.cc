// Peak memory of whole conversions, measured on the command-line program in a child process:
// it must not grow with the input. Not run under the sanitizers, whose own memory would count.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include "convert/registry.h"
#include "example_documents.h"
#include "output/skeleton.h"
#include "test_support.h"
#include "wp5_documents.h"
#include "wp6_documents.h"

namespace quorrel {
namespace {

using testing::TempDir;

// Buffers of a few hundred KiB and a held line of at most 4 MiB, with room for the C++ runtime.
constexpr long kPeakLimitKb = 32 * 1024;

std::string frame_of(OutputKind kind, FormatCode format, const std::string& name) {
  const ConverterSpec& converter = converter_for(kind, format);
  std::string empty = converter.prefix == PrefixRule::none ? "" : examples::wpd_prefix();
  return convert_memory(converter, empty, name).output;
}

TEST(ConstantMemory, FiveGibibytesOfSparseInput) {
  // All zero bytes, which every converter drops: only the frame is written.
  TempDir dir;
  std::string input = dir.file("sparse.bin");
  int fd = ::open(input.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, off_t{5} << 30), 0);
  ::close(fd);
  testing::ChildResult run = testing::run_program({testing::cli_program(), "--html", input});
  EXPECT_EQ(run.exit_status, 0);
  EXPECT_LT(run.max_rss_kb, kPeakLimitKb);
  EXPECT_EQ(testing::read_file(input + ".html"),
            frame_of(OutputKind::html, TYPE_UNKNOWN, "sparse.bin"));
}

TEST(ConstantMemory, OneLineOfFortyEightMebibytesInEveryHtmlConverter) {
  // The ancient page holds each line until it ends; past 4 MiB it goes to a temporary file.
  constexpr std::size_t kLine = 48u << 20;
  TempDir dir;
  struct Case {
    const char* option;
    FormatCode format;
  };
  for (const Case& c : {Case{"--auto", TYPE_UNKNOWN}, Case{"--wp", TYPE_WP},
                        Case{"--w51", TYPE_W51}, Case{"--wpd", TYPE_WPD}}) {
    std::string input = dir.file("line.doc");
    {
      std::string chunk(1 << 20, 'x');
      std::string prefix = converter_for(OutputKind::html, c.format).prefix == PrefixRule::none
                               ? ""
                               : examples::wpd_prefix();
      std::FILE* out = std::fopen(input.c_str(), "wb");
      ASSERT_NE(out, nullptr);
      std::fwrite(prefix.data(), 1, prefix.size(), out);
      for (std::size_t written = 0; written < kLine; written += chunk.size()) {
        std::fwrite(chunk.data(), 1, chunk.size(), out);
      }
      ASSERT_EQ(std::fclose(out), 0);
    }
    testing::ChildResult run =
        testing::run_program({testing::cli_program(), c.option, "--html", input});
    EXPECT_EQ(run.exit_status, 0) << c.option;
    EXPECT_LT(run.max_rss_kb, kPeakLimitKb) << c.option;
    // Every character arrives: the page is its frame and the whole line.
    EXPECT_EQ(std::filesystem::file_size(input + ".html"),
              frame_of(OutputKind::html, c.format, "line.doc").size() + kLine)
        << c.option;
    std::filesystem::remove(input);
    std::filesystem::remove(input + ".html");
  }
}

TEST(ConstantMemory, CompleteReadingOfALargeDocumentIntoEveryOutput) {
  // Real-shaped documents repeat one mebibyte of document area to 256 MiB, far past the limit:
  // the reading holds no more than a sub-document, a held table or notes below their spill
  // limit. (make bench measures a whole gibibyte.)
  constexpr long kCompleteLimitKb = 16 * 1024;
  constexpr std::size_t kSize = std::size_t{256} << 20;
  TempDir dir;
  struct Case {
    const char* name;
    std::string prefix, area;
  };
  std::string wp5 = examples::make_wp5_document(1 << 20, 3);
  std::size_t wp5_start = static_cast<unsigned char>(wp5[4]) |
                          static_cast<unsigned char>(wp5[5]) << 8;
  const Case cases[] = {
      {"big.wp", wp5.substr(0, wp5_start), wp5.substr(wp5_start)},
      {"big.wpd", examples::wp6_document_prefix(), examples::wp6_document_area(1 << 20, 3)},
  };
  for (const Case& c : cases) {
    std::string input = dir.file(c.name);
    if (c.name == std::string_view("big.wpd")) {
      // The same document wrapped in a compound file, its stream in one piece of the file and
      // scattered over it: read where it lies, or gathered outside memory. (Built in a child
      // of its own: a program's peak counts what it shared with this process when started.)
      for (bool scattered : {false, true}) {
        std::string wrapped = dir.file(scattered ? "scattered.wpd" : "whole.wpd");
        pid_t builder = ::fork();
        if (builder == 0) {
          std::string document = c.prefix;
          // A quarter of the size: a copy of the stream would still pass the limit four times.
          while (document.size() < kSize / 4) document += c.area;
          testing::write_file(wrapped, examples::make_compound_file(document, 12, scattered));
          ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(builder, &status, 0), builder);
        testing::ChildResult run = testing::run_program(
            {testing::cli_program(), "--complete", "--txt", "--html", "--sxw", wrapped});
        EXPECT_EQ(run.exit_status, 0) << wrapped;
        EXPECT_LT(run.max_rss_kb, kCompleteLimitKb) << wrapped;
        EXPECT_GT(std::filesystem::file_size(wrapped + ".txt"), kSize / 16) << wrapped;
        for (const char* extension : {".txt", ".html"}) std::filesystem::remove(wrapped + extension);
        std::filesystem::remove(wrapped);
      }
    }
    {
      std::FILE* out = std::fopen(input.c_str(), "wb");
      ASSERT_NE(out, nullptr);
      std::fwrite(c.prefix.data(), 1, c.prefix.size(), out);
      for (std::size_t written = 0; written < kSize; written += c.area.size()) {
        std::fwrite(c.area.data(), 1, c.area.size(), out);
      }
      ASSERT_EQ(std::fclose(out), 0);
    }
    testing::ChildResult run = testing::run_program(
        {testing::cli_program(), "--complete", "--txt", "--html", "--sxw", input});
    EXPECT_EQ(run.exit_status, 0) << c.name;
    EXPECT_LT(run.max_rss_kb, kCompleteLimitKb) << c.name;
    // The text holds the document's words, not only a frame.
    EXPECT_GT(std::filesystem::file_size(input + ".txt"), kSize / 4) << c.name;
    for (const char* extension : {".txt", ".html"}) std::filesystem::remove(input + extension);
    std::filesystem::remove(input);
  }
}

}  // namespace
}  // namespace quorrel
