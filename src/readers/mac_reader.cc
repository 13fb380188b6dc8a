// WordPerfect for the Macintosh: 2.x to 3.5e behind the prefix (file type 44), whose groups
// carry big-endian lengths and hold note and header text inline; and 1.x, without a prefix.
#include <cstdint>
#include <string>

#include "document/charsets.h"
#include "readers/mac.h"
#include "readers/readers.h"

namespace quorrel::readers {
namespace {

using document::Align;
using document::Attribute;
using document::DocumentBuilder;
using document::SubDocument;

constexpr std::size_t kReleaseEvery = 1 << 16;

// Apple's Mac OS Roman, 0x80-0xFF.
constexpr char16_t kMacRoman[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4,
    0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF,
    0x00F1, 0x00F3, 0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020,
    0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4,
    0x00A8, 0x2260, 0x00C6, 0x00D8, 0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202,
    0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1,
    0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, 0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3,
    0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA,
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, 0x2021, 0x00B7, 0x201A,
    0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC,
    0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, 0x00AF,
    0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

unsigned byte_at(std::string_view s, std::size_t at) {
  return at < s.size() ? static_cast<unsigned char>(s[at]) : 0;
}
unsigned be16(std::string_view s, std::size_t at) {
  return byte_at(s, at) << 8 | byte_at(s, at + 1);
}
std::uint32_t be32(std::string_view s, std::size_t at) {
  return std::uint32_t(be16(s, at)) << 16 | be16(s, at + 2);
}

void mac_roman(DocumentBuilder& builder, unsigned byte) {
  if (byte < 0x20) {
    builder.printable_ascii(' ');
  } else if (byte < 0x7F) {
    builder.printable_ascii(static_cast<char>(byte));
  } else if (byte >= 0x80) {
    builder.character(kMacRoman[byte - 0x80]);
  }
}

// ---- 2.x to 3.5e ------------------------------------------------------------------------

// Whole sizes of the fixed-length groups 0xC0-0xCF.
constexpr std::uint8_t kFixedSize[16] = {5, 8, 7, 4, 4, 7, 10, 7, 4, 5, 6, 6, 7, 9, 7, 4};

class Mac3Reader {
 public:
  Mac3Reader(DocumentBytes& input, DocumentBuilder& builder)
      : input_(input), bytes_(input.bytes()), builder_(builder) {}

  ReadResult read() {
    if (be16(bytes_, 12) != 0) {
      return {ReadStatus::password_protected, std::string(kPasswordProtectedMessage)};
    }
    std::size_t start = byte_at(bytes_, 4) | byte_at(bytes_, 5) << 8 |
                        std::size_t(byte_at(bytes_, 6)) << 16 |
                        std::size_t(byte_at(bytes_, 7)) << 24;
    if (start > bytes_.size()) {
      damaged_ = true;
      start = bytes_.size();
    }
    read_area(start, bytes_.size(), true);
    if (damaged_) return {ReadStatus::damaged, "The document is damaged; what could be read was kept."};
    return {};
  }

 private:
  void read_area(std::size_t at, std::size_t end, bool body) {
    std::size_t released = at;
    while (at < end) {
      if (body && at - released >= kReleaseEvery) {
        input_.done_before(at);
        released = at;
      }
      unsigned c = byte_at(bytes_, at);
      if (c >= 0x20 && c <= 0x7E) {
        std::size_t run = at + 1;
        while (run < end && byte_at(bytes_, run) - 0x20u <= 0x7E - 0x20) ++run;
        if (undo_ == 0) builder_.printable_ascii(bytes_.substr(at, run - at));
        at = run;
      } else if (c >= 0x80 && c <= 0xBF) {
        single_byte(c);
        ++at;
      } else if (c >= 0xC0 && c <= 0xCF) {
        at = fixed_group(at, end);
      } else if (c >= 0xD0 && c <= 0xEF) {
        at = variable_group(at, end);
      } else {
        ++at;  // control bytes, 0x7F and 0xF0-0xFF carry no text
      }
    }
  }

  void single_byte(unsigned c) {
    if (undo_ > 0) return;
    switch (c) {
      case 0x80: builder_.paragraph_break(); break;
      case 0x81: builder_.page_break(); break;
      case 0x96: builder_.printable_ascii('-'); break;
      case 0xA0: builder_.character(0xA0); break;
      default: break;  // soft hyphens and the rest write nothing
    }
  }

  std::size_t fixed_group(std::size_t at, std::size_t end) {
    unsigned c = byte_at(bytes_, at);
    std::size_t size = kFixedSize[c - 0xC0];
    if (size > end - at || byte_at(bytes_, at + size - 1) != c) {
      damaged_ = true;
      return at + 1;
    }
    unsigned a = byte_at(bytes_, at + 1), b = byte_at(bytes_, at + 2), d = byte_at(bytes_, at + 3);
    switch (c) {
      case 0xC0:  // a Macintosh character, else a WordPerfect one
        if (undo_ > 0) break;
        if (a >= 0x20) {
          mac_roman(builder_, a);
        } else {
          std::string_view text = charsets::wp5(static_cast<int>(b), static_cast<int>(d));
          builder_.text(text.empty() ? std::string_view(" ") : text);
        }
        break;
      case 0xC1:
        if (undo_ == 0) builder_.tab();
        break;
      case 0xC3:
        attribute(a, (b & 0x80) == 0);
        break;
      case 0xCD:  // undo: deleted text between a start and an end
        if (a == 0) ++undo_;
        if (a == 1 && undo_ > 0) --undo_;
        break;
      default:
        break;
    }
    return at + size;
  }

  void attribute(unsigned number, bool on) {
    Attribute attribute;
    switch (number) {
      case 0: attribute = Attribute::bold; break;
      case 1: attribute = Attribute::italic; break;
      case 2: case 12: attribute = Attribute::underline; break;
      case 9: attribute = Attribute::strikeout; break;
      case 10: attribute = Attribute::subscript; break;
      case 11: attribute = Attribute::superscript; break;
      case 18: attribute = Attribute::small_caps; break;
      default: return;
    }
    builder_.set_attribute(attribute, on);
  }

  std::size_t variable_group(std::size_t at, std::size_t end) {
    unsigned code = byte_at(bytes_, at), sub = byte_at(bytes_, at + 1);
    // The trailing length may be the leading one: an empty group is six bytes.
    std::size_t size = std::size_t(be16(bytes_, at + 2)) + 4;
    if (size < 6 || size > end - at || byte_at(bytes_, at + size - 1) != code ||
        byte_at(bytes_, at + size - 2) != sub || be16(bytes_, at + size - 4) + 4 != size) {
      damaged_ = true;
      return at + 1;
    }
    std::size_t data_end = at + size - 4;
    if (undo_ > 0) return at + size;
    switch (code) {
      case 0xDC:
        end_of_line(sub);
        break;
      case 0xD5:
        if (sub <= 3) header_footer(at + 4, data_end, sub < 2 ? SubDocument::header : SubDocument::footer);
        break;
      case 0xD6:
        if (sub <= 1) note(at + 4, data_end, sub == 0 ? SubDocument::footnote : SubDocument::endnote);
        break;
      default:
        break;
    }
    return at + size;
  }

  void end_of_line(unsigned sub) {
    switch (sub) {
      case 0x00: case 0x01: builder_.printable_ascii(' '); break;
      case 0x02: case 0x03: case 0x04: case 0x06: case 0x0A: case 0x0B:
        builder_.paragraph_break();
        break;
      case 0x07: builder_.page_break(); break;
      case 0x0C: case 0x0D: builder_.printable_ascii('-'); break;
      case 0x16: builder_.open_cell(); break;
      case 0x18: case 0x19: case 0x1C: case 0x1D:
        builder_.open_row();
        builder_.open_cell();
        break;
      case 0x1A: case 0x1B: builder_.close_table(); break;
      default: break;
    }
  }

  // Text held inside a group, read as a sub-document; groups inside it cannot reach past it.
  void inline_text(std::size_t begin, std::size_t end, SubDocument kind) {
    if (begin >= end || depth_ >= 4) return;
    ++depth_;
    builder_.open_sub_document(kind);
    read_area(begin, end, false);
    builder_.close_sub_document();
    --depth_;
  }

  void header_footer(std::size_t at, std::size_t end, SubDocument kind) {
    at += 14;
    at += 2 + std::size_t(be16(bytes_, at));  // an older copy of the text
    at += 1 + 4;                              // its definition
    std::size_t length = be16(bytes_, at);
    at += 2;
    if (at > end) return;
    inline_text(at, std::min(end, at + length), kind);
  }

  void note(std::size_t at, std::size_t end, SubDocument kind) {
    at += 25;
    at += 2 + 4 * std::size_t(be16(bytes_, at));  // page numbers
    at += 2 + 6 * std::size_t(be16(bytes_, at));  // the break table
    if (at > end) return;
    inline_text(at, end, kind);
  }

  DocumentBytes& input_;
  std::string_view bytes_;
  DocumentBuilder& builder_;
  int undo_ = 0;
  int depth_ = 0;
  bool damaged_ = false;
};

// ---- 1.x ----------------------------------------------------------------------------------

// Whole sizes of the groups 0xC0-0xFE; 0 marks a group with 32-bit big-endian lengths.
constexpr std::uint8_t kMac1Size[63] = {
    10, 4, 4, 7, 7, 6, 4, 6, 8, 0, 3, 6, 6, 3, 6, 3,      // 0xC0
    6, 0, 0, 4, 4, 4, 6, 0, 4, 4, 4, 4, 0, 24, 6, 0,      // 0xD0
    4, 3, 0, 150, 6, 23, 11, 3, 3, 0, 0, 32, 5, 0, 44, 18, // 0xE0
    6, 106, 0, 196, 4, 0, 5, 4, 4, 8, 0, 4, 0, 0, 0};     // 0xF0

// The size of the group at `at`, or 0 when it does not close where it should.
std::size_t mac1_group(std::string_view s, std::size_t at) {
  unsigned c = byte_at(s, at);
  std::size_t size = kMac1Size[c - 0xC0];
  if (size == 0) {
    std::uint32_t length = be32(s, at + 1);
    if (length == 0 || length > s.size()) return 0;
    size = 1 + 4 + std::size_t(length) + 4 + 1;
    if (size > s.size() - at || be32(s, at + 5 + length) != length) return 0;
  }
  if (size > s.size() - at || byte_at(s, at + size - 1) != c) return 0;
  return size;
}

ReadResult read_mac1(DocumentBytes& input, DocumentBuilder& builder) {
  std::string_view s = input.bytes();
  if (s.substr(0, 4) == "\xFE\xFF\x61\x61") {
    return {ReadStatus::password_protected, std::string(kPasswordProtectedMessage)};
  }
  bool damaged = false;
  std::size_t released = 0;
  for (std::size_t at = 0; at < s.size();) {
    if (at - released >= kReleaseEvery) {
      input.done_before(at);
      released = at;
    }
    unsigned c = byte_at(s, at);
    if (c >= 0x20 && c <= 0x7E) {
      std::size_t run = at + 1;
      while (run < s.size() && byte_at(s, run) - 0x20u <= 0x7E - 0x20) ++run;
      builder.printable_ascii(s.substr(at, run - at));
      at = run;
      continue;
    }
    if (c >= 0xC0 && c <= 0xFE) {
      std::size_t size = mac1_group(s, at);
      if (size == 0) {
        damaged = true;
        ++at;
        continue;
      }
      if (c == 0xE1 && size == 3) mac_roman(builder, byte_at(s, at + 1));
      if (c == 0xC3) builder.align_paragraph(Align::center);
      if (c == 0xC4) builder.align_paragraph(Align::right);
      at += size;
      continue;
    }
    switch (c) {
      case 0x09: builder.tab(); break;
      case 0x0A: builder.paragraph_break(); break;
      case 0x0C: builder.page_break(); break;
      case 0x0D: builder.printable_ascii(' '); break;
      case 0x90: case 0x91: builder.set_attribute(Attribute::strikeout, c == 0x90); break;
      case 0x92: case 0x93: builder.set_attribute(Attribute::strikeout, c == 0x92); break;
      case 0x94: case 0x95: builder.set_attribute(Attribute::underline, c == 0x94); break;
      case 0x9C: case 0x9D: builder.set_attribute(Attribute::bold, c == 0x9D); break;
      case 0xB2: case 0xB3: builder.set_attribute(Attribute::italic, c == 0xB2); break;
      case 0xBC: case 0xB9: builder.set_attribute(Attribute::superscript, c == 0xBC); break;
      case 0xBD: case 0xB8: builder.set_attribute(Attribute::subscript, c == 0xBD); break;
      default: break;
    }
    ++at;
  }
  if (damaged) return {ReadStatus::damaged, "The document is damaged; what could be read was kept."};
  return {};
}

}  // namespace

bool looks_like_mac1(std::string_view bytes) {
  if (bytes.substr(0, 4) == "\xFE\xFF\x61\x61") return false;
  bool telling = false;
  for (std::size_t at = 0; at < bytes.size();) {
    unsigned c = byte_at(bytes, at);
    if (c == 0xFF) return false;
    if (c < 0xC0) {
      ++at;
      continue;
    }
    std::size_t size = mac1_group(bytes, at);
    if (size == 0) return false;
    switch (c) {
      case 0xC0: case 0xC2: case 0xC3: case 0xC4: case 0xC9: case 0xCC: case 0xCE: case 0xEC:
      case 0xF3:
        telling = true;  // 4.2 gives these groups other sizes
        break;
      default:
        if (kMac1Size[c - 0xC0] == 0) telling = true;  // 4.2 has no 32-bit lengths
        break;
    }
    at += size;
  }
  return telling;
}

ReadResult read_mac(DocumentBytes& input, const ReadOptions&, DocumentBuilder& builder) {
  std::string_view s = input.bytes();
  if (s.size() >= 16 && s.substr(0, 4) == "\xFFWPC") return Mac3Reader(input, builder).read();
  return read_mac1(input, builder);
}

}  // namespace quorrel::readers
