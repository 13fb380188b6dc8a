#include "corpus_reading.h"

#include <locale.h>
#include <wctype.h>

#include <cstdio>
#include <regex>

#include "document/builder.h"
#include "document/document_sink.h"
#include "io/document_bytes.h"
#include "readers/read_document.h"
#include "test_support.h"

namespace quorrel::testing {

namespace {

class TextCollector final : public document::DocumentSink {
 public:
  std::string out;

  void open_paragraph(document::Align) override {}
  void close_paragraph() override { out += '\n'; }
  void text(std::string_view utf8, document::Attributes) override { out += utf8; }
  void tab() override { out += ' '; }
  void line_break() override { out += '\n'; }
  void page_break() override { out += '\n'; }
  void open_sub_document(document::SubDocument) override { out += '\n'; }
  void close_sub_document() override { out += '\n'; }
  void open_table(int) override {}
  void open_row() override {}
  void open_cell() override {}
  void close_cell() override { out += ' '; }
  void close_row() override { out += '\n'; }
  void close_table() override {}
  void end_document() override {}
};

// The output of a shell command, or nothing when it fails.
std::optional<std::string> command_output(const std::string& command) {
  FILE* pipe = ::popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string out;
  char buffer[65536];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  if (::pclose(pipe) != 0) return std::nullopt;
  return out;
}

std::string quoted(const std::string& word) {
  std::string out = "'";
  for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

bool installed(const char* program) {
  return command_output(std::string("command -v ") + program + " >/dev/null 2>&1").has_value();
}

char32_t next_code_point(std::string_view text, std::size_t& i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  char32_t cp = length == 1 ? lead : lead & (0x3F >> (length - 1));
  ++i;
  for (int k = 1; k < length && i < text.size(); ++k, ++i) {
    cp = (cp << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
  }
  return cp;
}

}  // namespace

ReadText read_as_text(const std::string& path, const std::string& password) {
  ReadText out;
  DocumentBytes input;
  std::string reason;
  if (!input.open(path, reason)) {
    out.result = {readers::ReadStatus::damaged, reason};
    return out;
  }
  out.generation = readers::detect_generation(input.bytes());
  readers::ReadOptions options;
  options.has_password = !password.empty();
  options.password = password;
  TextCollector collector;
  document::DocumentBuilder builder(collector);
  out.result = readers::read_document(input, out.generation, options, builder);
  builder.finish();
  out.text = std::move(collector.out);
  return out;
}

Words words_of(std::string_view utf8) {
  static const locale_t unicode = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  Words words;
  std::string word;
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = next_code_point(utf8, i);
    const auto wide = static_cast<wint_t>(cp);
    if (cp != U'_' && ::iswalnum_l(wide, unicode)) {
      std::string lower;
      const char32_t folded = static_cast<char32_t>(::towlower_l(wide, unicode));
      // Re-encode; the words are compared, never shown.
      if (folded < 0x80) {
        lower = static_cast<char>(folded);
      } else if (folded < 0x800) {
        lower = {static_cast<char>(0xC0 | (folded >> 6)), static_cast<char>(0x80 | (folded & 0x3F))};
      } else if (folded < 0x10000) {
        lower = {static_cast<char>(0xE0 | (folded >> 12)),
                 static_cast<char>(0x80 | ((folded >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (folded & 0x3F))};
      } else {
        lower = {static_cast<char>(0xF0 | (folded >> 18)),
                 static_cast<char>(0x80 | ((folded >> 12) & 0x3F)),
                 static_cast<char>(0x80 | ((folded >> 6) & 0x3F)),
                 static_cast<char>(0x80 | (folded & 0x3F))};
      }
      word += lower;
    } else if (!word.empty()) {
      ++words[word];
      word.clear();
    }
  }
  if (!word.empty()) ++words[word];
  return words;
}

long count(const Words& words) {
  long total = 0;
  for (const auto& [word, n] : words) total += n;
  return total;
}

long shared(const Words& a, const Words& b) {
  long total = 0;
  for (const auto& [word, n] : a) {
    auto found = b.find(word);
    if (found != b.end()) total += std::min(n, found->second);
  }
  return total;
}

Words united(const Words& a, const Words& b) {
  Words out = a;
  for (const auto& [word, n] : b) out[word] = std::max(out[word], n);
  return out;
}

std::optional<std::string> wpd2text(const std::string& path, const std::string& password) {
  if (!installed("wpd2text")) return std::nullopt;
  std::string command = "wpd2text ";
  if (!password.empty()) command += "--password " + quoted(password) + " ";
  return command_output(command + quoted(path) + " 2>/dev/null");
}

std::optional<std::string> wp2latex(const std::string& path, bool without_math) {
  if (!installed("wp2latex")) return std::nullopt;
  // wp2latex writes beside its input, so it works on a copy.
  TempDir scratch;
  write_file(scratch.file("in.wp"), read_file(path));
  if (!command_output("cd " + quoted(scratch.path().string()) +
                      " && timeout 15 wp2latex in.wp out.tex -cp-UTF8 </dev/null >/dev/null 2>&1")) {
    return std::nullopt;
  }
  std::string tex = read_file(scratch.file("out.tex"));
  // The markup stripping of the project's fidelity script, a little stricter: environment
  // arguments on the next line (a table's column letters), labels and language names go too.
  const std::size_t begin = tex.find("\\begin{document}");
  const std::size_t end = tex.rfind("\\end{document}");
  if (begin != std::string::npos && end != std::string::npos && end > begin) {
    tex = tex.substr(begin + 16, end - begin - 16);
  }
  tex = std::regex_replace(tex, std::regex(R"((^|[^\\])%[^\n]*)"), "$1");
  if (without_math) tex = std::regex_replace(tex, std::regex(R"(\$[^$]*\$)"), " ");
  tex = std::regex_replace(tex, std::regex(R"(\\(begin|end)\{[^}]*\}(\s*\{[^}]*\})?)"), "");
  tex = std::regex_replace(tex, std::regex(R"(\\(label|selectlanguage)\{[^}]*\})"), "");
  tex = std::regex_replace(tex, std::regex(R"(-?\d+(\.\d+)?(cm|mm|em|ex|pt|in)\b)"), "");
  tex = std::regex_replace(tex, std::regex(R"(\\[a-zA-Z@]+\*?)"), " ");
  tex = std::regex_replace(tex, std::regex(R"(\\.)"), "");
  tex = std::regex_replace(tex, std::regex(R"([{}])"), "");
  return tex;
}

}  // namespace quorrel::testing
