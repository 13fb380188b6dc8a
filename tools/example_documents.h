// Small documents in the byte layouts of each generation, for the demo, tests, fuzz corpora
// and benchmarks. They follow the real formats' shapes (prefix, document offset, groups that
// open and close with the same code) without claiming to be complete documents.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorrel::examples {

// Builds a WordPerfect 6-9 document area byte by byte.
class WpdBuilder {
 public:
  WpdBuilder& text(std::string_view characters);
  WpdBuilder& space();        // the space code
  WpdBuilder& hard_return();
  WpdBuilder& soft_return();  // a soft-return group long enough to end after its 18-byte run
  WpdBuilder& tab();
  WpdBuilder& centre();
  WpdBuilder& rule();
  WpdBuilder& attribute_on(std::uint8_t number);
  WpdBuilder& attribute_off(std::uint8_t number);
  WpdBuilder& bold(std::string_view characters);
  WpdBuilder& italics(std::string_view characters);
  WpdBuilder& raw(std::initializer_list<std::uint8_t> bytes);
  // A group of another code, with `length` bytes of content, that writes nothing.
  WpdBuilder& other_group(std::uint8_t code, std::size_t length);

  // The whole file: prefix, header padding up to the document offset, document area.
  std::string file() const;
  const std::string& document_area() const { return area_; }

 private:
  WpdBuilder& group(std::uint8_t code, std::uint8_t subfunction, std::size_t padding);
  std::string area_;
};

// The 16-byte prefix of a WordPerfect 6-9 file whose document area starts at byte 16.
std::string wpd_prefix();

// Builds an ancient WordPerfect document: text with one-byte codes, and function groups that
// open and close with a byte of 192 or more. A document that starts with a group is one that
// identification takes for this generation.
class AncientWpBuilder {
 public:
  AncientWpBuilder& text(std::string_view characters);
  AncientWpBuilder& line_feed();
  AncientWpBuilder& carriage_return();
  AncientWpBuilder& tab();
  AncientWpBuilder& centre();
  AncientWpBuilder& bold_on();
  AncientWpBuilder& bold_off();
  AncientWpBuilder& bold(std::string_view characters);
  // `code` (192 or more), `content` (bytes below 192, hidden by the group), `code` again.
  AncientWpBuilder& group(std::uint8_t code, std::initializer_list<std::uint8_t> content);
  AncientWpBuilder& raw(std::initializer_list<std::uint8_t> bytes);

  const std::string& file() const { return bytes_; }

 private:
  std::string bytes_;
};

// Builds a WordPerfect 5.1 document area byte by byte. Indents and attributes are the
// fixed-length groups of the real format: the code, its content bytes, the code again.
class W51Builder {
 public:
  W51Builder& text(std::string_view characters);
  W51Builder& hard_return();
  W51Builder& soft_return();
  W51Builder& tab();
  W51Builder& indent();          // a 9-byte indent group
  W51Builder& hanging_indent();  // an 11-byte hanging-indent group
  W51Builder& attribute_on(std::uint8_t number);
  W51Builder& attribute_off(std::uint8_t number);
  W51Builder& bold(std::string_view characters);
  W51Builder& italics(std::string_view characters);
  W51Builder& raw(std::initializer_list<std::uint8_t> bytes);

  // The whole file: prefix, then the document area at byte 16.
  std::string file() const;
  const std::string& document_area() const { return area_; }

 private:
  std::string area_;
};

// The 16-byte prefix of a WordPerfect 5.1 file whose document area starts at byte 16.
std::string w51_prefix();

struct ExampleFile {
  std::string name;
  std::string bytes;
};

// A few short documents of every generation built so far.
std::vector<ExampleFile> example_files();

}  // namespace quorrel::examples
