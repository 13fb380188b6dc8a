// The complete reading of one document: which generation it is, and the reader for it.
#pragma once

#include <string_view>

#include "document/builder.h"
#include "io/document_bytes.h"
#include "readers/reader.h"

namespace quorrel::readers {

// The generation a document's own bytes declare (the prefix's fields, or the structure of a
// file without one); plain when it is no WordPerfect document.
Generation detect_generation(std::string_view bytes);

// Reads the document as `generation` into `builder`, which the caller finishes.
ReadResult read_document(DocumentBytes& input, Generation generation, const ReadOptions& options,
                         document::DocumentBuilder& builder);

}  // namespace quorrel::readers
