// WordPerfect 5.0-5.2: after the 16-byte prefix and its packets, the document area holds ASCII
// text, one-byte codes 0x80-0xBF, fixed-size groups 0xC0-0xCF and variable groups 0xD0-0xFE
// that carry their length at both ends. Notes, headers, footers, comments and boxes are
// groups whose text is read where it is anchored; table cells stay in the main text between
// table markers.
#include <string>

#include "document/charsets.h"
#include "readers/reader_support.h"
#include "readers/readers.h"
#include "readers/wp_crypt.h"

namespace quorrel::readers {

namespace {

using document::Align;
using document::Attribute;
using document::SubDocument;

constexpr std::size_t kPrefixSize = 16;
constexpr unsigned kFarEastDocument = 58;
constexpr int kMaxDepth = 2;  // a note inside a box is still read, no deeper

// Whole sizes of the fixed groups 0xC0-0xCF, the code at both ends.
constexpr unsigned char kFixedSizes[16] = {4, 9, 11, 3, 3, 5, 6, 7, 4, 5, 6, 6, 8, 10, 10, 12};

// Variable groups: code, subcode, 16-bit length, data, 16-bit length, subcode, code.
constexpr std::size_t kVariableHead = 4, kVariableTail = 4;

// Offsets inside variable groups, from the group's first byte.
constexpr std::size_t kHeaderOccurrence = 11, kHeaderText = 22;
constexpr std::size_t kCommentText = 7;
constexpr std::size_t kBoxText = 121;  // caption, then a text box's own text

class Wp5Reader {
 public:
  // `input` is null when `bytes` is a decrypted copy in memory.
  Wp5Reader(std::string_view bytes, DocumentBytes* input, document::DocumentBuilder& builder,
            bool far_east)
      : bytes_(bytes), input_(input), builder_(builder), far_east_(far_east) {}

  ReadResult read(std::size_t begin) {
    read_text(begin, bytes_.size(), 0);
    if (input_ != nullptr && input_->lost()) damage_.stop(bytes_.size(), "the file ends early");
    return damage_.result();
  }

