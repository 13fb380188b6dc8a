#include "output/skeleton.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "batch/engine.h"
#include "convert/registry.h"
#include "example_documents.h"
#include "io/input_file.h"
#include "io/output_file.h"
#include "output/text_writer.h"
#include "output/transitions.h"
#include "test_support.h"

namespace quorrel {
namespace {

using testing::TempDir;

const ConverterSpec& wpd2txt_spec() { return converter_for(OutputKind::text, TYPE_WPD); }

using batch::Failure;

// Converts dir/name to text with the WordPerfect 6-9 converter, as a batch of that one file
// does, and says how it went.
Failure convert_one(const TempDir& dir, const std::string& name) {
  batch::Request request;
  request.files.push_back({dir.file(name), dir.file(name), name});
  request.outputs = {OutputKind::text};
  request.generation = TYPE_WPD;
  struct Last : batch::Reporter {
    Failure failure = Failure::none;
    void output_failed(const batch::FileJob&, const batch::FileOutcome&,
                       const batch::OutputOutcome& output) override {
      failure = output.failure;
    }
  } last;
  batch::run(request, last);
  return last.failure;
}

TEST(OutputNames, KeepTheInputsOwnExtension) {
  EXPECT_EQ(output_path_for(converter_for(OutputKind::text, TYPE_WPD), "/docs/report.wpd"),
            "/docs/report.wpd.txt");
  EXPECT_EQ(output_path_for(converter_for(OutputKind::html, TYPE_WPD), "/docs/report.wpd"),
            "/docs/report.wpd.html");
  EXPECT_EQ(output_path_for(converter_for(OutputKind::text, TYPE_UNKNOWN), "/docs/README"),
            "/docs/README.txt");
}

TEST(ConverterTable, EveryPairHasItsConverter) {
  const char* names[3][4] = {{"any2txt", "wp2txt", "w512txt", "wpd2txt"},
                             {"any2html", "wp2html", "w512html", "wpd2html"},
                             {"any2xml", "wp2xml", "w512xml", "wpd2xml"}};
  for (int kind = 0; kind < 3; ++kind) {
    for (int format = 0; format < kFormatCount; ++format) {
      const ConverterSpec& converter =
          converter_for(static_cast<OutputKind>(kind), static_cast<FormatCode>(format));
      EXPECT_EQ(converter.name, names[kind][format]);
      EXPECT_EQ(converter.kind, static_cast<OutputKind>(kind));
      EXPECT_NE(converter.body, nullptr) << converter.name;
      bool prefixed = format == TYPE_W51 || format == TYPE_WPD;
      EXPECT_EQ(converter.prefix != PrefixRule::none, prefixed) << converter.name;
      EXPECT_EQ(converter.archive == ArchiveRule::three_letter_extension, prefixed) << converter.name;
    }
  }
}

TEST(TextWriter, StoresEveryLineFeedAsCrLf) {
  std::string stored;
  StringSink sink(stored);
  {
    TextWriter out(sink);
    out.put('a');
    out.put('\n');
    out.write("\n<P>x\n");
    out.put_raw('\r');  // a raw CR stays a lone CR
    out.repeat(' ', 3);
  }
  EXPECT_EQ(stored, "a\r\n\r\n<P>x\r\n\r   ");
}

TEST(TextWriter, LargeWritesArriveWholeAndInOrder) {
  std::string stored;
  StringSink sink(stored);
  std::string big(200000, 'z');
  {
    TextWriter out(sink);
    out.put_raw('a');
    out.write_raw(big.data(), big.size());
    out.repeat('-', 100000);
    out.write("\n");
  }
  EXPECT_EQ(stored, "a" + big + std::string(100000, '-') + "\r\n");
}

// Joined literals keep each one's stored line ends; only their own bytes count.
constexpr BasicLiteral<32> tag_and_tab(const Literal& tag, const Literal& tab) {
  BasicLiteral<32> joined;
  joined += tag;
  joined += tab;
  return joined;
}

// A table that toggles bold: event 1 writes its tag, event 0 a line feed.
using ToggleText = BasicLiteral<16>;
constexpr auto kToggleTable = transition_table<ToggleText, 2, 2>(
    [](std::uint8_t bold, std::size_t event) consteval {
      Transition<ToggleText> step{ToggleText{"\n"}, bold};
      if (event == 1) step = {bold != 0 ? ToggleText{"</B>"} : ToggleText{"<B>"}, !bold};
      return step;
    });

// The bulk writers must store what the same units written one at a time store, also where
// they straddle the buffer's edge (the writer flushes when its room runs out).
TEST(TextWriter, BulkRunsMatchSingleUnitsAcrossTheBufferEdge) {
  static constexpr Literal kTab{"\n<tab/>"};
  static constexpr Literal kTag{"<B>"};
  static constexpr BasicLiteral<32> kJoined = tag_and_tab(kTag, kTab);
  TableWriter<ToggleText, 2, 2> bulk_table(kToggleTable);
  for (std::size_t lead : {std::size_t{0}, TextWriter::kCapacity - 200, TextWriter::kCapacity - 7,
                           TextWriter::kCapacity - 1}) {
    for (std::size_t count : {0, 1, 3, 4, 5, 128, 129, 20000}) {
      std::string bulk, single;
      StringSink bulk_sink(bulk), single_sink(single);
      {
        TextWriter out(bulk_sink);
        out.repeat(' ', lead);
        {
          // Copies few, within the room after the text, and beyond it.
          auto run = bulk_table.run<4, 32, 128>(out);
          run.write(1, '\t', count);
          run.write(0);
          run.write(1, '\t', 1);
          run.write(1, '\t', count);
        }
        bulk_table.write(out, 1);  // the state the run left
        out.repeat(kTab, count);
        out.write_if(true, kTag);
        out.write_if(false, kTab);
        out.write(kJoined);
        out.put_raw('.');
      }
      {
        TextWriter out(single_sink);
        out.repeat(' ', lead);
        out.write("<B>" + std::string(count, '\t') + "\n</B>\t<B>" + std::string(count, '\t'));
        out.write("</B>");
        for (std::size_t i = 0; i < count; ++i) out.write("\n<tab/>");
        out.write("<B>");
        out.write("<B>\n<tab/>");
        out.put_raw('.');
      }
      ASSERT_EQ(bulk, single) << "lead " << lead << ", count " << count;
    }
  }
}

TEST(TextWriter, ReportsASinkThatFails) {
  struct FullSink : Sink {
    bool write(const char*, std::size_t) override { return false; }
  } full;
  TextWriter out(full);
  out.write("text");
  EXPECT_FALSE(out.failed());  // still buffered
  out.flush();
  EXPECT_TRUE(out.failed());
}

TEST(ByteSource, ReadErrorEndsInputAndIsRemembered) {
  TempDir dir;
  int fd = ::open(dir.file("w").c_str(), O_WRONLY | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ByteSource in = ByteSource::from_fd(fd);  // reading a write-only descriptor fails
  EXPECT_EQ(in.get(), kEndOfInput);
  EXPECT_TRUE(in.read_error());
  ::close(fd);
}

TEST(ByteSource, ReadsAcrossBufferRefills) {
  TempDir dir;
  std::string content;
  for (int i = 0; i < 700000; ++i) content.push_back(static_cast<char>(i * 7));
  testing::write_file(dir.file("big"), content);
  int fd = ::open(dir.file("big").c_str(), O_RDONLY);
  // Read on this thread, and ahead on a second one with buffers that trade often.
  for (bool read_ahead : {false, true}) {
    SCOPED_TRACE(read_ahead ? "read ahead" : "read here");
    ASSERT_EQ(::lseek(fd, 0, SEEK_SET), 0);
    ByteSource in = read_ahead ? ByteSource::from_fd_read_ahead(fd, 4099) : ByteSource::from_fd(fd);
    std::string read_back;
    in.skip(3);
    for (int c = in.get(); c != kEndOfInput; c = in.get()) {
      read_back.push_back(static_cast<char>(c));
    }
    EXPECT_EQ(read_back, content.substr(3));
    EXPECT_FALSE(in.read_error());
    EXPECT_EQ(in.get(), kEndOfInput);  // and stays at the end
  }
  ::close(fd);
}

TEST(ByteSource, MemoryInPiecesRefillsOneBufferAPieceAtATime) {
  const std::string content = "abcdefghij";
  for (std::size_t piece : {1, 3, 10, 64}) {
    SCOPED_TRACE("piece " + std::to_string(piece));
    ByteSource in = ByteSource::from_memory_in_pieces(content, piece);
    ASSERT_TRUE(in.fill());
    const std::uint8_t* buffer = in.window_begin();
    EXPECT_NE(reinterpret_cast<const char*>(buffer), content.data());  // a copy, as from a file
    std::string read_back;
    while (in.fill()) {
      EXPECT_EQ(in.window_begin(), buffer);
      EXPECT_LE(static_cast<std::size_t>(in.window_end() - in.window_begin()), piece);
      read_back.append(in.window_begin(), in.window_end());
      in.advance_to(in.window_end());
    }
    EXPECT_EQ(read_back, content);
    EXPECT_FALSE(in.read_error());
  }
  ByteSource empty = ByteSource::from_memory_in_pieces({}, 2);
  EXPECT_EQ(empty.get(), kEndOfInput);
  EXPECT_FALSE(empty.read_error());
}

TEST(ByteSource, ReadAheadPassesOnErrorsAndStopsWhenDropped) {
  TempDir dir;
  int fd = ::open(dir.file("w").c_str(), O_RDWR | O_CREAT, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::write(fd, "abc", 3), 3);
  {
    // Reading a descriptor open for writing only fails.
    int write_only = ::open(dir.file("w").c_str(), O_WRONLY);
    ByteSource in = ByteSource::from_fd_read_ahead(write_only);
    EXPECT_EQ(in.get(), kEndOfInput);
    EXPECT_TRUE(in.read_error());
    ::close(write_only);
  }
  // A converter that stops early drops its source while the reader is still busy.
  std::string big(3 << 20, 'x');
  ASSERT_EQ(::pwrite(fd, big.data(), big.size(), 0), static_cast<ssize_t>(big.size()));
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(::lseek(fd, 0, SEEK_SET), 0);
    ByteSource in = ByteSource::from_fd_read_ahead(fd, 64 * 1024);
    EXPECT_EQ(in.get(), 'x');
  }
  ::close(fd);
}

TEST(ByteSource, MappedFileReadsAcrossWindows) {
  TempDir dir;
  std::string content;
  std::size_t size = 2 * ByteSource::kReadAheadBufferSize + ByteSource::kReadAheadBufferSize / 2 + 7;
  for (std::size_t i = 0; i < size; ++i) content.push_back(static_cast<char>(i * 7 + i / 4096));
  testing::write_file(dir.file("big"), content);
  int fd = ::open(dir.file("big").c_str(), O_RDONLY);
  ByteSource in = ByteSource::from_mapped_file(fd, content.size());
  std::string read_back;
  in.skip(3);
  for (int c = in.get(); c != kEndOfInput; c = in.get()) read_back.push_back(static_cast<char>(c));
  EXPECT_TRUE(read_back == content.substr(3));
  EXPECT_FALSE(in.read_error());
  EXPECT_EQ(in.get(), kEndOfInput);
  ::close(fd);
}

// Another program may shorten a file while it is converted: the pages beyond its new end
// fault, and the conversion must end with a read error rather than the process with SIGBUS.
TEST(ByteSource, MappedFileThatShrinksEndsWithAReadError) {
  TempDir dir;
  std::string content(4 << 20, 'x');
  testing::write_file(dir.file("shrinks"), content);
  int fd = ::open(dir.file("shrinks").c_str(), O_RDONLY);
  ByteSource in = ByteSource::from_mapped_file(fd, content.size());
  std::size_t read = 0;
  while (read < (3 << 19) && in.get() == 'x') ++read;
  ASSERT_EQ(::truncate(dir.file("shrinks").c_str(), 1 << 20), 0);
  while (in.get() != kEndOfInput) ++read;
  EXPECT_TRUE(in.read_error());
  EXPECT_LE(read, content.size());
  ::close(fd);
  // The guard stays usable for the next file.
  testing::write_file(dir.file("next"), "abc");
  fd = ::open(dir.file("next").c_str(), O_RDONLY);
  ByteSource next = ByteSource::from_mapped_file(fd, 3);
  EXPECT_EQ(next.get(), 'a');
  next.skip(5);
  EXPECT_FALSE(next.read_error());
  ::close(fd);
}

// A file shortened while it is read, by any amount, in each way an input is read (in buffers
// on this thread, ahead on another, or mapped): the shortened document is never passed off
// as the whole one. A cut inside the mapping's last page reads as zeros without any fault.
TEST(ByteSource, InputShortenedWhileReadEndsWithAReadErrorInEveryPath) {
  struct Case {
    const char* path;
    std::size_t size, cut_to;
  };
  const std::size_t big = (8 << 20) + 100;
  for (const Case& c :
       {Case{"buffered", 1 << 20, 300 << 10}, Case{"buffered", 1 << 20, (1 << 20) - 1},
        Case{"ahead", 3 << 20, (3 << 20) - 10}, Case{"mapped", big, big - 50},
        Case{"mapped", big, 5 << 20}, Case{"opened", 1 << 20, 500 << 10},
        Case{"opened", big, big - 1}}) {
    TempDir dir;
    std::string content(c.size, 'x');
    testing::write_file(dir.file("shrinks"), content);
    int fd = ::open(dir.file("shrinks").c_str(), O_RDONLY);
    InputFile input;
    ASSERT_TRUE(input.open(dir.file("shrinks")));
    auto size = static_cast<std::int64_t>(c.size);
    std::string_view path = c.path;
    ByteSource in = path == "buffered" ? ByteSource::from_fd(fd, 64 << 10, size)
                    : path == "ahead"  ? ByteSource::from_fd_read_ahead(fd, 1 << 20, size)
                    : path == "mapped" ? ByteSource::from_mapped_file(fd, c.size)
                                       : input.source();
    ASSERT_EQ(in.get(), 'x');
    ASSERT_EQ(::truncate(dir.file("shrinks").c_str(), static_cast<off_t>(c.cut_to)), 0);
    std::size_t read = 1;
    while (in.get() != kEndOfInput) ++read;
    EXPECT_TRUE(in.read_error()) << c.path << " cut to " << c.cut_to << " after " << read;
    ::close(fd);
  }
  // Read whole, a file of the size it had is no error, nor one of unknown size.
  TempDir dir;
  testing::write_file(dir.file("whole"), "abc");
  int fd = ::open(dir.file("whole").c_str(), O_RDONLY);
  for (std::int64_t size : {std::int64_t{3}, ByteSource::kUnknownSize}) {
    ::lseek(fd, 0, SEEK_SET);
    ByteSource in = ByteSource::from_fd(fd, 2, size);
    in.skip(10);
    EXPECT_FALSE(in.read_error());
  }
  ::close(fd);
}

// Bus errors that are not a mapped input's end the program as they would without the guard:
// killed by the signal, or reported by a sanitizer whose own handler was in place before.
bool died_of_bus_error(int status) {
  return (WIFSIGNALED(status) && WTERMSIG(status) == SIGBUS) ||
         (WIFEXITED(status) && WEXITSTATUS(status) == 1);
}

TEST(ByteSourceDeathTest, OtherBusErrorsStillEndTheProgram) {
  TempDir dir;
  testing::write_file(dir.file("input"), std::string(1 << 20, 'x'));
  testing::write_file(dir.file("other"), std::string(1 << 16, 'y'));
  auto with_guard = [&](auto then) {
    int fd = ::open(dir.file("input").c_str(), O_RDONLY);
    ByteSource in = ByteSource::from_mapped_file(fd, 1 << 20);
    in.get();
    then();
  };
  EXPECT_EXIT(with_guard([&] {
                int fd = ::open(dir.file("other").c_str(), O_RDWR);
                auto* other = static_cast<volatile char*>(
                    ::mmap(nullptr, 1 << 16, PROT_READ, MAP_SHARED, fd, 0));
                if (::ftruncate(fd, 0) != 0) std::_Exit(0);
                std::_Exit(other[1 << 15] + 2);
              }),
              died_of_bus_error, "");
  EXPECT_EXIT(with_guard([] {
                ::raise(SIGBUS);
                std::_Exit(0);
              }),
              died_of_bus_error, "");
}

TEST(ConvertToFile, WritesTheOutputBesideTheInput) {
  TempDir dir;
  testing::write_file(dir.file("a.wpd"), examples::WpdBuilder().text("one").hard_return().file());
  EXPECT_EQ(convert_one(dir, "a.wpd"), Failure::none);
  EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "one\r\n");
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{"a.wpd", "a.wpd.txt"}));
}

