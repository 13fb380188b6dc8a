#include "properties.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <set>
#include <vector>

#include "document/utf8.h"

namespace quorrel::fuzz {

namespace {

// Eight bytes at a time, for the bulk of long outputs: byte by byte, every load is also
// AddressSanitizer's check of it.
constexpr std::uint64_t kEveryByte = 0x0101010101010101;
constexpr std::uint64_t kHighBits = 0x8080808080808080;

std::uint64_t eight_at(std::string_view text, std::size_t at) {
  std::uint64_t bytes;
  std::memcpy(&bytes, text.data() + at, sizeof bytes);
  return bytes;
}
// All eight bytes lie in 32..126.
bool all_printable(std::uint64_t bytes) {
  std::uint64_t below_space = (bytes - kEveryByte * 32) & ~bytes;
  std::uint64_t above_tilde = (bytes + kEveryByte) | bytes;
  return ((below_space | above_tilde) & kHighBits) == 0;
}
bool holds(std::uint64_t bytes, char c) {
  std::uint64_t zero_where_c = bytes ^ (kEveryByte * static_cast<unsigned char>(c));
  return ((zero_where_c - kEveryByte) & ~zero_where_c & kHighBits) != 0;
}

bool clean_byte_run(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    while (text.size() - i >= 8 && all_printable(eight_at(text, i))) i += 8;
    if (i == text.size()) break;
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c == '\r') {
      if (i + 1 >= text.size() || text[i + 1] != '\n') return false;
      ++i;
    } else if (c == '\n') {
      return false;  // a line feed always comes with its CR
    } else if (c != '\t' && (c < 32 || c > 126)) {
      return false;
    }
  }
  return true;
}

