#include "writers/output_buffer.h"

#include <charconv>

#include "writers/markup_scan.h"

namespace quorrel::writers {

std::string_view xml_reference(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    default:
      return "&quot;";
  }
}

void append_xml_escaped(std::string& out, std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = find_markup(text, 0, false); i < text.size();
       i = find_markup(text, start, false)) {
    out.append(text.data() + start, i - start);
    out.append(xml_reference(text[i]));
    start = i + 1;
  }
  out.append(text.data() + start, text.size() - start);
}

void OutputBuffer::append_large(std::string_view bytes) {
  flush();
  if (bytes.size() >= kFlushAt) {
    ok_ = sink_.write(bytes.data(), bytes.size()) && ok_;
  } else {
    std::memcpy(data_.get(), bytes.data(), bytes.size());
    size_ = bytes.size();
  }
}

std::size_t OutputBuffer::append_until_markup(std::string_view text, std::size_t from,
                                              bool double_spaces) {
#if defined(__SSE2__)
  const std::size_t size = text.size();
  const char* data = text.data();
  bool space_before = from > 0 && data[from - 1] == ' ';
  for (; from + 16 <= size; from += 16) {
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + from));
    // Stored before it is looked at: the bytes up to the first hit are the ones wanted, and
    // kCapacity leaves room for all sixteen.
    _mm_storeu_si128(reinterpret_cast<__m128i*>(data_.get() + size_), bytes);
    unsigned hits = markup_bits(bytes, double_spaces, space_before);
    if (hits != 0) {
      const auto taken = static_cast<std::size_t>(__builtin_ctz(hits));
      size_ += taken;
      if (size_ >= kFlushAt) flush();
      return from + taken;
    }
    size_ += 16;
    if (size_ >= kFlushAt) flush();
  }
#endif
  // The last few bytes; find_markup looks at the byte before `from` itself.
  const std::size_t end = find_markup(text, from, double_spaces);
  append(text.substr(from, end - from));
  return end;
}

void OutputBuffer::append_escaped(std::string_view text) {
  std::size_t start = 0;
  for (std::size_t i = append_until_markup(text, 0, false); i < text.size();
       i = append_until_markup(text, start, false)) {
    append(xml_reference(text[i]));
    start = i + 1;
  }
}

void append_paragraph_text(OutputBuffer& out, std::string_view text, bool& after_space) {
  const std::size_t size = text.size();
  if (size == 0) return;
  // A space at the start after a space is a stretch of its own; the scan sees only the
  // spaces inside the run.
  std::size_t i = text[0] == ' ' && after_space ? 0 : out.append_until_markup(text, 0, true);
  while (i < size) {
    if (text[i] == ' ') {
      std::size_t end = i;
      while (end < size && text[end] == ' ') ++end;
      if (end - i == 1) {
        out.append("<text:s/>");
      } else {
        char digits[24];
        out.append("<text:s text:c=\"");
        out.append(std::string_view(
            digits, std::to_chars(digits, digits + sizeof digits, end - i).ptr - digits));
        out.append("\"/>");
      }
      i = end;
    } else {
      out.append(xml_reference(text[i]));
      ++i;
    }
    if (i < size) i = out.append_until_markup(text, i, true);
  }
  after_space = text.back() == ' ';
}

}  // namespace quorrel::writers
