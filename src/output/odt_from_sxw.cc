#include "output/odt_from_sxw.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "output/sxw_content.h"
#include "output/text_writer.h"

namespace quorrel::odt {

// What becomes of a tag of the body in the package.
enum class Carried { as_is, left_out, as_tab, refused };

enum class SxwTag {
  paragraph_start,
  paragraph_end,
  tab,
  span_start,
  span_end,
  body_end,
  root_end,
  unknown
};

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

// Every tag of the body, with what it is.
struct KnownTag {
  std::string_view text;
  SxwTag tag;
};
constexpr KnownTag kTags[] = {
    {kParagraphEnd, SxwTag::paragraph_end},
    {kTabStop, SxwTag::tab},
    {kSpanEnd, SxwTag::span_end},
    {kSpanStyles[0].tag, SxwTag::span_start},
    {kSpanStyles[1].tag, SxwTag::span_start},
    {kSpanStyles[2].tag, SxwTag::span_start},
    {kSpanStyles[3].tag, SxwTag::span_start},
    {kSpanStyles[4].tag, SxwTag::span_start},
    {kParagraphStart, SxwTag::paragraph_start},
    {kBodyEnd, SxwTag::body_end},
    {kRootEnd, SxwTag::root_end},
};

inline bool starts(const unsigned char* p, std::string_view text) {
  return std::memcmp(p, text.data(), text.size()) == 0;
}

// The tag at `p`, where kLongestToken bytes are readable, told apart by a byte or two and
// then compared whole; unknown for any other.
SxwTag tag_at(const unsigned char* p, std::size_t& length) {
  auto is = [&](std::string_view text) {
    length = text.size();
    return starts(p, text);
  };
  if (p[1] == '/') {
    if (p[7] == 'p' && is(kParagraphEnd)) return SxwTag::paragraph_end;
    if (p[7] == 's' && is(kSpanEnd)) return SxwTag::span_end;
    if (is(kBodyEnd)) return SxwTag::body_end;
    if (is(kRootEnd)) return SxwTag::root_end;
    return SxwTag::unknown;
  }
  if (p[6] == 't' && is(kTabStop)) return SxwTag::tab;
  if (p[6] == 'p' && is(kParagraphStart)) return SxwTag::paragraph_start;
  if (p[6] == 's') {
    for (const SpanStyle& style : kSpanStyles) {
      if (is(style.tag)) return SxwTag::span_start;
    }
  }
  return SxwTag::unknown;
}

// The length of the character reference at `p` (6 bytes readable), 0 when there is none.
inline std::size_t reference_at(const unsigned char* p) {
  switch (p[1]) {
    case 'l':
      return starts(p, "&lt;") ? 4 : 0;
    case 'g':
      return starts(p, "&gt;") ? 4 : 0;
    case 'a':
      return starts(p, "&amp;") ? 5 : starts(p, "&apos;") ? 6 : 0;
    case 'q':
      return starts(p, "&quot;") ? 6 : 0;
    default:
      return 0;
  }
}

// The tag `token` is, whole.
SxwTag known_tag(std::string_view token) {
  for (const KnownTag& known : kTags) {
    if (token == known.text) return known.tag;
  }
  return SxwTag::unknown;
}

constexpr std::string_view kReferences[] = {"&lt;", "&gt;", "&amp;", "&quot;", "&apos;"};

bool is_reference(std::string_view token) {
  for (std::string_view reference : kReferences) {
    if (token == reference) return true;
  }
  return false;
}

constexpr std::string_view kOdfTab = "<text:tab/>";

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

// The first `terminator` among the `size` bytes at `p`, or null. Tokens are short: a loop the
// compiler keeps inline costs less than a call to memchr per tag.
inline const unsigned char* find_terminator(const unsigned char* p, std::size_t size,
                                            char terminator) {
  for (std::size_t i = 0; i < size; ++i) {
    if (p[i] == static_cast<unsigned char>(terminator)) return p + i;
  }
  return nullptr;
}

// The end of the run of plain bytes at `p`, 16 bytes at a time: the first byte outside
// printable ASCII that is not XML's white space, or a markup character, stops it.
inline const unsigned char* plain_run_end(const unsigned char* p, const unsigned char* end) {
#if defined(__SSE2__)
  while (end - p >= 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    __m128i blank = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t')),
                                              _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\n'))),
                                 _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')));
    __m128i control = _mm_andnot_si128(  // 0x80-0xFF are negative: below 0x20 too
        blank, _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x20)));
    __m128i stop = _mm_or_si128(
        _mm_or_si128(control, _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x7F))),
        _mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(bytes, _mm_set1_epi8(2)), _mm_set1_epi8('>')),
                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('&'))));
    unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(stop));
    if (mask != 0) return p + __builtin_ctz(mask);
    p += 16;
  }
