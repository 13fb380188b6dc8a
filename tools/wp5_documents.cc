#include "wp5_documents.h"

#include <cstdint>
#include <string_view>

namespace quorrel::examples {

namespace {

class Random {
 public:
  explicit Random(unsigned seed) : state_(0x9E3779B97F4A7C15ull ^ seed) {}
  std::uint32_t next() {  // xorshift64*
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return static_cast<std::uint32_t>((state_ * 0x2545F4914F6CDD1Dull) >> 32);
  }
  unsigned below(unsigned n) { return next() % n; }
  bool one_in(unsigned n) { return below(n) == 0; }

 private:
  std::uint64_t state_;
};

class Writer {
 public:
  explicit Writer(unsigned seed) : random_(seed) {}

  std::string document(std::size_t bytes) {
    out_.assign("\xFF" "WPC\x10\0\0\0\x01\x0A\0\x01\0\0\0\0", 16);
    out_.reserve(bytes + 4096);
    header();
    while (out_.size() < bytes) {
      if (random_.one_in(40)) {
        table();
      } else if (random_.one_in(60)) {
        box();
      } else {
        paragraph();
      }
    }
    return std::move(out_);
  }

 private:
  void fixed(std::initializer_list<unsigned> bytes) {
    for (unsigned b : bytes) out_ += static_cast<char>(b);
  }

  // Variable group around `data` written by `body`.
  template <typename Body>
  void group(unsigned code, unsigned subcode, Body body) {
    const std::size_t start = out_.size();
    fixed({code, subcode, 0, 0});
    body();
    const std::size_t length = out_.size() - start;  // data + head = data + tail
    out_[start + 2] = static_cast<char>(length & 0xFF);
    out_[start + 3] = static_cast<char>((length >> 8) & 0xFF);
    fixed({static_cast<unsigned>(length & 0xFF), static_cast<unsigned>((length >> 8) & 0xFF),
           subcode, code});
  }

  void zeros(std::size_t n) { out_.append(n, '\0'); }

  void word() {
    static constexpr std::string_view kLetters = "etaoinshrdlucmfwypvbgkqjxz";
    const unsigned length = 2 + random_.below(8);
    for (unsigned i = 0; i < length; ++i) {
      // Common letters more often: the square of a uniform index leans to the front.
      const unsigned r = random_.below(26);
      out_ += kLetters[r * r / 26];
    }
  }

  void format_group() {  // D4: a format change of about 30 bytes, as real files hold
    group(0xD4, random_.below(3), [&] { zeros(24 + random_.below(8)); });
  }

  void set_character() {  // C0: a character of sets 1-8
    fixed({0xC0, 1 + random_.below(120), 1 + random_.below(8), 0xC0});
  }

  void tab() { fixed({0xC1, 0x02, 0x08, 0x07, 0x08, 0x07, 0x0F, 0x00, 0xC1}); }

  void line(unsigned words) {
    std::size_t since_wrap = 0;
    for (unsigned w = 0; w < words; ++w) {
      const std::size_t before = out_.size();
      word();
      since_wrap += out_.size() - before;
      if (random_.one_in(6)) set_character();
      if (random_.one_in(6)) format_group();
      if (random_.one_in(4)) tab();
      if (random_.one_in(60)) {
        const unsigned attribute = random_.one_in(2) ? 0x0C : 0x08;
        fixed({0xC3, attribute, 0xC3});
        word();
        fixed({0xC4, attribute, 0xC4});
      }
      if (random_.one_in(400)) footnote();
      if (since_wrap > 70) {
        out_ += '\r';
        since_wrap = 0;
      } else {
        out_ += ' ';
      }
    }
  }

  void paragraph() {
    if (random_.one_in(12)) fixed({0xC1, 0xE0, 0x55, 0x10, 0x61, 0x13, 0x23, 0x00, 0xC1});
    line(2 + random_.below(8));
    if (random_.one_in(20)) out_ += '\xA9';
    out_ += '\n';
  }

  void footnote() {
    group(0xD6, 0, [&] {
      fixed({0x00, 0x01, 0x00, 0x00});
      zeros(11);
      out_ += '\x8D';
      line(5 + random_.below(20));
    });
  }

  void header() {
    group(0xD5, 0, [&] {
      zeros(7);
      out_ += '\x01';
      zeros(10);
      line(4);
    });
  }

  void box() {
    group(0xDA, 2, [&] {
      zeros(117);
      line(3 + random_.below(10));
    });
  }

  void table() {
    const unsigned columns = 2 + random_.below(4);
    group(0xD2, 0x0B, [&] {
      zeros(2);
      fixed({0, 0});
      zeros(22);
      fixed({columns, 0});
      zeros(10 + 5 * columns);
    });
    const unsigned rows = 2 + random_.below(6);
    for (unsigned r = 0; r < rows; ++r) {
      if (r > 0) group(0xDC, 1, [&] { zeros(12); });
      for (unsigned c = 0; c < columns; ++c) {
        group(0xDC, 0, [&] { zeros(11); });
        line(1 + random_.below(4));
      }
    }
    group(0xDC, 2, [&] { zeros(13); });
  }

  Random random_;
  std::string out_;
};

}  // namespace

std::string make_wp5_document(std::size_t bytes, unsigned seed) {
  return Writer(seed).document(bytes);
}

}  // namespace quorrel::examples
