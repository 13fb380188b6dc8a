// Reading corpus documents through the complete readers and comparing their words with the
// peer readers': shared by the fidelity test and any test over real documents.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "readers/reader.h"

namespace quorrel::testing {

// A document read by read_document into plain text: paragraphs, cells and sub-documents end
// in a line feed, tabs are spaces. Notes carry no number: writers number them.
struct ReadText {
  readers::Generation generation;
  readers::ReadResult result;
  std::string text;
};
ReadText read_as_text(const std::string& path, const std::string& password = {});

// Maximal runs of letters and digits, lower-cased, counted: the words a reading is measured by.
using Words = std::map<std::string, long>;
Words words_of(std::string_view utf8);
long count(const Words& words);
long shared(const Words& a, const Words& b);  // the multisets' intersection
Words united(const Words& a, const Words& b);  // the larger count of each word

// Peers' text, or nothing when the peer is not installed or cannot read the file.
std::optional<std::string> wpd2text(const std::string& path, const std::string& password = {});
// wp2latex's body with the LaTeX markup removed; without its formulas ($...$) when
// `without_math`, since it writes equations as formulas where a reading keeps no text.
std::optional<std::string> wp2latex(const std::string& path, bool without_math = false);

}  // namespace quorrel::testing
