// Auto Detect: which generation a document most likely belongs to.
#pragma once

#include "io/byte_source.h"
#include "recognition/format.h"

namespace quorrel {

// Classifies the bytes of `in`. Never fails: what does not look like WordPerfect is plain text.
FormatCode identify(ByteSource& in);

}  // namespace quorrel