TEST(ConvertToFile, ExistingOutputIsReplaced) {
  TempDir dir;
  testing::write_file(dir.file("a.wpd"), examples::WpdBuilder().text("new").file());
  testing::write_file(dir.file("a.wpd.txt"), "old and longer");
  EXPECT_EQ(convert_one(dir, "a.wpd"), Failure::none);
  EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "new");
}

// An earlier file is swapped out and removed; whatever cannot be replaced by a file stays.
TEST(OutputFile, CommitReplacesOnlyAFile) {
  TempDir dir;
  auto write_and_commit = [](const std::string& path, const std::string& text) {
    OutputFile output;
    if (!output.create(path)) return false;
    output.sink().write(text.data(), text.size());
    return output.commit();
  };
  ASSERT_TRUE(write_and_commit(dir.file("out"), "first"));
  ASSERT_TRUE(write_and_commit(dir.file("out"), "second"));
  EXPECT_EQ(testing::read_file(dir.file("out")), "second");

  // A folder that appears under the name while the output is written.
  OutputFile output;
  ASSERT_TRUE(output.create(dir.file("late")));
  std::filesystem::create_directory(dir.path() / "late");
  testing::write_file(dir.file("late/inside"), "kept");
  EXPECT_FALSE(output.commit());
  EXPECT_EQ(testing::read_file(dir.file("late/inside")), "kept");
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{"late", "out"}));
}

