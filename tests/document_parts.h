// Runs a converter on bytes in memory and takes its output apart: the document text between
// the HTML page frame, or the body paragraphs of the SXW content document.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "convert/registry.h"
#include "example_documents.h"
#include "output/skeleton.h"

namespace quorrel::testing {

inline std::string convert(OutputKind kind, FormatCode format, std::string_view input) {
  MemoryConversion result = convert_memory(converter_for(kind, format), input, "t");
  EXPECT_EQ(result.status, ConvertStatus::ok);
  return result.output;
}

// The page text between the prologue (title "t") and the epilogue that starts on a new line.
inline std::string html_text(const std::string& page) {
  constexpr std::string_view kPrologue =
      "<HTML>\r\n<HEAD>\r\n<TITLE>t</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n";
  constexpr std::string_view kEpilogue = "\r\n</BODY>\r\n</HTML>\r\n";
  if (!page.starts_with(kPrologue) || !page.ends_with(kEpilogue) ||
      page.size() < kPrologue.size() + kEpilogue.size()) {
    ADD_FAILURE() << "not a framed page: " << page.substr(0, 200);
    return {};
  }
  return page.substr(kPrologue.size(), page.size() - kPrologue.size() - kEpilogue.size());
}

// The paragraphs of a content document, from the start tag of the first to the end tag of the
// last, as stored (CR LF line ends).
inline std::string sxw_body(const std::string& document) {
  constexpr std::string_view kBefore = "</text:sequence-decls>\r\n";
  constexpr std::string_view kAfter = "\r\n</office:body>\r\n</office:document-content>";
  std::size_t start = document.find(kBefore);
  if (start == std::string::npos || !document.ends_with(kAfter)) {
    ADD_FAILURE() << "not a content document: " << document.substr(0, 200);
    return {};
  }
  start += kBefore.size();
  return document.substr(start, document.size() - start - kAfter.size());
}

// The three outputs of one input generation, each taken apart as above.
struct Outputs {
  FormatCode format;
  std::string text(std::string_view input) const {
    return convert(OutputKind::text, format, input);
  }
  std::string html(std::string_view input) const {
    return html_text(convert(OutputKind::html, format, input));
  }
  std::string sxw(std::string_view input) const {
    return sxw_body(convert(OutputKind::sxw, format, input));
  }
};

// One paragraph of the body vocabulary, as stored.
inline std::string sxw_paragraph(std::string_view content) {
  return "<text:p text:style-name=\"Standard\">" + std::string(content) + "\r\n</text:p>";
}

// The bytes of the example document of that name.
inline std::string example(std::string_view name) {
  for (const examples::ExampleFile& file : examples::example_files()) {
    if (file.name == name) return file.bytes;
  }
  ADD_FAILURE() << "no example " << name;
  return {};
}

}  // namespace quorrel::testing
