#include "output/odt_from_sxw.h"

#include <array>
#include <cstring>

#include "output/sxw_content.h"
#include "output/text_writer.h"

namespace quorrel::odt {

namespace {

// The SXW prolog of a style set up to the end of its sequence declarations, as the exact
// converters write it; their body follows it.
std::string sxw_prolog(sxw::StyleSet styles) {
  std::string prolog;
  {
    StringSink sink(prolog);
    TextWriter out(sink);
    sxw::write_prolog(out, styles);
    out.flush();
  }
  constexpr std::string_view kEnd = "</text:sequence-decls>";
  prolog.resize(prolog.find(kEnd) + kEnd.size());
  return prolog;
}

constexpr std::string_view kParagraphStart = "<text:p text:style-name=\"Standard\">";
constexpr std::string_view kParagraphEnd = "</text:p>";
constexpr std::string_view kTabStop = "<text:tab-stop/>";
constexpr std::string_view kSpanEnd = "</text:span>";
constexpr std::string_view kBodyEnd = "</office:body>";
constexpr std::string_view kRootEnd = "</office:document-content>";

struct SpanStyle {
  std::string_view tag;  // the span start tag, the same in both formats
  TextLook look;
};
// The span styles of both style sets. P1 and P2 of the basic set are bold and italic; T12
// and T8 of the full set the same; H5 centres, which a span cannot do in OpenDocument, so it
// stays a span of a style that changes nothing, as an office suite shows the SXW.
constexpr SpanStyle kSpanStyles[] = {
    {"<text:span text:style-name=\"P1\">", {.bold = true}},
    {"<text:span text:style-name=\"P2\">", {.italic = true}},
    {"<text:span text:style-name=\"T12\">", {.bold = true}},
    {"<text:span text:style-name=\"T8\">", {.italic = true}},
    {"<text:span text:style-name=\"H5\">", {}},
};

bool is_span_start(std::string_view tag) {
  for (const SpanStyle& style : kSpanStyles) {
    if (tag == style.tag) return true;
  }
  return false;
}

constexpr std::string_view kReferences[] = {"&lt;", "&gt;", "&amp;", "&quot;", "&apos;"};

// A tag or reference is never longer than this; a longer one is not the exact vocabulary.
constexpr std::size_t kLongestToken = 64;

// Bytes of a paragraph's text that are copied as they are: printable ASCII but the markup
// characters, and the white space of XML. A raw '>' is refused, so that no "]]>" can pass.
constexpr std::array<bool, 256> kPlain = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x20; c < 0x7F; ++c) plain[c] = c != '<' && c != '>' && c != '&';
  plain['\t'] = plain['\r'] = plain['\n'] = true;
  return plain;
}();

constexpr bool is_blank(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string content_head() {
  std::string head(kContentStart);
  for (const SpanStyle& style : kSpanStyles) {
    std::string_view name = style.tag.substr(style.tag.find("name=\"") + 6);
    append_text_style(head, name.substr(0, name.size() - 2), style.look);
  }
  head += kContentBodyStart;
  return head;
}

}  // namespace

SxwToOdt::SxwToOdt(std::string spool_folder, std::string_view title)
    : body_(std::move(spool_folder)), meta_(meta_document(title)) {
  out_.reserve(kFlushAt + kLongestToken);
}

void SxwToOdt::flush() {
  body_.write(out_.data(), out_.size());
  out_.clear();
}

bool SxwToOdt::write(const char* data, std::size_t size) {
  if (state_ == State::failed) return false;
  if (state_ == State::prolog) return take_prolog(data, size);
  return body(data, size) && body_.ok();
}

bool SxwToOdt::take_prolog(const char* data, std::size_t size) {
  static const std::string kPrologs[] = {sxw_prolog(sxw::StyleSet::basic),
                                         sxw_prolog(sxw::StyleSet::full)};
  std::size_t had = pending_.size();
  std::size_t wanted = 0;
  for (const std::string& prolog : kPrologs) wanted = std::max(wanted, prolog.size());
  pending_.append(data, std::min(size, wanted - had));
  for (const std::string& prolog : kPrologs) {
    if (pending_.starts_with(prolog)) {
      std::size_t used = prolog.size() - had;
      pending_.clear();
      state_ = State::between;
      return body(data + used, size - used);
    }
  }
  // Still a beginning of one of them: wait for more.
  for (const std::string& prolog : kPrologs) {
    if (pending_.size() < prolog.size() && prolog.starts_with(pending_)) return true;
  }
  return fail();
}