TEST(ConvertToFile, MissingInputCreatesNoOutput) {
  TempDir dir;
  EXPECT_EQ(convert_one(dir, "gone.wpd"), Failure::open_input);
  EXPECT_TRUE(testing::list_folder(dir.path()).empty());
}

TEST(ConvertToFile, EarlierOutputSurvivesFailedRuns) {
  TempDir dir;
  testing::write_file(dir.file("a.wpd.txt"), "earlier conversion");
  EXPECT_EQ(convert_one(dir, "a.wpd"), Failure::open_input);
  testing::write_file(dir.file("a.wpd"), "not a WordPerfect file");
  EXPECT_EQ(convert_one(dir, "a.wpd"), Failure::prefix_mismatch);
  EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "earlier conversion");
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{"a.wpd", "a.wpd.txt"}));
}

TEST(ConvertToFile, DirectoryOrFifoInputIsRefusedWithoutBlocking) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "folder.wpd");
  ASSERT_EQ(::mkfifo(dir.file("pipe.wpd").c_str(), 0600), 0);
  EXPECT_EQ(convert_one(dir, "folder.wpd"), Failure::open_input);
  EXPECT_EQ(convert_one(dir, "pipe.wpd"), Failure::open_input);
}

TEST(ConvertToFile, OutputPathThatIsADirectoryIsAnOpenFailure) {
  TempDir dir;
  testing::write_file(dir.file("a.wpd"), examples::WpdBuilder().text("x").file());
  std::filesystem::create_directory(dir.path() / "a.wpd.txt");
  EXPECT_EQ(convert_one(dir, "a.wpd"), Failure::open_output);
  EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "a.wpd.txt"));
}

