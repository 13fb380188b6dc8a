#include "example_documents.h"

#include <random>

namespace quorrel::examples {

namespace {
constexpr std::uint8_t kHardReturn = 0xCC;
constexpr std::uint8_t kSpace = 0x80;
constexpr std::uint8_t kSoftReturn = 0xD0;
constexpr std::uint8_t kCentre = 0xD3;
constexpr std::uint8_t kRule = 0xDF;
constexpr std::uint8_t kTab = 0xE0;
constexpr std::uint8_t kAttributeOn = 0xF2;
constexpr std::uint8_t kAttributeOff = 0xF3;
constexpr std::uint8_t kBold = 12;
constexpr std::uint8_t kItalics = 8;

constexpr std::uint8_t kW51HardReturn = 0x0A;
constexpr std::uint8_t kW51SoftReturn = 0x0D;
constexpr std::uint8_t kW51Tab = 0x09;
constexpr std::uint8_t kW51Indent = 0xC1;
constexpr std::uint8_t kW51HangingIndent = 0xC2;
constexpr std::uint8_t kW51AttributeOn = 0xC3;
constexpr std::uint8_t kW51AttributeOff = 0xC4;
constexpr std::uint8_t kW51Bold = 12;
constexpr std::uint8_t kW51Italics = 15;

// 'WPC', document offset 16, product 1, file type 10 (document), the given version, no
// encryption.
std::string wpc_prefix(std::uint8_t major, std::uint8_t minor) {
  const std::uint8_t bytes[16] = {0xFF, 'W', 'P',   'C',   16, 0, 0, 0,
                                  1,    10,  major, minor, 0,  0, 0, 0};
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}
}  // namespace

WpdBuilder& WpdBuilder::text(std::string_view characters) {
  area_.append(characters);
  return *this;
}
WpdBuilder& WpdBuilder::space() { return raw({kSpace}); }
WpdBuilder& WpdBuilder::hard_return() { return raw({kHardReturn}); }
// Variable-length groups carry a subfunction and their length at both ends, as the real
// format does; the soft return's content is long enough to outlast the 18-byte run.
WpdBuilder& WpdBuilder::soft_return() { return group(kSoftReturn, 0x01, 14); }
WpdBuilder& WpdBuilder::tab() { return group(kTab, 0x11, 4); }
WpdBuilder& WpdBuilder::centre() { return group(kCentre, 0x02, 4); }
WpdBuilder& WpdBuilder::rule() { return group(kRule, 0x00, 6); }
WpdBuilder& WpdBuilder::attribute_on(std::uint8_t number) {
  return raw({kAttributeOn, number, kAttributeOn});
}
WpdBuilder& WpdBuilder::attribute_off(std::uint8_t number) {
  return raw({kAttributeOff, number, kAttributeOff});
}
WpdBuilder& WpdBuilder::bold(std::string_view characters) {
  return attribute_on(kBold).text(characters).attribute_off(kBold);
}
WpdBuilder& WpdBuilder::italics(std::string_view characters) {
  return attribute_on(kItalics).text(characters).attribute_off(kItalics);
}
WpdBuilder& WpdBuilder::raw(std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) area_.push_back(static_cast<char>(b));
  return *this;
}
WpdBuilder& WpdBuilder::other_group(std::uint8_t code, std::size_t length) {
  return group(code, 0x00, length);
}

WpdBuilder& WpdBuilder::group(std::uint8_t code, std::uint8_t subfunction, std::size_t padding) {
  std::size_t total = padding + 7;
  std::uint8_t lo = static_cast<std::uint8_t>(total & 0xFF);
  std::uint8_t hi = static_cast<std::uint8_t>((total >> 8) & 0xFF);
  raw({code, subfunction, lo, hi});
  area_.append(padding, '\0');
  return raw({lo, hi, code});
}

std::string WpdBuilder::file() const { return wpd_prefix() + area_; }

std::string wpd_prefix() { return wpc_prefix(2, 1); }

W51Builder& W51Builder::text(std::string_view characters) {
  area_.append(characters);
  return *this;
}
W51Builder& W51Builder::hard_return() { return raw({kW51HardReturn}); }
W51Builder& W51Builder::soft_return() { return raw({kW51SoftReturn}); }
W51Builder& W51Builder::tab() { return raw({kW51Tab}); }
// Content: a flags byte, then old and new positions in 1/1200 inch (0 and 600, half an inch).
W51Builder& W51Builder::indent() {
  return raw({kW51Indent, 0x00, 0x00, 0x00, 0x58, 0x02, 0x00, 0x00, kW51Indent});
}
W51Builder& W51Builder::hanging_indent() {
  return raw(
      {kW51HangingIndent, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x58, 0x02, kW51HangingIndent});
}
W51Builder& W51Builder::attribute_on(std::uint8_t number) {
  return raw({kW51AttributeOn, number, kW51AttributeOn});
}
W51Builder& W51Builder::attribute_off(std::uint8_t number) {
  return raw({kW51AttributeOff, number, kW51AttributeOff});
}
W51Builder& W51Builder::bold(std::string_view characters) {
  return attribute_on(kW51Bold).text(characters).attribute_off(kW51Bold);
}
W51Builder& W51Builder::italics(std::string_view characters) {
  return attribute_on(kW51Italics).text(characters).attribute_off(kW51Italics);
}
W51Builder& W51Builder::raw(std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) area_.push_back(static_cast<char>(b));
  return *this;
}

