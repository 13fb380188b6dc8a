// WordPerfect 6.0 to X-series: the document area read by its structure. Notes, headers,
// comments and captions live in packets reached through the prefix's index; they are read
// where the code that refers to them stands, each packet at most once.
#include <cstdint>
#include <string>
#include <vector>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "document/charsets.h"
#include "io/scratch_file.h"
#include "readers/ole_file.h"
#include "readers/reader_support.h"
#include "readers/readers.h"

namespace quorrel::readers {
namespace {

using document::Align;
using document::Attribute;
using document::DocumentBuilder;
using document::SubDocument;

// Whole sizes of the fixed-length groups 0xF0-0xFE.
constexpr std::uint8_t kFixedSize[15] = {4, 5, 3, 3, 3, 3, 4, 4, 4, 5, 5, 6, 6, 8, 8};
constexpr std::size_t kIndexEntrySize = 14;
// Packets inside packets inside packets: real documents go two deep.
constexpr int kMaxPacketDepth = 8;
constexpr std::size_t kReleaseEvery = 1 << 16;
constexpr std::size_t kRunBuffer = 4096;
constexpr std::size_t kBlock = 16;  // bytes looked at together in a stretch of letters

constexpr std::uint8_t kTextPacket = 0x08;
constexpr std::uint8_t kCommentPacket = 0x1B;

struct Packet {
  std::uint8_t flags = 0;
  std::uint8_t type = 0;
  std::uint32_t size = 0;
  std::uint32_t offset = 0;
};

class Wp6Reader {
 public:
  Wp6Reader(DocumentBytes& input, DocumentBuilder& builder)
      : input_(input), bytes_(input.bytes()), builder_(builder), packet_budget_(bytes_.size()) {}

  ReadResult read() {
    if (bytes_.size() < 16 || bytes_.substr(0, 4) != "\xFFWPC") {
      read_area(0, bytes_.size(), true);  // no prefix: the whole file is the document area
      return result();
    }
    if (u16_at(bytes_, 12) != 0) {
      return {ReadStatus::password_protected, std::string(kPasswordProtectedMessage)};
    }
    read_index();
    std::size_t start = u32_at(bytes_, 4);
    if (start > bytes_.size()) {
      damage_.note(4, "a document area that starts past the end");
      start = bytes_.size();
    }
    read_area(start, bytes_.size(), true);
    return result();
  }

 private:
  // What stops text from being written; each is reset at the start of a packet's text.
  struct Quiet {
    int undo = 0;            // deleted text kept for undo
    bool skip = false;       // text to skip
    bool generated = false;  // generated text place holder
    bool number = false;     // a number display: the number at the time of saving
    bool note_mark = false;  // between a note's on and off codes: its mark in the body
    bool any() const { return undo > 0 || skip || generated || number || note_mark; }
  };

  ReadResult result() const { return damage_.result(); }

  void read_index() {
    std::size_t at = u16_at(bytes_, 14);
    if (at < 16) at = 16;
    if (at + kIndexEntrySize > bytes_.size()) return;
    std::size_t count = u16_at(bytes_, at + 2);
    // The count includes the header itself; entry n is packet id n.
    packets_.assign(1, Packet{});
    for (std::size_t id = 1; id < count; ++id) {
      std::size_t entry = at + id * kIndexEntrySize;
      if (entry + kIndexEntrySize > bytes_.size()) {
        damage_.note(entry, "an index that runs past the end");
        break;
      }
      Packet packet;
      packet.flags = static_cast<std::uint8_t>(byte_at(bytes_, entry));
      packet.type = static_cast<std::uint8_t>(byte_at(bytes_, entry + 1));
      packet.size = u32_at(bytes_, entry + 6);
      packet.offset = u32_at(bytes_, entry + 10);
      packets_.push_back(packet);
    }
    read_.assign(packets_.size(), false);
  }