bool fail(std::string* why, std::string reason) {
  if (why != nullptr) *why = std::move(reason);
  return false;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Byte by byte, for the checkers' hot paths: std::string_view's own comparisons are template
// code that the fuzz targets' traced objects may supply, and every call then fed the fuzzer's
// comparison tables.
bool same(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

bool starts_at(std::string_view text, std::size_t at, std::string_view start) {
  return at <= text.size() && text.size() - at >= start.size() &&
         same(std::string_view(text.data() + at, start.size()), start);
}

// "<H" or "</H" (already matched up to `at`) followed by a level and ">".
bool heading_tag_at(std::string_view text, std::size_t at) {
  std::size_t digits = at;
  while (digits < text.size() && is_digit(text[digits])) ++digits;
  return digits > at && digits < text.size() && text[digits] == '>';
}

constexpr std::string_view kReferences[] = {"&lt;", "&gt;", "&amp;", "&quot;", "&apos;"};

bool reference_at(std::string_view text, std::size_t at) {
  for (std::string_view reference : kReferences) {
    if (starts_at(text, at, reference)) return true;
  }
  return false;
}

bool is_name_character(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || is_digit(c) || c == ':' || c == '-' ||
         c == '_' || c == '.';
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A small XML reader for what the converters write: declaration, DOCTYPE, elements with
// attributes, text with references. No comments, CDATA or processing instructions after the
// declaration are expected, so none are accepted. Names are views of the text, so that a tag
// costs no allocation: the checker reads every byte of outputs many times their input's size.
class ContentChecker {
 public:
  explicit ContentChecker(std::string_view text) : text_(text) {}

  bool check(std::string* why) {
    if (!clean_byte_run(text_)) return fail(why, "a byte outside printable ASCII, tab, CR LF");
    constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
    if (!text_.starts_with(kDeclaration)) return fail(why, "no XML declaration first");
    at_ = kDeclaration.size();
    skip_blanks();
    if (text_.substr(at_).starts_with("<!DOCTYPE ")) {
      std::size_t end = text_.find('>', at_);
      if (end == std::string_view::npos) return fail(why, "unterminated DOCTYPE");
      at_ = end + 1;
    }
    skip_blanks();
    bool root_done = false;
    while (at_ < text_.size()) {
      if (root_done) return fail(why, "content after the root element");
      if (text_[at_] != '<' && open_.empty()) return fail(why, "text outside the root element");
      if (!(text_[at_] == '<' ? markup(why) : character_data(why))) return false;
      root_done = open_.empty();
      if (root_done) skip_blanks();
    }
    if (!root_done) {
      return fail(why, "unclosed element " + std::string(open_.empty() ? "" : open_.back()));
    }
    if (!text_.ends_with("</office:document-content>")) return fail(why, "bad ending");
    return true;
  }

 private:
  void skip_blanks() {
    while (at_ < text_.size() && is_blank(text_[at_])) ++at_;
  }

  std::string_view name() {
    std::size_t start = at_;
    while (at_ < text_.size() && is_name_character(text_[at_])) ++at_;
    return std::string_view(text_.data() + start, at_ - start);
  }

  bool character_data(std::string* why) {
    for (; at_ < text_.size() && text_[at_] != '<'; ++at_) {
      if (text_[at_] == '&' && !reference_at(text_, at_)) return fail(why, "bare ampersand");
      if (text_[at_] == ']' && starts_at(text_, at_, "]]>")) return fail(why, "]]> in text");
    }
    return true;
  }

  bool markup(std::string* why) {
    // Runs of tabs are most of some outputs (one 5.1 code writes up to 128): a tab inside a
    // paragraph passes at once, by the checks place() would make of it.
    constexpr std::string_view kTabStop = "<text:tab-stop/>";
    if (open_paragraphs_ > 0 && text_declared_ && starts_at(text_, at_, kTabStop)) {
      at_ += kTabStop.size();
      return true;
    }
    ++at_;  // '<'
    if (at_ < text_.size() && text_[at_] == '/') {
      ++at_;
      std::string_view closing = name();
      if (at_ >= text_.size() || text_[at_] != '>') {
        return fail(why, "bad end tag " + std::string(closing));
      }
      ++at_;
      if (open_.empty() || !same(open_.back(), closing)) {
        return fail(why, "mismatched " + std::string(closing));
      }
      if (same(closing, "text:p")) --open_paragraphs_;
      open_.pop_back();
      return true;
    }
    std::string_view element = name();
    if (element.empty()) return fail(why, "a '<' that starts no tag");
    attributes_.clear();
    for (;;) {
      bool blank = at_ < text_.size() && is_blank(text_[at_]);
      skip_blanks();
      if (at_ >= text_.size()) return fail(why, "unterminated tag " + std::string(element));
      if (starts_at(text_, at_, "/>")) {
        at_ += 2;
        return place(element, true, why);
      }
      if (text_[at_] == '>') {
        ++at_;
        return place(element, false, why);
      }
      std::string_view attribute = name();
      if (!blank || attribute.empty()) {
        return fail(why, "bad attribute in " + std::string(element));
      }
      for (std::string_view seen : attributes_) {
        if (same(seen, attribute)) return fail(why, "repeated " + std::string(attribute));
      }
      attributes_.push_back(attribute);
      if (at_ + 1 >= text_.size() || text_[at_] != '=' || text_[at_ + 1] != '"') {
        return fail(why, "unquoted " + std::string(attribute));
      }
      std::size_t end = text_.find('"', at_ + 2);
      if (end == std::string_view::npos) {
        return fail(why, "unterminated " + std::string(attribute));
      }
      for (std::size_t i = at_ + 2; i < end; ++i) {
        if (text_[i] == '<') return fail(why, "'<' in the value of " + std::string(attribute));
        if (text_[i] == '&' && !reference_at(text_, i)) return fail(why, "bare ampersand");
      }
      if (open_.empty() && same(element, "office:document-content") &&
          starts_at(attribute, 0, "xmlns:")) {
        declared_.push_back(attribute.substr(6));
      } else if (!declared(attribute)) {
        return fail(why, "undeclared prefix in " + std::string(attribute));
      }
      at_ = end + 1;
    }
  }

  bool declared(std::string_view qualified) const {
    std::size_t colon = 0;
    while (colon < qualified.size() && qualified[colon] != ':') ++colon;
    if (colon == qualified.size()) return true;
    std::string_view prefix(qualified.data(), colon);
    for (std::string_view known : declared_) {
      if (same(known, prefix)) return true;
    }
    return false;
  }

  // The element opens (or is empty) here: the converters' nesting rules.
  bool place(std::string_view element, bool empty, std::string* why) {
    if (!declared(element)) return fail(why, "undeclared prefix in " + std::string(element));
    std::string_view parent = open_.empty() ? "" : open_.back();
    bool paragraph = same(element, "text:p");
    if (paragraph && open_paragraphs_ > 0) return fail(why, "nested paragraph");
    if (same(element, "text:span") && !same(parent, "text:p")) {
      return fail(why, "span outside a paragraph or nested");
    }
    if (same(element, "text:tab-stop") && open_paragraphs_ == 0) {
      return fail(why, "tab outside a paragraph");
    }
    if (open_.empty()) text_declared_ = declared("text:");
    if (!empty) {
      open_.push_back(element);
      if (paragraph) ++open_paragraphs_;
    }
    return true;
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::vector<std::string_view> open_;
  std::size_t open_paragraphs_ = 0;           // text:p elements among open_
  bool text_declared_ = false;                // the root declares the prefix "text"
  std::vector<std::string_view> attributes_;  // of the tag being read
  std::vector<std::string_view> declared_;    // namespace prefixes
};

// The length of the UTF-8 sequence at `at` if it is an XML character, else 0.
std::size_t xml_character_length(std::string_view text, std::size_t at) {
  auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[at + i]); };
  unsigned char first = byte(0);
  if (first < 0x80) return first >= 0x20 || first == '\t' || first == '\n' || first == '\r';
  std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 0;
  if (length == 0 || first > 0xF4 || text.size() - at < length) return 0;
  char32_t code = first & (0x7F >> length);
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(i) & 0xC0) != 0x80) return 0;
    code = code << 6 | (byte(i) & 0x3F);
  }
  static constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
  bool allowed = code >= kLeast[length] && code <= 0x10FFFF &&
                 !(code >= 0xD800 && code <= 0xDFFF) && code != 0xFFFE && code != 0xFFFF;
  return allowed ? length : 0;
}

