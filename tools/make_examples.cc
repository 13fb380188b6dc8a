// Writes the example documents into a folder, for the demo and for fuzz corpora.
#include <cstdio>
#include <fstream>
#include <string>

#include "example_documents.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "Usage: quorrel-make-examples FOLDER\n");
    return 2;
  }
  std::string folder = argv[1];
  for (const auto& example : quorrel::examples::example_files()) {
    std::string path = folder + "/" + example.name;
    std::ofstream out(path, std::ios::binary);
    out.write(example.bytes.data(), static_cast<std::streamsize>(example.bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "quorrel-make-examples: cannot write %s\n", path.c_str());
      return 1;
    }
    std::printf("%s\n", path.c_str());
  }
  return 0;
}