TEST(ConvertToFile, NameTooLongForTheFileSystemIsAnOpenFailure) {
  TempDir dir;
  // 252 characters fit as an input name, but not with ".txt" appended.
  std::string name(248, 'n');
  name += ".wpd";
  testing::write_file(dir.file(name), examples::WpdBuilder().text("x").file());
  EXPECT_EQ(convert_one(dir, name), Failure::open_output);
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{name}));
}

// Converts dir/a.wpd to text in a child under `limits`; the child's exit status is 0 when the
// conversion failed as `expected`.
testing::ChildResult convert_in_child(const TempDir& dir, Failure expected,
                                      testing::ChildLimits limits) {
  return testing::run_in_child([&] { return convert_one(dir, "a.wpd") == expected ? 0 : 1; },
                               limits);
}

TEST(ConvertToFile, UnwritableFolderIsAnOpenFailure) {
  // Root ignores permissions, so the conversion runs in a child as the user nobody.
  TempDir dir;
  testing::write_file(dir.file("a.wpd"), examples::WpdBuilder().text("x").file());
  testing::write_file(dir.file("a.wpd.txt"), "earlier");
  std::filesystem::permissions(
      dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec |
                      std::filesystem::perms::others_read | std::filesystem::perms::others_exec);
  testing::ChildResult child =
      convert_in_child(dir, Failure::open_output, {.unprivileged = true});
  if (child.exit_status == testing::kLimitsRefused) GTEST_SKIP() << "cannot become nobody";
  EXPECT_EQ(child.exit_status, 0) << "not reported as an open failure";
  EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "earlier");
  EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{"a.wpd", "a.wpd.txt"}));
}

