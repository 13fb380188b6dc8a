// What every output must satisfy whatever the input: checks shared by the fuzz targets and
// the tests of hostile input.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quorrel::fuzz {

// Text output holds only printable ASCII, tabs and CR LF pairs.
bool is_clean_text(std::string_view text);

// The HTML title a file name becomes: the name as stored, except that angle brackets turn
// square (so that no name can open a tag) and a line feed is stored as CR LF.
std::string expected_title(std::string_view file_name);

// The page starts with the prologue titled `title` (see expected_title), its body holds only
// printable ASCII, tabs and CR LF pairs, every "<" starts one of the system's own tags, and the
// page ends with its epilogue.
bool is_clean_html(std::string_view page, std::string_view title, std::string* why = nullptr);

// content.xml is well-formed XML in the shape the converters give it: printable ASCII, tabs
// and CR LF only; one root element with every start tag matched by its end tag; attribute
// values quoted; every "&" one of the five predefined references; every namespace prefix
// declared on the root; paragraphs never nested, spans only directly inside a paragraph, tab
// stops only inside one; and the file ends with the root's end tag.
bool is_well_formed_content(std::string_view document, std::string* why = nullptr);

// The complete reading's outputs. `document` is valid UTF-8 without control characters but
// tab and line feed (in XML, without U+FFFE and U+FFFF either), and well-formed markup: the HTML page opens with <!DOCTYPE html>, the XML
// with its declaration; one root element; every start tag matched by its end tag (HTML's void
// elements br, hr and meta excepted, and XML's empty-element tags); attribute values quoted;
// every "&" a predefined or numeric reference. Besides, what makes a page or an office suite
// read the markup other than it looks: HTML paragraphs hold only inline elements and tables,
// rows, cells and list items stand in their parents; in XML, every prefix is declared on the
// root, spans sit directly in paragraphs, paragraphs never in paragraphs, and tables, rows and
// cells in their parents, never in a note.
enum class Markup { html, xml };
// Text output: valid UTF-8 without control characters but tab and line feed.
bool is_clean_utf8_text(std::string_view text, std::string* why = nullptr);
bool is_well_formed_markup(std::string_view document, Markup kind, std::string* why = nullptr);

// Any XML document of the system's ODT parts is well-formed: valid UTF-8 of XML characters, an
// optional declaration, one root element, matched tags, quoted and unrepeated attributes,
// well-formed references (the five predefined and character references), no "]]>" in text,
// and every namespace prefix declared on the element or an ancestor. Comments, processing
// instructions, CDATA and DOCTYPE are not written by the system and not accepted.
bool is_well_formed_xml(std::string_view document, std::string* why = nullptr);

// Calls abort() with a message when `holds` is false, so that libFuzzer keeps the input.
void require(bool holds, const char* what, const std::string& why = {});

}  // namespace quorrel::fuzz