  // The text blocks of packet `id`, read as a sub-document of `kind` (or into the one open).
  void read_packet(unsigned id, SubDocument kind) {
    if (id == 0 || id >= packets_.size() || read_[id] || depth_ >= kMaxPacketDepth) return;
    read_[id] = true;
    const Packet& packet = packets_[id];
    if (packet.offset > bytes_.size() || packet.size > bytes_.size() - packet.offset) {
      damage_.note(packet.offset, "a packet that runs past the end");
      return;
    }
    std::string_view data = bytes_.substr(packet.offset, packet.size);
    std::size_t at = 0;
    std::vector<unsigned> children;
    if (packet.flags & 1) {
      unsigned n = u16_at(data, 0);
      at = 2;
      for (unsigned i = 0; i < n && at + 2 <= data.size(); ++i, at += 2) {
        children.push_back(u16_at(data, at));
      }
    }
    if (packet.type == kCommentPacket) {
      for (unsigned child : children) read_packet(child, kind);
      return;
    }
    if (packet.type != kTextPacket && !(packet.flags & 2)) return;
    if (at + 6 > data.size()) return;
    unsigned blocks = u16_at(data, at);
    std::size_t text = u32_at(data, at + 2);
    std::size_t total = 0;
    for (unsigned i = 0; i < blocks && at + 10 + 4 * i <= data.size(); ++i) {
      total += u32_at(data, at + 6 + 4 * i);
    }
    if (text > data.size()) {
      damage_.note(packet.offset, "a text packet whose text lies outside it");
      return;
    }
    if (total > data.size() - text) {
      damage_.note(packet.offset, "a text packet shorter than its blocks");
      total = data.size() - text;
    }
    // Packets of a real document do not overlap; many index entries pointing at one region
    // would otherwise read it again for each.
    if (total > packet_budget_) {
      damage_.note(packet.offset, "packets that overlap");
      return;
    }
    packet_budget_ -= total;
    std::size_t begin = packet.offset + text;
    ++depth_;
    Quiet saved = quiet_;
    quiet_ = Quiet{};
    builder_.open_sub_document(kind);
    read_area(begin, begin + total, false);
    builder_.close_sub_document();
    quiet_ = saved;
    --depth_;
  }

  void emit(std::string_view utf8) {
    if (quiet_.any()) return;
    if (utf8.empty()) utf8 = " ";  // an unknown character
    builder_.text(utf8);
  }

  void read_area(std::size_t at, std::size_t end, bool body) {
    std::string_view s = bytes_;
    std::size_t released = at;
    while (at < end) {
      if (body && at - released >= kReleaseEvery) {
        input_.done_before(at);
        released = at;
      }
      unsigned c = static_cast<unsigned char>(s[at]);
      if ((c >= 0x21 && c <= 0x7E) || c == 0x80) {
        at = ascii_run(at, end);
      } else if (c == 0) {
        ++at;
      } else if (c <= 0x20) {
        emit(charsets::wp6_low(static_cast<int>(c)));
        ++at;
      } else if (c < 0xD0) {
        single_byte(c);
        ++at;
      } else if (c < 0xF0) {
        at = variable_group(at, end);
      } else {
        at = fixed_group(at, end);
      }
    }
  }

  // Letters and the space code 0x80 (most of a document) go to the builder in stretches, the
  // space code turned into a space on the way.
  std::size_t ascii_run(std::size_t at, std::size_t end) {
    const char* s = bytes_.data();
    char buffer[kRunBuffer];
    std::size_t n = 0;
    bool quiet = quiet_.any();
    while (at < end) {
      std::size_t taken = translate_block(s + at, end - at, buffer + n, kRunBuffer - n);
      if (taken == 0) {
        auto c = static_cast<unsigned char>(s[at]);
        if (c - 0x21u <= 0x7E - 0x21) {
          buffer[n++] = static_cast<char>(c);
        } else if (c == 0x80) {
          buffer[n++] = ' ';
        } else {
          break;
        }
        taken = 1;
      } else {
        n += taken;
      }
      at += taken;
      if (n + kBlock > kRunBuffer) {
        if (!quiet) builder_.printable_ascii(std::string_view(buffer, n));
        n = 0;
      }
    }
    if (n > 0 && !quiet) builder_.printable_ascii(std::string_view(buffer, n));
    return at;
  }