 private:
  unsigned at(std::size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

  void read_text(std::size_t begin, std::size_t end, int depth) {
    std::size_t i = begin;
    while (i < end) {
      if (!far_east_) {
        const std::size_t run = printable_run_end(bytes_, i, end);
        if (run > i) {
          builder_.printable_ascii(bytes_.substr(i, run - i));
          line_has_text_ = true;
          i = run;
          if (depth == 0 && input_ != nullptr) input_->done_before(i);
          continue;
        }
      } else if (at(i) >= 0x20 && at(i) < 0x7F) {
        i = far_east_character(i, end);
        continue;
      }
      const unsigned code = at(i);
      if (code < 0x20) {
        control(code);
        ++i;
        continue;
      }
      if (code < 0xC0 || code == 0xFF) {
        single_code(code);
        ++i;
        continue;
      }
      const std::size_t group_end = code < 0xD0 ? fixed_end(code, i, end)
                                                : variable_end(code, i, end);
      if (group_end == 0) {
        // Treated as a lone code: reading on from the next byte finds the next whole group.
        damage_.note(i, code < 0xD0 ? "a fixed-size code that does not close"
                                    : "a code whose length does not match its end");
        ++i;
        continue;
      }
      if (code < 0xD0) {
        fixed_group(code, i);
      } else {
        variable_group(code, i, group_end, depth);
      }
      i = group_end;
      if (depth == 0 && input_ != nullptr) input_->done_before(i);
    }
  }

  // 0 when the group does not close where its size says.
  std::size_t fixed_end(unsigned code, std::size_t i, std::size_t end) const {
    const std::size_t group_end = i + kFixedSizes[code - 0xC0];
    return group_end <= end && at(group_end - 1) == code ? group_end : 0;
  }

  std::size_t variable_end(unsigned code, std::size_t i, std::size_t end) const {
    if (end - i < kVariableHead + kVariableTail) return 0;
    const unsigned length = u16_at(bytes_, i + 2);
    const std::size_t group_end = i + kVariableHead + length;
    if (length < kVariableTail || group_end > end) return 0;
    if (at(group_end - 1) != code || at(group_end - 2) != at(i + 1) ||
        u16_at(bytes_, group_end - 4) != length) {
      return 0;
    }
    return group_end;
  }

  // 5.1 Far East: a Latin character is the pair 21 xx; pairs with other first bytes are
  // characters of the Asian sets, for which there is no table: a space stands for them.
  std::size_t far_east_character(std::size_t i, std::size_t end) {
    const unsigned lead = at(i);
    if (lead == 0x20) {
      builder_.printable_ascii(' ');
      return i + 1;
    }
    if (i + 1 >= end) {
      damage_.note(i, "half a character");
      return end;
    }
    const unsigned trail = at(i + 1);
    builder_.printable_ascii(lead == 0x21 && trail >= 0x20 && trail < 0x7F
                                 ? static_cast<char>(trail)
                                 : ' ');
    line_has_text_ = true;
    return i + 2;
  }

  void end_paragraph() {
    builder_.paragraph_break();
    line_has_text_ = false;
  }

  void tab() {
    builder_.tab();
    line_has_text_ = true;
  }

  void text(std::string_view utf8) {
    builder_.text(utf8.empty() ? std::string_view(" ") : utf8);
    line_has_text_ = true;
  }

  void control(unsigned code) {
    switch (code) {
      case 0x09:
        tab();
        break;
      case 0x0A:
        end_paragraph();
        break;
      case 0x0B:  // soft page and soft return: the space where the line wrapped
      case 0x0D:
        builder_.printable_ascii(' ');
        break;
      case 0x0C:
        builder_.page_break();
        line_has_text_ = false;
        break;
      default:
        break;
    }
  }

  void single_code(unsigned code) {
    switch (code) {
      case 0x8C:  // hard return that also ends a page
      case 0x99:  // hard return kept dormant at the top of a page
        end_paragraph();
        break;
      case 0x90:  // deletable return at the end of a line
      case 0x93:  // invisible returns
      case 0x94:
      case 0x95:
        builder_.printable_ascii(' ');
        break;
      case 0xA0:
        text("\u00A0");
        break;
      case 0xA9:  // hard hyphens
      case 0xAA:
      case 0xAB:
        text("-");
        break;
      default:  // soft hyphens, note and box numbers, ends of centring: nothing to show
        break;
    }
  }

  // Centring and flush right apply to a line that starts with them; further on the line they
  // act as a tab.
  void align_or_tab(Align align) {
    if (line_has_text_) {
      tab();
    } else {
      builder_.align_paragraph(align);
    }
  }

  void attribute(unsigned which, bool on) {
    static constexpr signed char kAttributes[16] = {
        -1, -1, -1, -1, -1,  // sizes
        static_cast<signed char>(Attribute::superscript),
        static_cast<signed char>(Attribute::subscript),
        -1,  // outline
        static_cast<signed char>(Attribute::italic),
        -1, -1,  // shadow, redline
        static_cast<signed char>(Attribute::underline),  // double underline
        static_cast<signed char>(Attribute::bold),
        static_cast<signed char>(Attribute::strikeout),
        static_cast<signed char>(Attribute::underline),
        static_cast<signed char>(Attribute::small_caps),
    };
    if (which < 16 && kAttributes[which] >= 0) {
      builder_.set_attribute(static_cast<Attribute>(kAttributes[which]), on);
    }
  }

  void fixed_group(unsigned code, std::size_t i) {
    switch (code) {
      case 0xC0:  // character, then its set
        text(charsets::wp5(static_cast<int>(at(i + 2)), static_cast<int>(at(i + 1))));
        break;
      case 0xC1: {  // tab; its top bits make it a centring or a flush right
        const unsigned kind = at(i + 1) & 0xC0;
        if (kind == 0xC0) {
          align_or_tab(Align::center);
        } else if (kind == 0x40) {
          align_or_tab(Align::right);
        } else {
          tab();
        }
        break;
      }
      case 0xC2:  // indent
        tab();
        break;
      case 0xC3:
      case 0xC4:
        attribute(at(i + 1), code == 0xC3);
        break;
      default:
        break;
    }
  }

  void variable_group(unsigned code, std::size_t i, std::size_t end, int depth) {
    const unsigned subcode = at(i + 1);
    const std::size_t data_end = end - kVariableTail;
    switch (code) {
      case 0xD0:
        if (subcode == 6) set_justification(at(i + kVariableHead + 1));
        break;
      case 0xD2:
        if (subcode == 0x0B) builder_.open_table(table_columns(i, data_end));
        break;
      case 0xD5:  // header A, header B, footer A, footer B; discontinued when never shown
        if (at(i + kHeaderOccurrence) != 0 && i + kHeaderText < data_end) {
          sub_document(subcode < 2 ? SubDocument::header : SubDocument::footer,
                       i + kHeaderText, data_end, depth);
        }
        break;
      case 0xD6:
        note(subcode, i, data_end, depth);
        break;
      case 0xD9:
        if (subcode == 2 && i + kCommentText < data_end) {
          sub_document(SubDocument::comment, i + kCommentText, data_end, depth);
        }
        break;
      case 0xDA:  // figure, table, text, user and equation boxes; lines have no text. An
                  // equation's source (a DF group inside) is markup, not text: skipped.
        if (subcode <= 4 && i + kBoxText < data_end) {
          sub_document(SubDocument::text_box, i + kBoxText, data_end, depth);
        }
        break;
      case 0xDC:  // table markers where a line ends: cell, row, table off
      case 0xDD:  // where a page ends: row, table off, row after a hard page
        if (subcode == 0 && code == 0xDC) {
          builder_.open_cell();
        } else if (subcode == 1 || subcode == 3) {
          builder_.open_row();
        } else if (subcode == 2) {
          builder_.close_table();
        }
        line_has_text_ = false;
        break;
      default:  // formatting, fonts, definitions, cross-reference targets, numbering
        break;
    }
  }

  void set_justification(unsigned value) {
    static constexpr Align kAligns[4] = {Align::left, Align::justify, Align::center,
                                         Align::right};
    if (value < 4) builder_.set_justification(kAligns[value]);
  }

  // Define-table group: old column count, old definitions (5 bytes a column), then the new
  // flags and count. 0 when unknown.
  int table_columns(std::size_t i, std::size_t data_end) const {
    const std::size_t data = i + kVariableHead;
    if (data + 4 > data_end) return 0;
    const std::size_t old_columns = u16_at(bytes_, data + 2);
    const std::size_t at_new = data + 4 + 20 + 5 * old_columns + 2;
    if (at_new + 2 > data_end) return 0;
    const unsigned columns = u16_at(bytes_, at_new);
    return columns <= 32 ? static_cast<int>(columns) : 0;
  }

  // Footnote (0) and endnote (1): flags, number, then for a footnote a page count n and
  // 2 (n + 1) + 9 bytes, for an endnote 4 bytes, then the text.
  void note(unsigned subcode, std::size_t i, std::size_t data_end, int depth) {
    if (subcode > 1) return;
    std::size_t text = i + kVariableHead + 3;
    if (subcode == 0) {
      if (text >= data_end) return;
      text += 1 + 2 * (static_cast<std::size_t>(at(text)) + 1) + 9;
    } else {
      text += 4;
    }
    if (text < data_end) {
      sub_document(subcode == 0 ? SubDocument::footnote : SubDocument::endnote, text, data_end,
                   depth);
    }
  }

  void sub_document(SubDocument kind, std::size_t begin, std::size_t end, int depth) {
    if (begin >= end || depth >= kMaxDepth) return;
    const bool line_had_text = line_has_text_;
    line_has_text_ = false;
    builder_.open_sub_document(kind);
    read_text(begin, end, depth + 1);
    builder_.close_sub_document();
    line_has_text_ = line_had_text;
  }

  std::string_view bytes_;
  DocumentBytes* input_;
  document::DocumentBuilder& builder_;
  const bool far_east_;
  Damage damage_;
  bool line_has_text_ = false;
};

}  // namespace

ReadResult read_wp5(DocumentBytes& input, const ReadOptions& options,
                    document::DocumentBuilder& builder) {
  const std::string_view bytes = input.bytes();
  if (bytes.size() < kPrefixSize || bytes.substr(0, 4) != "\xFF" "WPC") {
    return Wp5Reader(bytes, &input, builder, false).read(0);
  }
  const bool far_east = byte_at(bytes, 9) == kFarEastDocument;
  const std::size_t area = u32_at(bytes, 4);
  if (area > bytes.size()) {
    Damage damage;
    damage.stop(4, "the document area starts past the end of the file");
    return damage.result();
  }
  const std::size_t begin = area < kPrefixSize ? kPrefixSize : area;
  // The prefix keeps the password's check value byte-swapped.
  const unsigned check = (byte_at(bytes, 12) << 8) | byte_at(bytes, 13);
  if (check == 0) return Wp5Reader(bytes, &input, builder, far_east).read(begin);

  if (!options.has_password) {
    return {ReadStatus::password_protected, std::string(kPasswordProtectedMessage)};
  }
  const std::string password = wp_crypt::normalize(options.password);
  if (wp_crypt::check_value(password) != check) {
    return {ReadStatus::wrong_password, std::string(kWrongPasswordMessage)};
  }
  // Decrypted into memory: protected documents are small, and the reader then needs no
  // decrypting view of the mapped file.
  std::string plain(bytes);
  wp_crypt::apply(plain, kPrefixSize, password);
  return Wp5Reader(plain, nullptr, builder, far_east).read(begin);
}

}  // namespace quorrel::readers