bool SxwToOdt::body(const char* data, std::size_t size) {
  const auto* p = reinterpret_cast<const unsigned char*>(data);
  const unsigned char* end = p + size;
  while (p != end) {
    if (!pending_.empty()) {  // the rest of a split token
      char terminator = pending_[0] == '<' ? '>' : ';';
      std::size_t room = kLongestToken - pending_.size();
      std::size_t look = std::min(room, static_cast<std::size_t>(end - p));
      const void* stop = std::memchr(p, terminator, look);
      const unsigned char* upto =
          stop != nullptr ? static_cast<const unsigned char*>(stop) + 1 : p + look;
      pending_.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(upto - p));
      p = upto;
      if (stop == nullptr) {
        if (pending_.size() >= kLongestToken) return fail();
        continue;
      }
      std::string whole = std::move(pending_);
      pending_.clear();
      if (!token(whole)) return false;
      continue;
    }
    const unsigned char* start = p;
    bool text = state_ == State::paragraph || state_ == State::span;
    if (text) {
      while (p != end && kPlain[*p]) ++p;
    } else {
      while (p != end && is_blank(*p)) ++p;
    }
    // White space outside the body's end is not written: the frame has its own.
    if (state_ != State::after_body && state_ != State::done) {
      emit({reinterpret_cast<const char*>(start), static_cast<std::size_t>(p - start)});
    }
    if (p == end) break;
    if (*p != '<' && !(*p == '&' && text)) return fail();
    char terminator = *p == '<' ? '>' : ';';
    std::size_t look = std::min(kLongestToken, static_cast<std::size_t>(end - p));
    const void* stop = std::memchr(p, terminator, look);
    if (stop == nullptr) {
      if (look == kLongestToken) return fail();
      pending_.assign(reinterpret_cast<const char*>(p), look);
      break;
    }
    auto* after = static_cast<const unsigned char*>(stop) + 1;
    if (!token({reinterpret_cast<const char*>(p), static_cast<std::size_t>(after - p)}))
      return false;
    p = after;
  }
  return true;
}

bool SxwToOdt::token(std::string_view token) {
  if (token[0] == '&') {
    for (std::string_view reference : kReferences) {
      if (token == reference) {
        emit(token);
        return true;
      }
    }
    return fail();
  }
  switch (state_) {
    case State::between:
      if (token == kParagraphStart) {
        emit(token);
        state_ = State::paragraph;
        return true;
      }
      if (token == kBodyEnd) {
        state_ = State::after_body;
        return true;
      }
      return fail();
    case State::paragraph:
    case State::span:
      if (token == kTabStop) {
        emit("<text:tab/>");
        return true;
      }
      if (state_ == State::paragraph && token == kParagraphEnd) {
        emit(token);
        state_ = State::between;
        return true;
      }
      if (state_ == State::paragraph && is_span_start(token)) {
        emit(token);
        state_ = State::span;
        return true;
      }
      if (state_ == State::span && token == kSpanEnd) {
        emit(token);
        state_ = State::paragraph;
        return true;
      }
      return fail();
    case State::after_body:
      if (token != kRootEnd) return fail();
      state_ = State::done;
      return true;
    default:
      return fail();
  }
}

bool SxwToOdt::finish() {
  if (state_ != State::done || !pending_.empty()) return fail();
  flush();
  if (!body_.ok()) return fail();
  static const std::string kContentHead = content_head();
  parts_.content = {std::string_view(kContentHead), &body_, kContentEnd};
  parts_.styles = {kStylesStart, kStylesMasterStart, kStylesEnd};
  parts_.meta = meta_;
  return true;
}

}  // namespace quorrel::odt