  // Copies a whole block of kBlock bytes when every one is a letter (0x21-0x7E) or the space
  // code, which becomes a space; returns the bytes taken, 0 when the block holds anything else.
  static std::size_t translate_block(const char* from, std::size_t available, char* to,
                                     std::size_t room) {
    if (available < kBlock || room < kBlock) return 0;
#ifdef __SSE2__
    __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    // Signed compares: 0x21-0x7E are the positive bytes above 0x20 and below 0x7F; 0x80 is -128.
    __m128i letter = _mm_and_si128(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(0x20)),
                                   _mm_cmplt_epi8(bytes, _mm_set1_epi8(0x7F)));
    __m128i space = _mm_cmpeq_epi8(bytes, _mm_set1_epi8(static_cast<char>(0x80)));
    if (_mm_movemask_epi8(_mm_or_si128(letter, space)) != 0xFFFF) return 0;
    // 0x80 XOR 0xA0 is 0x20.
    __m128i spaced = _mm_xor_si128(bytes, _mm_and_si128(space, _mm_set1_epi8(static_cast<char>(0xA0))));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to), spaced);
    return kBlock;
#else
    return 0;
#endif
  }

  void paragraph_break() {
    if (!quiet_.any()) builder_.paragraph_break();
  }
  void space() {
    if (!quiet_.any()) builder_.printable_ascii(' ');
  }

  // The end-of-line codes 0xB4-0xCF and the end-of-line group's subfunctions 0-28 mean the same.
  void end_of_line(unsigned code) {
    switch (code) {
      case 0xCD: case 0xCE: case 0xCF:
        space();  // the line wrapped
        break;
      case 0xBA: case 0xBB: case 0xBC:
        break;  // a wrap after an automatic hyphen: the word goes on
      case 0xCA: case 0xCB: case 0xCC: case 0xB7: case 0xB8: case 0xB9: case 0xC8: case 0xC9:
      case 0xB5: case 0xB6:
        paragraph_break();
        break;
      case 0xC7: case 0xB4:
        if (!quiet_.any()) builder_.page_break();
        break;
      case 0xC0: case 0xC1: case 0xC2: case 0xC3: case 0xC4: case 0xC5:
        builder_.open_row();
        builder_.open_cell();
        break;
      case 0xC6:
        builder_.open_cell();
        break;
      case 0xBD: case 0xBE: case 0xBF:
        builder_.close_table();
        break;
      default:
        break;
    }
  }

  void single_byte(unsigned c) {
    switch (c) {
      case 0x81:
        emit("\xC2\xA0");
        break;
      case 0x84:
        emit("-");
        break;
      case 0x87:
      case 0x89:
        paragraph_break();
        break;
      case 0x8A:
        quiet_.generated = true;
        break;
      case 0x8B:
        quiet_.generated = false;
        break;
      case 0x8D:
        quiet_.skip = true;
        break;
      case 0x8E:
        quiet_.skip = false;
        break;
      default:
        if (c >= 0xB4) end_of_line(c);
        break;  // soft hyphens and the other codes write nothing
    }
  }

  std::size_t fixed_group(std::size_t at, std::size_t end) {
    unsigned c = static_cast<unsigned char>(bytes_[at]);
    if (c == 0xFF) return at + 1;
    std::size_t size = kFixedSize[c - 0xF0];
    if (size > end - at || byte_at(bytes_, at + size - 1) != c) {
      damage_.note(at, "a fixed-size code that does not close");
      return at + 1;
    }
    unsigned a = byte_at(bytes_, at + 1), b = byte_at(bytes_, at + 2);
    switch (c) {
      case 0xF0:
        emit(charsets::wp6(static_cast<int>(b), static_cast<int>(a)));
        break;
      case 0xF1:
        if (a == 0) ++quiet_.undo;
        if (a == 1 && quiet_.undo > 0) --quiet_.undo;
        break;
      case 0xF2:
      case 0xF3:
        if (!(a & 0x80)) attribute(a & 0x3F, c == 0xF2);
        break;
      default:
        break;
    }
    return at + size;
  }

  void attribute(unsigned number, bool on) {
    Attribute attribute;
    switch (number) {
      case 5: attribute = Attribute::superscript; break;
      case 6: attribute = Attribute::subscript; break;
      case 8: attribute = Attribute::italic; break;
      case 11: case 14: attribute = Attribute::underline; break;
      case 12: attribute = Attribute::bold; break;
      case 13: attribute = Attribute::strikeout; break;
      case 15: attribute = Attribute::small_caps; break;
      default: return;
    }
    builder_.set_attribute(attribute, on);
  }

  std::size_t variable_group(std::size_t at, std::size_t end) {
    unsigned code = static_cast<unsigned char>(bytes_[at]);
    std::size_t size = u16_at(bytes_, at + 2);
    if (size < 8 || size > end - at || byte_at(bytes_, at + size - 1) != code ||
        u16_at(bytes_, at + size - 3) != size) {
      damage_.note(at, "a group whose length does not match");  // a lone code: go on
      return at + 1;
    }
    unsigned sub = byte_at(bytes_, at + 1);
    unsigned flags = byte_at(bytes_, at + 4);
    std::size_t data = at + 5;
    unsigned pids[4] = {0, 0, 0, 0};
    unsigned pid_count = 0;
    if (flags & 0x80) {
      unsigned n = byte_at(bytes_, data);
      for (unsigned i = 0; i < n && data + 3 + 2 * i <= at + size; ++i) {
        if (i < 4) pids[i] = u16_at(bytes_, data + 1 + 2 * i);
      }
      pid_count = n < 4 ? n : 4;
      data += 1 + 2 * std::size_t(n);
    }
    data += 2;  // the size of the non-deletable part
    unsigned first = data < at + size ? byte_at(bytes_, data) : 0;
    switch (code) {
      case 0xD0:
        if (sub <= 28) end_of_line(kEndOfLineCodes[sub]);
        break;
      case 0xD3:
        if (sub == 5 && data < at + size) justification(first);
        break;
      case 0xD4:
        if ((sub == 0x1D || sub == 0x46) && pid_count > 0) {
          if (!quiet_.any()) read_packet(pids[0], SubDocument::comment);
        }
        break;
      case 0xD6:
        if (sub <= 5 && pid_count > 0 && !quiet_.any()) {
          read_packet(pids[0], sub < 2 || sub > 3 ? SubDocument::header : SubDocument::footer);
        }
        break;
      case 0xD7:
        if ((sub == 0 || sub == 2) && pid_count > 0 && !quiet_.any()) {
          read_packet(pids[0], sub == 0 ? SubDocument::footnote : SubDocument::endnote);
          quiet_.note_mark = true;
        } else if (sub == 1 || sub == 3) {
          quiet_.note_mark = false;
        }
        break;
      case 0xDA:
        quiet_.number = (sub & 1) == 0;
        break;
      case 0xDF:
        if (sub <= 2 && !quiet_.any()) {
          for (unsigned i = 0; i < pid_count; ++i) {
            if (pids[i] < packets_.size() && packets_[pids[i]].type == kTextPacket) {
              read_packet(pids[i], SubDocument::text_box);
            }
          }
        }
        break;
      case 0xE0:
        tab(sub);
        break;
      default:
        break;
    }
    return at + size;
  }

  void justification(unsigned mode) {
    static constexpr Align kModes[] = {Align::left, Align::justify, Align::center, Align::right,
                                       Align::justify};
    if (mode < 5) builder_.set_justification(kModes[mode]);
  }

  void tab(unsigned definition) {
    if (quiet_.any()) return;
    switch (definition >> 3) {
      case 0x00:  // back tab: a hanging indent
        break;
      case 0x08:
      case 0x09:
        builder_.align_paragraph(Align::center);
        break;
      case 0x10:
        builder_.align_paragraph(Align::right);
        break;
      default:
        builder_.tab();
        break;
    }
  }

  // The end-of-line group's subfunctions 0-28 as the single-byte codes they stand for.
  static constexpr std::uint8_t kEndOfLineCodes[29] = {
      0x00, 0xCF, 0xCE, 0xCD, 0xCC, 0xCB, 0xCA, 0xC9, 0xC8, 0xC7,  // 0-9
      0xC6, 0xC5, 0xC4, 0xC3, 0xC2, 0xC1, 0xC0, 0xBF, 0xBE, 0xBD,  // 10-19
      0xBC, 0xBB, 0xBA, 0xB9, 0xB8, 0xB7, 0xB6, 0xB5, 0xB4};       // 20-28

  DocumentBytes& input_;
  std::string_view bytes_;
  DocumentBuilder& builder_;
  std::vector<Packet> packets_;
  std::vector<bool> read_;
  Quiet quiet_;
  std::size_t packet_budget_;  // bytes of packet text still allowed
  int depth_ = 0;
  Damage damage_;
};

}  // namespace

