// Each generation's reader. They share ReadOptions and ReadResult (reader.h); read_document
// chooses among them.
#pragma once

#include "document/builder.h"
#include "io/document_bytes.h"
#include "readers/reader.h"

namespace quorrel::readers {

ReadResult read_plain(DocumentBytes& input, document::DocumentBuilder& builder);
ReadResult read_wp42(DocumentBytes& input, const ReadOptions& options,
                     document::DocumentBuilder& builder);
// 5.0 to 5.2, the Far East variant included; a file without the prefix is read from its start.
ReadResult read_wp5(DocumentBytes& input, const ReadOptions& options,
                    document::DocumentBuilder& builder);
// 6.0 to X-series; a compound file is read from its document stream; without the prefix the
// file is read from its start.
ReadResult read_wp6(DocumentBytes& input, const ReadOptions& options,
                    document::DocumentBuilder& builder);
// WordPerfect for the Macintosh, 1.x to 3.5e.
ReadResult read_mac(DocumentBytes& input, const ReadOptions& options,
                    document::DocumentBuilder& builder);

}  // namespace quorrel::readers
