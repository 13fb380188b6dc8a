// ODT packages of both readings for the tests: built in memory from example documents (the
// exact reading, through its SXW content) or from builder calls (the complete reading), and
// written to a file through the package writer.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "document/builder.h"
#include "example_documents.h"
#include "output/odt_package.h"
#include "recognition/format.h"
#include "test_support.h"

namespace quorrel::testing {

// Writes `parts` as the package `path`; a test failure when that fails.
void write_package(const std::string& path, const odt::OdtParts& parts);

// The exact reading's package of `document` read as `format`, at `path`; `sxw_content`
// receives the SXW converter's content.xml. Spools go to `folder`. False, with nothing
// written, when the converter refuses the document's prefix.
bool write_exact_odt(const std::string& folder, const examples::ExampleFile& document,
                     FormatCode format, const std::string& path,
                     std::string* sxw_content = nullptr);

// The complete reading's package of what `script` builds, at `path`.
using Script = std::function<void(document::DocumentBuilder&)>;
void write_complete_odt(const std::string& folder, const Script& script, const std::string& path,
                        std::string_view title = "doc.wpd");

// A document of the complete reading that shows one part of its structure, with what its
// package must hold.
struct CompleteCase {
  const char* name;
  Script script;
  std::vector<std::string> content;      // each found in content.xml
  std::vector<std::string> styles;       // each found in styles.xml
  std::vector<std::string> absent = {};  // found in neither
};

// One case for each kind of structure.
const std::vector<CompleteCase>& complete_cases();

// A member's bytes by name; "" when absent.
std::string member(const std::vector<Member>& members, const std::string& name);

// Unpacks every member under `folder` (META-INF/ included).
void unpack(const std::string& archive, const std::string& folder);

// Example documents of every generation: the fixed examples and random ones of every shape.
std::vector<examples::ExampleFile> odt_examples();

}  // namespace quorrel::testing