// Large enough to be read ahead and written in the background.
std::string large_document() {
  examples::WpdBuilder builder;
  std::string line(999, 'w');
  for (int i = 0; i < 20000; ++i) builder.text(line).hard_return();
  return builder.file();
}

TEST(ConvertToFile, DiskFullDiscardsThePartialOutput) {
  // A file-size limit in a child process makes the writes fail (EFBIG): on this thread for a
  // small output, on the background writer for a large one.
  struct Case {
    std::string document;
    std::uint64_t limit;
  };
  for (const Case& c : {Case{examples::WpdBuilder().text(std::string(300000, 'w')).file(), 100000},
                        Case{large_document(), 12 << 20}}) {
    TempDir dir;
    testing::write_file(dir.file("a.wpd"), c.document);
    testing::write_file(dir.file("a.wpd.txt"), "earlier");
    testing::ChildResult child =
        convert_in_child(dir, Failure::write_error, {.file_size = c.limit});
    EXPECT_EQ(child.exit_status, 0) << "not reported as a write failure";
    EXPECT_EQ(testing::read_file(dir.file("a.wpd.txt")), "earlier");
    EXPECT_EQ(testing::list_folder(dir.path()), (std::vector<std::string>{"a.wpd", "a.wpd.txt"}));
  }
}

TEST(ConvertToFile, LargeFilesConvertAsInMemory) {
  TempDir dir;
  std::string document = large_document();
  ASSERT_GT(document.size(), FdSink::kBackgroundFrom);
  testing::write_file(dir.file("a.wpd"), document);
  std::string expected = convert_memory(wpd2txt_spec(), document, "a.wpd").output;
  EXPECT_EQ(convert_one(dir, "a.wpd"), Failure::none);
  EXPECT_TRUE(testing::read_file(dir.file("a.wpd.txt")) == expected);

  // Where no thread can be started, reading and writing stay on the converting thread.
  std::filesystem::remove(dir.file("a.wpd.txt"));
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  testing::ChildResult child = testing::run_in_child(
      [&] { return convert_one(dir, "a.wpd") == Failure::none ? 0 : 1; },
      {.unprivileged = true, .no_threads = true});
  if (child.exit_status == testing::kLimitsRefused) GTEST_SKIP() << "cannot limit threads";
  EXPECT_EQ(child.exit_status, 0);
  EXPECT_TRUE(testing::read_file(dir.file("a.wpd.txt")) == expected);
}

}  // namespace
}  // namespace quorrel
