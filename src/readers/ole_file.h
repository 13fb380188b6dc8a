// Streams of an OLE compound file (the container later WordPerfect versions wrap a document
// in). Written for hostile input: every sector number is checked against the file, every chain
// is followed at most once per sector, and a stream is never larger than its directory entry
// says nor than the file could hold. Nothing in proportion to the file is copied: the
// allocation table is looked up where it lies, and a stream comes as pieces of the file.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace quorrel::readers {

bool is_ole_file(std::string_view bytes);

enum class OleStatus { found, not_found, damaged };

// Calls `piece` with the bytes of the stream named `name` (ASCII, compared without regard to
// case), in order: views into `file`, consecutive sectors as one piece. A small stream (under
// the file's cutoff, usually 4096 bytes) is kept in a container of 64-byte sectors and comes
// as one copy instead, valid during the call only. On `damaged` the pieces are what could be
// read before the chain broke off.
OleStatus visit_ole_stream(std::string_view file, std::string_view name,
                           const std::function<void(std::string_view piece)>& piece);

// The stream's bytes appended to `out`.
OleStatus read_ole_stream(std::string_view file, std::string_view name, std::string& out);

}  // namespace quorrel::readers
