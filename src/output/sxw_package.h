// Packing a finished content document into an OpenOffice.org 1.0 Writer archive (.sxw), in
// this process, so that a conversion is complete when it returns.
#pragma once

#include <string>

#include "io/spool.h"

namespace quorrel::sxw {

// Puts the whole of `content` into the archive at `archive_path` as its member content.xml,
// creating the archive or updating it: every member named content.xml is replaced, every other
// member is kept. The content is this conversion's own (in memory or an unnamed file), never
// read by a name that another process could replace meanwhile. An office suite loads the
// archive only when it also holds META-INF/manifest.xml, and recognises its type by the member
// "mimetype" (stored, and first in a new archive); both are added when missing.
//
// The archive is replaced only once it is complete: it is built under a temporary name beside
// it that starts with kTemporaryPrefix (io/output_file.h), and renamed. False, with the path
// left as it was, when the archive cannot be written or the path holds anything but a ZIP
// archive (an empty file included). A symbolic link at the path is replaced by a new archive;
// nothing is read from where it points. Throws std::bad_alloc, with everything cleaned up,
// when memory ran out.
bool pack(const std::string& archive_path, const Spool& content);

}  // namespace quorrel::sxw
