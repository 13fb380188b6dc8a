// WordPerfect 4.2 (and earlier): text in 7-bit ASCII, characters past it as `E1 c E1` in code
// page 437, one-byte codes 0x80-0xBF and groups 0xC0-0xFE that open and close with their code
// (wp42_groups.h). Notes, headers, footers and comments are groups holding text.
#include <cstring>
#include <optional>
#include <string>

#include "document/charsets.h"
#include "readers/reader_support.h"
#include "readers/readers.h"
#include "readers/wp42_groups.h"
#include "readers/wp_crypt.h"

namespace quorrel::readers {

namespace {

using document::Align;
using document::Attribute;
using document::SubDocument;

constexpr std::string_view kEncryptedMagic("\xFE\xFF\x61\x61", 4);
constexpr std::size_t kEncryptedHeader = 6;  // magic and the password's check value
constexpr int kMaxDepth = 2;                 // a note inside a note is still read, no deeper

class Wp42Reader {
 public:
  // `input` is null when `bytes` is a decrypted copy in memory.
  Wp42Reader(std::string_view bytes, DocumentBytes* input, document::DocumentBuilder& builder)
      : bytes_(bytes), input_(input), builder_(builder) {}

  ReadResult read() {
    read_text(0, bytes_.size(), 0);
    if (input_ != nullptr && input_->lost()) damage_.stop(bytes_.size(), "the file ends early");
    return damage_.result();
  }

