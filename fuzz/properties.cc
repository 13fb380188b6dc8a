#include "properties.h"

#include <cstdio>
#include <cstdlib>

namespace quorrel::fuzz {

namespace {

bool clean_byte_run(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
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

bool starts_with(std::string_view text, std::size_t at, std::string_view prefix) {
  return text.substr(at, prefix.size()) == prefix;
}

}  // namespace

bool is_clean_text(std::string_view text) { return clean_byte_run(text); }

bool is_clean_html(std::string_view page, std::string_view title) {
  std::string prologue = "<HTML>\r\n<HEAD>\r\n<TITLE>" + std::string(title) +
                         "</TITLE>\r\n</HEAD>\r\n<BODY>\r\n<P>\r\n";
  if (!starts_with(page, 0, prologue)) return false;
  std::string_view body = page.substr(prologue.size());
  static constexpr std::string_view kTags[] = {
      "<P>", "<BR>", "<B>", "</B>", "<I>", "</I>", "<CENTER>", "</CENTER>", "<HR>",
      "<H", "</H", "</BODY>", "</HTML>"};
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] != '<') continue;
    bool known = false;
    for (std::string_view tag : kTags) known = known || starts_with(body, i, tag);
    if (!known) return false;
  }
  return clean_byte_run(body);
}

bool is_well_formed_content(std::string_view document, std::string* why) {
  auto fail = [why](const char* reason) {
    if (why != nullptr) *why = reason;
    return false;
  };
  std::size_t body = document.find("<office:body>");
  if (body == std::string_view::npos) return fail("no body");
  bool in_paragraph = false, in_span = false;
  for (std::size_t i = body; i < document.size(); ++i) {
    char c = document[i];
    if (c == '&') {
      bool known = false;
      for (std::string_view ref : {"&lt;", "&gt;", "&amp;", "&quot;", "&apos;"}) {
        known = known || starts_with(document, i, ref);
      }
      if (!known) return fail("bare ampersand");
    } else if (c == '<') {
      if (starts_with(document, i, "<text:p ")) {
        if (in_paragraph) return fail("nested paragraph");
        in_paragraph = true;
      } else if (starts_with(document, i, "</text:p>")) {
        if (!in_paragraph || in_span) return fail("paragraph closed badly");
        in_paragraph = false;
      } else if (starts_with(document, i, "<text:span ")) {
        if (!in_paragraph || in_span) return fail("span outside a paragraph or nested");
        in_span = true;
      } else if (starts_with(document, i, "</text:span>")) {
        if (!in_span) return fail("span closed twice");
        in_span = false;
      }
    }
  }
  if (in_paragraph || in_span) return fail("unclosed element");
  static constexpr std::string_view kEnd = "\r\n</office:body>\r\n</office:document-content>";
  if (document.size() < kEnd.size() || document.substr(document.size() - kEnd.size()) != kEnd) {
    return fail("bad ending");
  }
  return true;
}

void require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

}  // namespace quorrel::fuzz