bool is_xml_name_start(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// Any XML the system writes: see is_well_formed_xml.
class XmlChecker {
 public:
  explicit XmlChecker(std::string_view text) : text_(text) {}

  bool check(std::string* why) {
    for (std::size_t i = 0; i < text_.size();) {
      std::size_t length = xml_character_length(text_, i);
      if (length == 0) return fail(why, "not UTF-8 of XML characters at byte " + std::to_string(i));
      i += length;
    }
    if (text_.starts_with("<?xml ")) {
      std::size_t end = text_.find("?>");
      if (end == std::string_view::npos) return fail(why, "unterminated declaration");
      at_ = end + 2;
    }
    skip_blanks();
    if (at_ >= text_.size() || text_[at_] != '<') return fail(why, "no root element");
    do {
      if (text_[at_] == '<') {
        if (!markup(why)) return false;
      } else if (!character_data(why)) {
        return false;
      }
    } while (!elements_.empty() && at_ < text_.size());
    if (!elements_.empty()) return fail(why, "unclosed " + elements_.back().name);
    skip_blanks();
    if (at_ != text_.size()) return fail(why, "content after the root element");
    return true;
  }

 private:
  struct Element {
    std::string name;
    std::vector<std::string> prefixes;  // declared on it
  };

  void skip_blanks() {
    while (at_ < text_.size() && is_blank(text_[at_])) ++at_;
  }

  // A name with at most one prefix.
  std::string name() {
    std::size_t start = at_;
    if (at_ < text_.size() && is_xml_name_start(text_[at_])) {
      while (at_ < text_.size() && is_name_character(text_[at_])) ++at_;
    }
    return std::string(text_.substr(start, at_ - start));
  }

  bool reference(std::size_t& at, std::string* why) {
    std::size_t end = text_.find(';', at);
    if (end == std::string_view::npos || end - at > 12) return fail(why, "bare ampersand");
    std::string_view body = text_.substr(at + 1, end - at - 1);
    bool ok = body == "lt" || body == "gt" || body == "amp" || body == "quot" || body == "apos";
    if (!ok && body.size() > 1 && body[0] == '#') {
      bool hex = body[1] == 'x';
      std::string_view digits = body.substr(hex ? 2 : 1);
      unsigned long value = 0;
      ok = !digits.empty();
      for (char c : digits) {
        int digit = is_digit(c)                   ? c - '0'
                    : hex && c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : hex && c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                  : -1;
        if (digit < 0 || value > 0x10FFFF) ok = false;
        value = value * (hex ? 16 : 10) + static_cast<unsigned long>(std::max(digit, 0));
      }
      ok = ok && (value == 9 || value == 10 || value == 13 || (value >= 0x20 && value <= 0xD7FF) ||
                  (value >= 0xE000 && value <= 0xFFFD) || (value >= 0x10000 && value <= 0x10FFFF));
    }
    if (!ok) return fail(why, "bad reference &" + std::string(body) + ";");
    at = end + 1;
    return true;
  }

  bool character_data(std::string* why) {
    while (at_ < text_.size() && text_[at_] != '<') {
      if (text_[at_] == '&') {
        if (!reference(at_, why)) return false;
        continue;
      }
      if (text_.substr(at_).starts_with("]]>")) return fail(why, "]]> in text");
      ++at_;
    }
    return true;
  }

  bool declared(const std::string& qualified, const std::vector<std::string>& own) const {
    std::size_t colon = qualified.find(':');
    if (colon == std::string::npos) return true;
    std::string prefix = qualified.substr(0, colon);
    if (prefix == "xml" || qualified.find(':', colon + 1) != std::string::npos)
      return prefix == "xml";
    for (const std::string& p : own) {
      if (p == prefix) return true;
    }
    for (const Element& element : elements_) {
      for (const std::string& p : element.prefixes) {
        if (p == prefix) return true;
      }
    }
    return false;
  }

  bool markup(std::string* why) {
    ++at_;  // '<'
    if (at_ < text_.size() && text_[at_] == '/') {
      ++at_;
      std::string closing = name();
      skip_blanks();
      if (at_ >= text_.size() || text_[at_] != '>') return fail(why, "bad end tag " + closing);
      ++at_;
      if (elements_.empty() || elements_.back().name != closing) {
        return fail(why, "mismatched end tag " + closing);
      }
      elements_.pop_back();
      return true;
    }
    Element element{name(), {}};
    if (element.name.empty()) return fail(why, "a '<' that starts no tag");
    std::set<std::string> attributes;
    std::vector<std::string> qualified;
    for (;;) {
      bool blank = at_ < text_.size() && is_blank(text_[at_]);
      skip_blanks();
      if (at_ >= text_.size()) return fail(why, "unterminated tag " + element.name);
      bool empty = text_.substr(at_).starts_with("/>");
      if (empty || text_[at_] == '>') {
        at_ += empty ? 2 : 1;
        for (const std::string& attribute : qualified) {
          if (!declared(attribute, element.prefixes))
            return fail(why, "undeclared prefix in " + attribute);
        }
        if (!declared(element.name, element.prefixes)) {
          return fail(why, "undeclared prefix in " + element.name);
        }
        if (!empty) elements_.push_back(std::move(element));
        return true;
      }
      std::string attribute = name();
      if (!blank || attribute.empty()) return fail(why, "bad attribute in " + element.name);
      if (!attributes.insert(attribute).second) return fail(why, "repeated " + attribute);
      skip_blanks();
      if (at_ >= text_.size() || text_[at_] != '=') return fail(why, "no value for " + attribute);
      ++at_;
      skip_blanks();
      if (at_ >= text_.size() || (text_[at_] != '"' && text_[at_] != '\'')) {
        return fail(why, "unquoted " + attribute);
      }
      char quote = text_[at_];
      std::size_t end = text_.find(quote, at_ + 1);
      if (end == std::string_view::npos) return fail(why, "unterminated " + attribute);
      for (std::size_t i = at_ + 1; i < end;) {
        if (text_[i] == '<') return fail(why, "'<' in the value of " + attribute);
        if (text_[i] == '&') {
          if (!reference(i, why)) return false;
        } else {
          ++i;
        }
      }
      if (attribute.starts_with("xmlns:")) {
        element.prefixes.push_back(attribute.substr(6));
      } else if (attribute != "xmlns") {
        qualified.push_back(attribute);
      }
      at_ = end + 1;
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
  std::vector<Element> elements_;
};

}  // namespace

bool is_well_formed_xml(std::string_view document, std::string* why) {
  return XmlChecker(document).check(why);
}

bool is_clean_text(std::string_view text) { return clean_byte_run(text); }

std::string expected_title(std::string_view file_name) {
  std::string title;
  for (char c : file_name) {
    if (c == '\n')
      title += "\r\n";
    else
      title.push_back(c == '<' ? '[' : c == '>' ? ']' : c);
  }
  return title;
}

bool is_clean_html(std::string_view page, std::string_view title, std::string* why) {
  std::string prologue = "<HTML>\r\n<HEAD>\r\n<TITLE>" + std::string(title) +
                         "</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n";
  if (!page.starts_with(prologue)) return fail(why, "prologue");
  constexpr std::string_view kEpilogue = "</BODY>\r\n</HTML>\r\n";
  if (!page.ends_with(kEpilogue) || page.size() < prologue.size() + kEpilogue.size()) {
    return fail(why, "epilogue");
  }
  std::string_view body =
      page.substr(prologue.size(), page.size() - prologue.size() - kEpilogue.size());
  static constexpr std::string_view kTags[] = {"<P>",  "<BR>",     "<B>",       "</B>", "<I>",
                                               "</I>", "<CENTER>", "</CENTER>", "<HR>"};
  for (std::size_t i = 0; i < body.size(); ++i) {
    for (std::uint64_t bytes; body.size() - i >= 8; i += 8) {
      bytes = eight_at(body, i);
      if (!all_printable(bytes) || holds(bytes, '<') || holds(bytes, '>')) break;
    }
    if (i == body.size()) break;
    if (body[i] == '>') return fail(why, "a '>' outside a tag");
    if (body[i] != '<') continue;
    std::size_t length = 0;
    for (std::string_view tag : kTags) {
      if (starts_at(body, i, tag)) length = tag.size();
    }
    if (length == 0 && starts_at(body, i, "<H") && heading_tag_at(body, i + 2)) {
      length = body.find('>', i) + 1 - i;
    }
    if (length == 0 && starts_at(body, i, "</H") && heading_tag_at(body, i + 3)) {
      length = body.find('>', i) + 1 - i;
    }
    if (length == 0) return fail(why, "unknown tag");
    i += length - 1;
  }
  return clean_byte_run(body) ? true : fail(why, "a byte outside printable ASCII, tab, CR LF");
}

bool is_well_formed_content(std::string_view document, std::string* why) {
  return ContentChecker(document).check(why);
}

void require(bool holds, const char* what, const std::string& why) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s%s%s\n", what, why.empty() ? "" : ": ", why.c_str());
  std::abort();
}

}  // namespace quorrel::fuzz