 private:
  unsigned at(std::size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

  void read_text(std::size_t begin, std::size_t end, int depth) {
    std::size_t i = begin;
    while (i < end) {
      const std::size_t run = printable_run_end(bytes_, i, end);
      if (run > i) {
        ascii(bytes_.substr(i, run - i));
        i = run;
        if (depth == 0 && input_ != nullptr) input_->done_before(i);
        continue;
      }
      const unsigned code = at(i);
      if (code < 0xC0) {
        if (code < 0x20) {
          control(code);
        } else if (code >= 0x80) {
          single_code(code);
        }
        ++i;
        continue;
      }
      if (code == 0xFF) {  // only ever inside groups
        ++i;
        continue;
      }
      std::size_t group_end;
      if (const int size = wp42::group_size(code); size > 0) {
        group_end = i + static_cast<std::size_t>(size);
        if (group_end > end || at(group_end - 1) != code) {
          damage_.note(i, "a code that does not close");
          ++i;
          continue;
        }
      } else {
        const void* close = std::memchr(bytes_.data() + i + 1, static_cast<int>(code), end - i - 1);
        if (close == nullptr) {
          damage_.note(i, "a code that does not close");
          ++i;
          continue;
        }
        group_end = static_cast<std::size_t>(static_cast<const char*>(close) - bytes_.data()) + 1;
      }
      group(code, i, group_end, depth);
      i = group_end;
      if (depth == 0 && input_ != nullptr) input_->done_before(i);
    }
  }

  void ascii(std::string_view run) {
    if (script_) {  // superscript and subscript hold for one character
      builder_.set_attribute(*script_, true);
      builder_.printable_ascii(run[0]);
      builder_.set_attribute(*script_, false);
      script_.reset();
      run.remove_prefix(1);
    }
    builder_.printable_ascii(run);
    line_has_text_ = true;
  }

  void character(std::string_view utf8) {
    if (script_) builder_.set_attribute(*script_, true);
    builder_.text(utf8.empty() ? std::string_view(" ") : utf8);
    if (script_) builder_.set_attribute(*script_, false);
    script_.reset();
    line_has_text_ = true;
  }

  void end_paragraph() {
    builder_.paragraph_break();
    line_has_text_ = false;
  }

  void control(unsigned code) {
    switch (code) {
      case 0x09:
        builder_.tab();
        line_has_text_ = true;
        break;
      case 0x0A:
        end_paragraph();
        break;
      case 0x0B:  // soft page: the space where the page wrapped
      case 0x0D:  // soft return: the space where the line wrapped
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
      case 0xAF:  // end of a text column and of the line
      case 0xB0:  // and of the page
        end_paragraph();
        break;
      case 0x92: builder_.set_attribute(Attribute::strikeout, true); break;
      case 0x93: builder_.set_attribute(Attribute::strikeout, false); break;
      case 0x94: builder_.set_attribute(Attribute::underline, true); break;
      case 0x95: builder_.set_attribute(Attribute::underline, false); break;
      case 0x9C: builder_.set_attribute(Attribute::bold, false); break;
      case 0x9D: builder_.set_attribute(Attribute::bold, true); break;
      case 0xB2: builder_.set_attribute(Attribute::italic, true); break;
      case 0xB3: builder_.set_attribute(Attribute::italic, false); break;
      case 0xBC: script_ = Attribute::superscript; break;
      case 0xBD: script_ = Attribute::subscript; break;
      case 0xA0: character("\u00A0"); break;
      case 0xA9:  // hard hyphens
      case 0xAA:
      case 0xAB:
        character("-");
        break;
      default:  // soft hyphens, math, columns, the note number inside a note: nothing to show
        break;
    }
  }

  // Centring and flush right apply to a line that starts with them; further on the line they
  // act as a tab.
  void align_or_tab(Align align) {
    if (!line_has_text_) {
      builder_.align_paragraph(align);
    } else {
      builder_.tab();
    }
  }

  void group(unsigned code, std::size_t begin, std::size_t end, int depth) {
    switch (code) {
      case 0xC3:
        align_or_tab(Align::center);
        break;
      case 0xC4:  // align character a line feed: flush right; else a decimal tab
        if ((at(begin + 1) & 0x7F) == 0x0A) {
          align_or_tab(Align::right);
        } else {
          builder_.tab();
          line_has_text_ = true;
        }
        break;
      case 0xE1:
        character(charsets::cp437(static_cast<int>(at(begin + 1))));
        break;
      case 0xD1: {  // header or footer: ... FF FF lmar rmar text FF lines def D1
        if (end - begin < 11 || at(begin + 3) != 0xFF || at(begin + 4) != 0xFF ||
            at(end - 4) != 0xFF) {
          break;
        }
        const bool header = (at(end - 2) & 3) < 2;
        sub_document(header ? SubDocument::header : SubDocument::footer, begin + 7, end - 4,
                     depth);
        break;
      }
      case 0xD2:  // footnote of 2.2-3.0: number, lines, FF lmar rmar text
        if (end - begin >= 7 && at(begin + 3) == 0xFF) {
          sub_document(SubDocument::footnote, begin + 6, end - 1, depth);
        }
        break;
      case 0xE2: {  // note: def, number, lines, lines per page..., pages, FF lmar rmar text
        const void* mark = begin + 6 < end ? std::memchr(bytes_.data() + begin + 6, 0xFF,
                                                         end - begin - 6)
                                           : nullptr;
        if (mark == nullptr) break;
        const auto text = static_cast<std::size_t>(static_cast<const char*>(mark) -
                                                   bytes_.data()) + 3;
        if (text >= end) break;
        const bool endnote = (at(begin + 1) & 2) != 0;
        sub_document(endnote ? SubDocument::endnote : SubDocument::footnote, text, end - 1,
                     depth);
        break;
      }
      case 0xF2:  // comment, or the document summary (bit 0), which is no text of the page
        if (end - begin > 6 && (at(begin + 1) & 1) == 0) {
          sub_document(SubDocument::comment, begin + 5, end - 1, depth);
        }
        break;
      default:  // formatting: margins, tabs, fonts, definitions
        break;
    }
  }

  void sub_document(SubDocument kind, std::size_t begin, std::size_t end, int depth) {
    if (begin >= end || depth >= kMaxDepth) return;
    const bool line_had_text = line_has_text_;
    const std::optional<Attribute> script = script_;
    script_.reset();
    line_has_text_ = false;
    builder_.open_sub_document(kind);
    read_text(begin, end, depth + 1);
    builder_.close_sub_document();
    line_has_text_ = line_had_text;
    script_ = script;
  }

  std::string_view bytes_;
  DocumentBytes* input_;
  document::DocumentBuilder& builder_;
  Damage damage_;
  bool line_has_text_ = false;
  std::optional<Attribute> script_;  // for the next character only
};

}  // namespace

ReadResult read_wp42(DocumentBytes& input, const ReadOptions& options,
                     document::DocumentBuilder& builder) {
  const std::string_view bytes = input.bytes();
  if (bytes.size() >= kEncryptedHeader && bytes.substr(0, 4) == kEncryptedMagic) {
    if (!options.has_password) {
      return {ReadStatus::password_protected, std::string(kPasswordProtectedMessage)};
    }
    const std::string password = wp_crypt::normalize(options.password);
    if (wp_crypt::check_value(password) != u16_at(bytes, 4)) {
      return {ReadStatus::wrong_password, std::string(kWrongPasswordMessage)};
    }
    // Decrypted into memory: protected documents are small, and the reader then needs no
    // decrypting view of the mapped file.
    std::string plain(bytes.substr(kEncryptedHeader));
    wp_crypt::apply(plain, 0, password);
    return Wp42Reader(plain, nullptr, builder).read();
  }
  return Wp42Reader(bytes, &input, builder).read();
}

}  // namespace quorrel::readers
