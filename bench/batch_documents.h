// The documents of the batch benchmarks: COUNT of about 20 KB in a folder, a quarter of each
// generation, the same every time.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "random_documents.h"

namespace quorrel {

// Writes them (exiting on failure) and returns their paths.
inline std::vector<std::string> make_batch_documents(const std::string& folder, int count) {
  const FormatCode formats[] = {TYPE_WPD, TYPE_W51, TYPE_WP, TYPE_UNKNOWN};
  const char* const extensions[] = {".wpd", ".w51", ".wp", ".any"};
  std::filesystem::create_directories(folder);
  std::vector<std::string> paths;
  for (int i = 0; i < count; ++i) {
    std::string path = folder + "/doc" + std::to_string(i) + extensions[i % 4];
    std::string bytes = examples::random_document(formats[i % 4], 20 << 10,
                                                  static_cast<std::uint32_t>(i + 1),
                                                  examples::Shape::text_heavy);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
      std::perror(path.c_str());
      std::exit(1);
    }
    std::fclose(file);
    paths.push_back(path);
  }
  return paths;
}

}  // namespace quorrel