namespace {

// The document stream of a compound file as a document of its own. In one piece of the file
// (as a file written in one go holds it) it is read where it lies; in several it is gathered,
// in memory when small and in a temporary file when large, so that memory stays bounded.
class DocumentStream {
 public:
  OleStatus open(DocumentBytes& file) {
    const std::string_view bytes = file.bytes();
    std::size_t pieces = 0, size = 0;
    std::string_view first;
    OleStatus status = visit_ole_stream(bytes, kStreamName, [&](std::string_view piece) {
      if (pieces++ == 0) first = piece;
      size += piece.size();
    });
    if (status == OleStatus::not_found) return status;
    const bool in_file = first.data() >= bytes.data() &&
                         first.data() + first.size() <= bytes.data() + bytes.size();
    if (pieces <= 1 && in_file) {
      const auto offset = static_cast<std::size_t>(first.data() - bytes.data());
      // The allocation table and directory were read; only the stream is read again.
      file.done_with(0, offset);
      file.done_with(offset + first.size(), bytes.size() - offset - first.size());
      document_ = file.slice(offset, first.size());
    } else if (size < kGatherInMemoryBelow || !gather_in_file(file, size)) {
      copy_.reserve(size);
      visit_ole_stream(bytes, kStreamName, [&](std::string_view piece) { copy_.append(piece); });
      document_ = DocumentBytes::from_memory(copy_);
    }
    return status;
  }
  DocumentBytes& document() { return document_; }