namespace quorrel::fuzz {

namespace {

bool in_list(std::string_view name, std::initializer_list<std::string_view> names) {
  for (std::string_view candidate : names) {
    if (name == candidate) return true;
  }
  return false;
}

bool numeric_reference_at(std::string_view text, std::size_t at) {
  if (!text.substr(at).starts_with("&#")) return false;
  std::size_t digits = at + 2;
  while (digits < text.size() && is_digit(text[digits])) ++digits;
  return digits > at + 2 && digits < text.size() && text[digits] == ';';
}

class MarkupChecker {
 public:
  MarkupChecker(std::string_view text, Markup kind) : text_(text), kind_(kind) {}

  bool check(std::string* why) {
    if (!is_clean_utf8_text(text_, why)) return false;
    if (kind_ == Markup::xml) {
      for (std::size_t i = 0; i < text_.size();) {
        std::size_t length = xml_character_length(text_, i);
        if (length == 0) return fail(why, "no XML character at byte " + std::to_string(i));
        i += length;
      }
    }
    std::string_view opening = kind_ == Markup::html ? "<!DOCTYPE html>" : "<?xml ";
    if (!text_.starts_with(opening)) return fail(why, "no DOCTYPE or XML declaration first");
    at_ = text_.find('>') + 1;
    bool root_done = false;
    while (at_ < text_.size()) {
      if (root_done && !is_blank(text_[at_])) return fail(why, "content after the root");
      if (open_.empty() && !is_blank(text_[at_]) && text_[at_] != '<') {
        return fail(why, "text outside the root");
      }
      if (!(text_[at_] == '<' ? markup(why) : character_data(why))) return false;
      root_done = root_done || (seen_root_ && open_.empty());
    }
    if (!seen_root_ || !open_.empty()) return fail(why, "root missing or left open");
    return true;
  }

