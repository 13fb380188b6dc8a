// Writes one generated document of any size, piece by piece, for the whole-process benchmark:
//   quorrel-make-document any|wp|w51|wpd text_heavy|code_heavy|worst_case SIZE KEY PATH
//   quorrel-make-document wpd real SIZE KEY PATH
// SIZE takes a K, M or G suffix (powers of 1024). "real" is a WordPerfect 6 document shaped
// like real ones, whole for the complete reading (at least SIZE bytes, in whole pieces).
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>

#include "random_documents.h"
#include "wp6_documents.h"

using quorrel::examples::Shape;

namespace {

bool parse_format(std::string_view name, quorrel::FormatCode& format) {
  if (name == "any") format = quorrel::TYPE_UNKNOWN;
  else if (name == "wp") format = quorrel::TYPE_WP;
  else if (name == "w51") format = quorrel::TYPE_W51;
  else if (name == "wpd") format = quorrel::TYPE_WPD;
  else return false;
  return true;
}

bool parse_shape(std::string_view name, Shape& shape) {
  if (name == "text_heavy") shape = Shape::text_heavy;
  else if (name == "code_heavy") shape = Shape::code_heavy;
  else if (name == "worst_case") shape = Shape::worst_case;
  else return false;
  return true;
}

bool parse_size(const char* text, unsigned long long& size) {
  char* rest = nullptr;
  size = std::strtoull(text, &rest, 10);
  std::string_view suffix = rest;
  if (suffix == "K") size <<= 10;
  else if (suffix == "M") size <<= 20;
  else if (suffix == "G") size <<= 30;
  else if (!suffix.empty()) return false;
  return rest != text;
}

// A real-shaped 6.x document of at least `size` bytes.
int write_real(unsigned long long size, unsigned key, const char* path) {
  std::ofstream out(path, std::ios::binary);
  std::string prefix = quorrel::examples::wp6_document_prefix();
  out << prefix;
  for (unsigned long long written = prefix.size(); written < size && out; ++key) {
    std::string piece = quorrel::examples::wp6_document_area(16 << 20, key);
    out << piece;
    written += piece.size();
  }
  if (!out.flush()) {
    std::fprintf(stderr, "quorrel-make-document: cannot write %s\n", path);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  unsigned long long real_size;
  if (argc == 6 && std::string_view(argv[1]) == "wpd" && std::string_view(argv[2]) == "real" &&
      parse_size(argv[3], real_size)) {
    return write_real(real_size, static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)),
                      argv[5]);
  }
  quorrel::FormatCode format;
  Shape shape;
  unsigned long long size;
  if (argc != 6 || !parse_format(argv[1], format) || !parse_shape(argv[2], shape) ||
      !parse_size(argv[3], size)) {
    std::fprintf(stderr,
                 "Usage: quorrel-make-document any|wp|w51|wpd text_heavy|code_heavy|worst_case "
                 "SIZE KEY PATH\n");
    return 2;
  }
  auto key = static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 10));
  std::ofstream out(argv[5], std::ios::binary);
  std::string prefix = quorrel::examples::document_prefix(format);
  out << prefix;
  constexpr unsigned long long kPiece = 16 << 20;
  for (unsigned long long written = prefix.size(); written < size && out; ++key) {
    unsigned long long want = size - written < kPiece ? size - written : kPiece;
    std::string piece = quorrel::examples::random_document_area(format, want, key, shape);
    piece.resize(want);  // exact size; a cut piece is still a valid stream of bytes
    out << piece;
    written += piece.size();
  }
  if (!out.flush()) {
    std::fprintf(stderr, "quorrel-make-document: cannot write %s\n", argv[5]);
    return 1;
  }
  return 0;
}
