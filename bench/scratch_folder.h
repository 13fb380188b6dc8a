// A folder of the benchmarks' own for the files a packaged output needs, removed at exit.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace quorrel {

inline const std::string& scratch_folder() {
  static const struct Scratch {
    Scratch() {
      std::string pattern =
          (std::filesystem::temp_directory_path() / "quorrel-bench-XXXXXX").string();
      path = ::mkdtemp(pattern.data()) != nullptr ? pattern : ".";
    }
    ~Scratch() {
      if (path != ".") std::filesystem::remove_all(path);
    }
    std::string path;
  } scratch;
  return scratch.path;
}

}  // namespace quorrel