std::string W51Builder::file() const { return w51_prefix() + area_; }

std::string w51_prefix() { return wpc_prefix(0, 1); }

namespace {
constexpr std::uint8_t kAncientTab = 0x09;
constexpr std::uint8_t kAncientLineFeed = 0x0A;
constexpr std::uint8_t kAncientCarriageReturn = 0x0D;
constexpr std::uint8_t kAncientCentre = 0x83;
constexpr std::uint8_t kAncientBoldOff = 0x9C;
constexpr std::uint8_t kAncientBoldOn = 0x9D;
// Function groups of the 4.2 layout, each closed by its own code.
constexpr std::uint8_t kAncientMargins = 0xC0;  // left and right margin columns
constexpr std::uint8_t kAncientSpacing = 0xC3;  // line spacing
constexpr std::uint8_t kAncientPageNumber = 0xC6;
}  // namespace

AncientWpBuilder& AncientWpBuilder::text(std::string_view characters) {
  bytes_.append(characters);
  return *this;
}
AncientWpBuilder& AncientWpBuilder::line_feed() { return raw({kAncientLineFeed}); }
AncientWpBuilder& AncientWpBuilder::carriage_return() { return raw({kAncientCarriageReturn}); }
AncientWpBuilder& AncientWpBuilder::tab() { return raw({kAncientTab}); }
AncientWpBuilder& AncientWpBuilder::centre() { return raw({kAncientCentre}); }
AncientWpBuilder& AncientWpBuilder::bold_on() { return raw({kAncientBoldOn}); }
AncientWpBuilder& AncientWpBuilder::bold_off() { return raw({kAncientBoldOff}); }
AncientWpBuilder& AncientWpBuilder::bold(std::string_view characters) {
  return bold_on().text(characters).bold_off();
}
AncientWpBuilder& AncientWpBuilder::group(std::uint8_t code,
                                          std::initializer_list<std::uint8_t> content) {
  return raw({code}).raw(content).raw({code});
}
AncientWpBuilder& AncientWpBuilder::raw(std::initializer_list<std::uint8_t> bytes) {
  for (std::uint8_t b : bytes) bytes_.push_back(static_cast<char>(b));
  return *this;
}

std::vector<ExampleFile> example_files() {
  std::vector<ExampleFile> files;
  files.push_back({"memo.wpd", WpdBuilder()
                                   .centre()
                                   .bold("Memorandum")
                                   .hard_return()
                                   .hard_return()
                                   .text("To:")
                                   .tab()
                                   .text("All staff")
                                   .hard_return()
                                   .text("From:")
                                   .tab()
                                   .text("The archive")
                                   .hard_return()
                                   .rule()
                                   .text("Our old documents <all of them> are now readable")
                                   .soft_return()
                                   .text("again, with ")
                                   .italics("nothing")
                                   .space()
                                   .text("lost & nothing \"guessed\".")
                                   .hard_return()
                                   .file()});
  files.push_back({"report.wpd", WpdBuilder()
                                     .attribute_on(1)
                                     .text("Annual report")
                                     .attribute_off(1)
                                     .hard_return()
                                     .text("Sales rose by 4% in the first quarter.")
                                     .soft_return()
                                     .text("Costs stayed flat.")
                                     .hard_return()
                                     .file()});
  files.push_back({"letter.wp", AncientWpBuilder()
                                    .group(kAncientMargins, {10, 74})
                                    .group(kAncientSpacing, {1})
                                    .centre()
                                    .bold("A letter from 1986")
                                    .line_feed()
                                    .line_feed()
                                    .text("Dear reader,")
                                    .carriage_return()
                                    .line_feed()
                                    .tab()
                                    .text("this file is <older> than most & still ")
                                    .bold_on()
                                    .text("opens.")
                                    .line_feed()
                                    .text("Bold runs on here")
                                    .bold_off()
                                    .text(", and a page number")
                                    .group(kAncientPageNumber, {kAncientLineFeed, 'x'})
                                    .text(" hides nothing.")
                                    .line_feed()
                                    .text("Regards")
                                    .file()});
  files.push_back({"notes.txt", "Shopping list\r\n\tbread\r\n\tmilk\r\nDone."});
  files.push_back({"markup.txt", "if a < b && c > d then print \"quoted\"\nlast line"});
  // Not "letter": every example needs an archive name of its own (letter.wp gives letter.sxw).
  files.push_back({"reply.wp5", W51Builder()
                                     .bold("Dear reader,")
                                     .hard_return()
                                     .hard_return()
                                     .indent()
                                     .text("Our old letters <all of them> are readable")
                                     .soft_return()
                                     .text("again, with nothing lost & nothing \"guessed\".")
                                     .hard_return()
                                     .hard_return()
                                     .text("Yours,")
                                     .tab()
                                     .italics("The archive")
                                     .hard_return()
                                     .file()});
  files.push_back({"minutes.wp5", W51Builder()
                                      .bold("Minutes")
                                      .hard_return()
                                      .hanging_indent()
                                      .text("1. The old files were found in a drawer")
                                      .soft_return()
                                      .text("of the basement archive.")
                                      .hard_return()
                                      .hard_return()
                                      .hanging_indent()
                                      .text("2. Every one of them converts.")
                                      .hard_return()
                                      .file()});
  return files;
}

}  // namespace quorrel::examples