 private:
  bool character_data(std::string* why) {
    for (; at_ < text_.size() && text_[at_] != '<'; ++at_) {
      if (text_[at_] == '&' && !reference_at(text_, at_) && !numeric_reference_at(text_, at_)) {
        return fail(why, "bare ampersand");
      }
    }
    return true;
  }

  std::string_view name() {
    std::size_t start = at_;
    while (at_ < text_.size() && is_name_character(text_[at_])) ++at_;
    return text_.substr(start, at_ - start);
  }

  bool markup(std::string* why) {
    ++at_;
    if (at_ < text_.size() && text_[at_] == '/') {
      ++at_;
      std::string_view closing = name();
      if (at_ >= text_.size() || text_[at_] != '>') {
        return fail(why, "bad end tag " + std::string(closing));
      }
      ++at_;
      if (open_.empty() || open_.back() != closing) {
        return fail(why, "mismatched </" + std::string(closing));
      }
      open_.pop_back();
      if (closing == "table:table") columns_.pop_back();
      return true;
    }
    name_at_ = at_;
    std::string_view element_name = name();
    if (element_name.empty()) return fail(why, "a '<' that starts no tag");
    std::string element(element_name);
    std::vector<std::string_view> attributes;
    repeated_ = 1;
    repeated_ = 1;
    for (;;) {
      bool blank = at_ < text_.size() && is_blank(text_[at_]);
      while (at_ < text_.size() && is_blank(text_[at_])) ++at_;
      if (at_ >= text_.size()) return fail(why, "unterminated tag " + element);
      bool empty = text_.substr(at_).starts_with("/>");
      if (empty || text_[at_] == '>') {
        at_ += empty ? 2 : 1;
        if (empty && kind_ == Markup::html) return fail(why, "'/>' in HTML");
        return place(element, empty, why);
      }
      std::string_view attribute_name = name();
      std::string attribute(attribute_name);
      if (!blank || attribute.empty()) return fail(why, "bad attribute in " + element);
      for (std::string_view seen : attributes) {
        if (seen == attribute_name) return fail(why, "repeated " + attribute);
      }
      attributes.push_back(attribute_name);
      if (at_ + 1 >= text_.size() || text_[at_] != '=' || text_[at_ + 1] != '"') {
        return fail(why, "unquoted " + attribute);
      }
      std::size_t end = text_.find('"', at_ + 2);
      if (end == std::string_view::npos) return fail(why, "unterminated " + attribute);
      for (std::size_t i = at_ + 2; i < end; ++i) {
        if (text_[i] == '<') return fail(why, "'<' in the value of " + attribute);
        if (text_[i] == '&' && !reference_at(text_, i)) return fail(why, "bare ampersand");
      }
      if (attribute == "table:number-columns-repeated") {
        repeated_ = std::atoi(std::string(text_.substr(at_ + 2, end - at_ - 2)).c_str());
      }
      if (kind_ == Markup::xml) {
        if (open_.empty() && attribute.starts_with("xmlns:")) {
          declared_.push_back(attribute_name.substr(6));
        } else if (!declared(attribute)) {
          return fail(why, "undeclared prefix in " + attribute);
        }
      }
      at_ = end + 1;
    }
  }

