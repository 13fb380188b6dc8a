// Auto Detect: which generation a document most likely belongs to.
#pragma once

#include <string>

#include "io/byte_source.h"
#include "recognition/format.h"

namespace quorrel {

class Port;

// Classifies the bytes of `in`. Never fails: what does not look like WordPerfect is plain text.
FormatCode identify(ByteSource& in);

// Classifies the file at `filepathname`; a file that cannot be opened is reported through the
// port ("Unable to open file.") and counts as plain text.
FormatCode identify_file(const std::string& filepathname, Port& port);

}  // namespace quorrel