 private:
  static constexpr std::string_view kStreamName = "PerfectOffice_MAIN";
  static constexpr std::size_t kGatherInMemoryBelow = 8 << 20;

  bool gather_in_file(DocumentBytes& file, std::size_t size) {
    if (!scratch_.create(system_temporary_folder())) return false;
    const std::string_view bytes = file.bytes();
    std::size_t written = 0;
    bool ok = true;
    visit_ole_stream(bytes, kStreamName, [&](std::string_view piece) {
      ok = ok && write_at(scratch_.descriptor(), piece, written);
      written += piece.size();
      file.done_with(static_cast<std::size_t>(piece.data() - bytes.data()), piece.size());
    });
    return ok && written == size && document_.map(scratch_.descriptor(), size);
  }


  DocumentBytes document_;
  std::string copy_;
  ScratchFile scratch_;
};

}  // namespace

ReadResult read_wp6(DocumentBytes& input, const ReadOptions&, document::DocumentBuilder& builder) {
  if (!is_ole_file(input.bytes())) return Wp6Reader(input, builder).read();
  DocumentStream stream;
  OleStatus status = stream.open(input);
  if (status == OleStatus::not_found) {
    return {ReadStatus::unsupported, "The compound file holds no WordPerfect document."};
  }
  ReadResult result = Wp6Reader(stream.document(), builder).read();
  if (status == OleStatus::damaged && result.status == ReadStatus::complete) {
    Damage broken;
    broken.note(0, "a compound file whose document stream breaks off");
    result = broken.result();
  }
  return result;
}

}  // namespace quorrel::readers
