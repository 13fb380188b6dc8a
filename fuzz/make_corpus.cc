// Writes the starting corpus of every fuzz target from the project's own document generators:
//   quorrel-make-fuzz-corpus FOLDER
// gives FOLDER/<target>/ for each target, in the input layout that target reads.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "example_documents.h"
#include "random_documents.h"
#include "random_events.h"

namespace fs = std::filesystem;
using quorrel::FormatCode;
using quorrel::examples::Shape;

namespace {

constexpr const char* kFormats[] = {"any", "wp", "w51", "wpd"};  // w51 + 2 + txt: w512txt
constexpr const char* kKinds[] = {"txt", "html", "xml"};
constexpr Shape kShapes[] = {Shape::text_heavy, Shape::code_heavy, Shape::worst_case};

bool write(const fs::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (out.flush()) return true;
  std::fprintf(stderr, "quorrel-make-fuzz-corpus: cannot write %s\n", path.c_str());
  return false;
}

bool has_prefix(FormatCode format) {
  return format == quorrel::TYPE_W51 || format == quorrel::TYPE_WPD;
}

// Whole documents of one generation, and for the prefixed ones their document areas behind
// an odd first byte, which the converter fuzzer replaces by the shortest prefix.
std::vector<std::string> documents_of(FormatCode format) {
  std::vector<std::string> documents;
  std::uint32_t key = 1;
  for (Shape shape : kShapes) {
    for (std::size_t size : {64, 512, 3000}) {
      documents.push_back(quorrel::examples::random_document(format, size, key, shape));
      if (has_prefix(format)) {
        documents.push_back("\x01" +
                            quorrel::examples::random_document_area(format, size, key, shape));
      }
      ++key;
    }
  }
  return documents;
}

// One batch in the driver fuzzer's layout: the option byte, then each file as a literal name
// (shorter than 128 bytes), a regular file, its contents.
std::string batch(int options, const std::vector<quorrel::examples::ExampleFile>& files) {
  std::string bytes(1, static_cast<char>(options));
  for (const auto& file : files) {
    bytes.push_back(static_cast<char>(file.name.size()));
    bytes += file.name;
    std::size_t length = std::min<std::size_t>(file.bytes.size(), 4096);
    bytes.push_back(static_cast<char>(length & 0xFF));
    bytes.push_back(static_cast<char>(length >> 8));
    bytes.append(file.bytes, 0, length);
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: quorrel-make-fuzz-corpus FOLDER\n");
    return 2;
  }
  fs::path folder = argv[1];
  std::vector<quorrel::examples::ExampleFile> examples = quorrel::examples::example_files();
  bool ok = true;
  auto put = [&ok, &folder](const std::string& target, const std::vector<std::string>& inputs) {
    fs::create_directories(folder / target);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      ok = write(folder / target / ("input-" + std::to_string(i)), inputs[i]) && ok;
    }
  };

  std::vector<std::string> every_document;
  for (const auto& example : examples) every_document.push_back(example.bytes);
  for (int format = 0; format < 4; ++format) {
    std::vector<std::string> own = documents_of(static_cast<FormatCode>(format));
    every_document.insert(every_document.end(), own.begin(), own.end());
    for (const auto& example : examples) own.push_back(example.bytes);
    for (const char* kind : kKinds)
      put(std::string(kFormats[format]) + "2" + kind + "_fuzzer", own);
  }
  put("identify_fuzzer", every_document);
  put("wp6_reader_fuzzer", every_document);
  put("reader_fuzzer", every_document);
  // The bytes after the magic: a header of 512-byte sectors with one table sector.
  std::string ole(504, '\0');
  ole[0x1E - 8] = 9;
  ole[0x20 - 8] = 6;
  ole[0x2C - 8] = 1;
  put("ole_fuzzer", {ole});

  // The ODT fuzzer: a mode byte (0-3 the exact reading of that generation, 4 the complete
  // reading's builder calls), then the input.
  std::vector<std::string> odt_inputs;
  for (int format = 0; format < 4; ++format) {
    for (const std::string& document : documents_of(static_cast<FormatCode>(format))) {
      if (document.empty() || document[0] != '\x01') {
        odt_inputs.push_back(std::string(1, static_cast<char>(format)) + document);
      }
    }
  }
  for (std::uint32_t key = 1; key <= 8; ++key) {
    odt_inputs.push_back("\x04" + quorrel::examples::random_script(64u << (key % 6), key));
  }
  put("odt_fuzzer", odt_inputs);

  // Batches: every example under each generation choice and output set; odd names; names that
  // meet other names' outputs; missing files, folders and FIFOs; names near the length limit.
  constexpr int kAllOutputs = 7;
  std::vector<std::string> batches;
  for (int radio : {8, 16, 32, 64}) batches.push_back(batch(kAllOutputs | radio, examples));
  batches.push_back(batch(1 | 8, examples));
  batches.push_back(batch(4 | 8, {{"odd -name <&> \"q\" 'q'\n\xff.wpd", examples[0].bytes},
                                  {"-leading dash.wp5", examples.back().bytes}}));
  std::string collisions = batch(kAllOutputs | 8, {{"a", examples[0].bytes}});
  for (char suffix : {0, 1, 2, 3, 4, 5}) {
    collisions += std::string("\x80") + suffix + std::string("\x10\x00", 2) + "plain text here!";
  }
  batches.push_back(collisions);
  std::string kinds = batch(kAllOutputs | 8, {{"present.wpd", examples[0].bytes}});
  kinds += std::string("\x07missing\x00\x40", 10) + std::string("\x06folder\x00\x80", 9) +
           std::string("\x04pipe\x00\xc0", 7);
  batches.push_back(kinds);
  std::string long_names = batch(kAllOutputs | 8, {});
  for (int k : {0xC0 + 11, 0xC0 + 12, 0xC0 + 15, 0xC0 + 16}) {
    long_names += std::string(1, static_cast<char>(k)) + ".wpd" + std::string("\x20\x00", 2) +
                  examples[0].bytes.substr(0, 32);
  }
  batches.push_back(long_names);
  put("driver_fuzzer", batches);

  // Scripts of builder calls (builder_script.h): random ones, and ones that dwell on tables,
  // notes and attributes (the call is the byte modulo 20).
  std::vector<std::string> scripts;
  std::mt19937 random(11);
  for (std::size_t size : {16, 64, 256, 1024, 4096}) {
    for (int i = 0; i < 4; ++i) {
      std::string script(size, '\0');
      for (char& c : script) c = static_cast<char>(random());
      scripts.push_back(std::move(script));
    }
  }
  for (std::string_view pattern : {std::string_view("\x0e\x03\x0f\x10\x00\x05\x11\x00\x04\x12", 10),
                                   std::string_view("\x00\x05\x0c\x00\x00\x03\x06\x0d", 8),
                                   std::string_view("\x09\x80\x00\x03\x09\x05\x01\x09\x00", 9)}) {
    std::string script;
    for (int i = 0; i < 50; ++i) script += pattern;
    scripts.push_back(std::move(script));
  }
  put("writer_fuzzer", scripts);
  return ok ? 0 : 1;
}
