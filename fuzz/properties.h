// What every output must satisfy whatever the input: checks shared by the fuzz targets.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorrel::fuzz {

// Text output holds only printable ASCII, tabs and CR LF pairs.
bool is_clean_text(std::string_view text);

// HTML body text (after the prologue) holds only printable ASCII, tabs and CR LF pairs, and
// every "<" starts one of the system's own tags.
bool is_clean_html(std::string_view page, std::string_view title);

// content.xml is well formed as far as the converters shape it: paragraphs never nest, every
// span opens and closes inside one paragraph, spans never nest, every "&" starts one of the
// five references, and the document ends with the root's end tag.
bool is_well_formed_content(std::string_view document, std::string* why = nullptr);

// Calls abort() with a message when `holds` is false, so that libFuzzer keeps the input.
void require(bool holds, const char* what);

}  // namespace quorrel::fuzz