#endif
  while (p != end && kPlain[*p]) ++p;
  return p;
}

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
  if (!pending_.empty()) {  // the rest of a token split between writes
    char terminator = pending_[0] == '<' ? '>' : ';';
    std::size_t look = std::min(kLongestToken - pending_.size(), static_cast<std::size_t>(size));
    const unsigned char* stop = find_terminator(p, look, terminator);
    const unsigned char* upto = stop != nullptr ? stop + 1 : p + look;
    pending_.append(reinterpret_cast<const char*>(p), static_cast<std::size_t>(upto - p));
    p = upto;
    if (stop == nullptr) return pending_.size() < kLongestToken || fail();
    std::string whole = std::move(pending_);
    pending_.clear();
    if (!carry_whole(whole)) return false;
  }
  // Most of the body passes on as it is: bytes from `kept` on are emitted in one piece when
  // something has to change, or at the end of the write.
  const unsigned char* kept = p;
  auto pass_on = [&](const unsigned char* upto) {
    if (upto != kept)
      emit({reinterpret_cast<const char*>(kept), static_cast<std::size_t>(upto - kept)});
  };
  while (p != end) {
    const unsigned char* start = p;
    bool text = state_ == State::paragraph || state_ == State::span;
    if (text) {
      // References are text: a run goes on over them.
      for (;;) {
        p = plain_run_end(p, end);
        if (p == end || *p != '&' || end - p < 6) break;
        std::size_t reference = reference_at(p);
        if (reference == 0) break;
        p += reference;
      }
    } else {
      while (p != end && is_blank(*p)) ++p;
      // White space outside the body's end is not written: the frame has its own.
      if (p != start && (state_ == State::after_body || state_ == State::done)) {
        pass_on(start);
        kept = p;
      }
    }
    if (p == end) break;
    if (*p != '<' && !(*p == '&' && text)) return fail();
    // Most tags are known by their first bytes, without a search for their end.
    std::size_t length = 0;
    SxwTag tag = SxwTag::unknown;
    if (*p == '<' && end - p >= static_cast<std::ptrdiff_t>(kLongestToken)) tag = tag_at(p, length);
    if (tag == SxwTag::unknown) {
      char terminator = *p == '<' ? '>' : ';';
      std::size_t look = std::min(kLongestToken, static_cast<std::size_t>(end - p));
      const unsigned char* stop = find_terminator(p, look, terminator);
      if (stop == nullptr) {
        if (look == kLongestToken) return fail();
        pass_on(p);
        pending_.assign(reinterpret_cast<const char*>(p), look);
        return true;
      }
      length = static_cast<std::size_t>(stop + 1 - p);
      std::string_view token(reinterpret_cast<const char*>(p), length);
      if (token[0] == '&') {
        if (!is_reference(token)) return fail();
        p += length;
        continue;
      }
      tag = known_tag(token);
    }
    switch (carry(tag)) {
      case Carried::as_is:
        break;
      case Carried::left_out:
        pass_on(p);
        kept = p + length;
        break;
      case Carried::as_tab:
        pass_on(p);
        emit(kOdfTab);
        kept = p + length;
        break;
      case Carried::refused:
        return false;
    }
    p += length;
  }
  pass_on(end);
  return true;
}

bool SxwToOdt::carry_whole(std::string_view token) {
  if (token[0] == '&') {
    if (!is_reference(token)) return fail();
    emit(token);
    return true;
  }
  switch (carry(known_tag(token))) {
    case Carried::as_is:
      emit(token);
      return true;
    case Carried::left_out:
      return true;
    case Carried::as_tab:
      emit(kOdfTab);
      return true;
    case Carried::refused:
      break;
  }
  return false;
}

Carried SxwToOdt::carry(SxwTag tag) {
  switch (tag) {
    case SxwTag::paragraph_start:
      if (state_ != State::between) break;
      state_ = State::paragraph;
      return Carried::as_is;
    case SxwTag::body_end:
      if (state_ != State::between) break;
      state_ = State::after_body;
      return Carried::left_out;
    case SxwTag::tab:
      if (state_ != State::paragraph && state_ != State::span) break;
      return Carried::as_tab;
    case SxwTag::paragraph_end:
      if (state_ != State::paragraph) break;
      state_ = State::between;
      return Carried::as_is;
    case SxwTag::span_start:
      if (state_ != State::paragraph) break;
      state_ = State::span;
      return Carried::as_is;
    case SxwTag::span_end:
      if (state_ != State::span) break;
      state_ = State::paragraph;
      return Carried::as_is;
    case SxwTag::root_end:
      if (state_ != State::after_body) break;
      state_ = State::done;
      return Carried::left_out;
    case SxwTag::unknown:
      break;
  }
  fail();
  return Carried::refused;
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