  bool declared(std::string_view qualified) const {
    std::size_t colon = qualified.find(':');
    if (colon == std::string_view::npos) return true;
    for (std::string_view prefix : declared_) {
      if (prefix == qualified.substr(0, colon)) return true;
    }
    return false;
  }

  bool inside(std::string_view element) const {
    for (std::string_view ancestor : open_) {
      if (ancestor == element) return true;
    }
    return false;
  }

  bool place(const std::string& element, bool empty, std::string* why) {
    if (open_.empty()) {
      if (seen_root_) return fail(why, "a second root " + element);
      seen_root_ = true;
    }
    std::string parent(open_.empty() ? "" : open_.back());
    if (kind_ == Markup::html) {
      if (inside("p") && !in_list(element, {"b", "i", "u", "s", "sup", "sub", "span", "a", "br"})) {
        return fail(why, element + " inside a paragraph");
      }
      if ((element == "tr" && parent != "table") || (element == "td" && parent != "tr") ||
          (element == "li" && parent != "ol") || (parent == "table" && element != "tr") ||
          (parent == "tr" && element != "td") || (parent == "ol" && element != "li")) {
        return fail(why, element + " inside " + parent);
      }
      bool is_void = in_list(element, {"br", "hr", "meta"});
      if (!is_void) open_.push_back(element_at(element));
      return true;
    }
    if (!declared(element)) return fail(why, "undeclared prefix in " + element);
    if (element == "text:span" && parent != "text:p") return fail(why, "span inside " + parent);
    if (element == "text:p" && (parent == "text:p" || parent == "text:span")) {
      return fail(why, "paragraph inside " + parent);
    }
    bool table_part = element.starts_with("table:table");
    if (table_part && (inside("text:footnote-body") || inside("text:endnote-body"))) {
      return fail(why, "a table in a note");
    }
    if ((element == "table:table-row" && parent != "table:table") ||
        (element == "table:table-cell" && parent != "table:table-row") ||
        (element == "table:table-column" && parent != "table:table")) {
      return fail(why, element + " inside " + parent);
    }
    // An office suite drops the cells of a row beyond the table's columns.
    if (element == "table:table") columns_.push_back(0);
    if (element == "table:table-column") columns_.back() += repeated_;
    if (element == "table:table-row") cells_ = 0;
    if (element == "table:table-cell" && ++cells_ > columns_.back()) {
      return fail(why, "more cells than columns");
    }
    if (!empty) open_.push_back(element_at(element));
    return true;
  }

  // The element's name where it stands in the text, which outlives the checker's stack.
  std::string_view element_at(const std::string& element) const {
    return text_.substr(name_at_, element.size());
  }

  std::string_view text_;
  std::size_t name_at_ = 0;
  Markup kind_;
  int repeated_ = 1;
  std::vector<int> columns_;  // of each table open
  int cells_ = 0;
  std::size_t at_ = 0;
  bool seen_root_ = false;
  std::vector<std::string_view> open_;
  std::vector<std::string_view> declared_;
};

}  // namespace

bool is_clean_utf8_text(std::string_view text, std::string* why) {
  if (!document::is_valid_utf8(text)) return fail(why, "invalid UTF-8");
  for (char c : text) {
    auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\t' && c != '\n') || byte == 0x7F) {
      return fail(why, "a control character");
    }
  }
  return true;
}

bool is_well_formed_markup(std::string_view document, Markup kind, std::string* why) {
  return MarkupChecker(document, kind).check(why);
}

}  // namespace quorrel::fuzz
