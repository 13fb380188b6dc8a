// Streams of an OLE compound file (the container later WordPerfect versions wrap a document
// in). Written for hostile input: every sector number is checked against the file, every chain
// is followed at most once per sector, and a stream is never larger than its directory entry
// says nor than the file could hold.
#pragma once

#include <string>
#include <string_view>

namespace quorrel::readers {

bool is_ole_file(std::string_view bytes);

enum class OleStatus { found, not_found, damaged };

// Copies the stream named `name` (ASCII, compared without regard to case) into `out`. On
// `damaged`, `out` holds what could be read of the stream before its chain broke off.
OleStatus read_ole_stream(std::string_view file, std::string_view name, std::string& out);

}  // namespace quorrel::readers
