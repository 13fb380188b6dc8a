// What a converter is: a document body (frame, byte loop, closing frame) plus the facts the
// shared skeleton needs to run it on files: output kind, prefix rule and archive naming.
#pragma once

#include <string_view>

#include "io/byte_source.h"
#include "output/text_writer.h"

namespace quorrel {

// odt is the SXW converter's content document carried into OpenDocument and packaged as such.
enum class OutputKind { text, html, sxw, odt };
inline constexpr int kOutputKindCount = 4;

// Which WordPerfect prefix a converter checks and skips before its byte loop.
enum class PrefixRule { none, wp51, wpd };

// How an SXW converter turns the input path into the archive path: which extension length it
// strips (report.wpd gives report.sxw under the three-letter rule, report.wpd.sxw otherwise).
enum class ArchiveRule { two_letter_extension, three_letter_extension };

struct DocumentInfo {
  std::string_view title;  // the bare input name, used by the HTML title
  // Where a converter may keep bytes that outgrow memory: the output's own folder, so that
  // a conversion needs room only where its output goes. Empty for outputs in memory.
  std::string_view scratch_folder = {};
};

// Writes the whole output document from the input's document area (after any prefix).
using DocumentBody = void (*)(ByteSource& in, TextWriter& out, const DocumentInfo& info);

struct ConverterSpec {
  std::string_view name;  // "wpd2txt", ...
  OutputKind kind;
  PrefixRule prefix;
  ArchiveRule archive;  // SXW converters only; an ODT is always the input's name + ".odt"
  DocumentBody body;
};

}  // namespace quorrel
