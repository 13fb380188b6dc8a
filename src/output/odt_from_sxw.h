// The exact reading's ODT: the SXW content document an exact converter writes, carried over
// into OpenDocument 1.3 as it streams in. Text and codes stay as they are, byte for byte,
// white space included (both formats read it alike); only the vocabulary changes: the 1.0
// namespaces become OASIS ones, a tab stop becomes text:tab, and the span styles, which the
// SXW content declares in the paragraph family where an office suite ignores them on spans,
// become text-family styles of the same names that show bold and italics.
//
// Use: the converter writes through a TextWriter into a SxwToOdt; then
//
//   odt::SxwToOdt odt(folder_of_output, input_name);
//   TextWriter out(odt);
//   converter.body(in, out, info);
//   out.flush();
//   OutputFile file;                       // the final name: input path + ".odt"
//   bool ok = !out.failed() && odt.finish() && file.create(path + ".odt") &&
//             odt::write_odt_package(file.descriptor(), odt.parts()) && file.commit();
//
// Only the vocabulary the exact converters write is accepted, so that the parts are well-formed
// whatever bytes arrive: anything else makes finish() false.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "output/odt_package.h"
#include "output/sink.h"

namespace quorrel::odt {

enum class SxwTag;
enum class Carried;

class SxwToOdt final : public Sink {
 public:
  // `spool_folder`: where a large body is held while written (the output's folder); `title`:
  // the input's name, for meta.xml.
  SxwToOdt(std::string spool_folder, std::string_view title);
  SxwToOdt(const SxwToOdt&) = delete;
  SxwToOdt& operator=(const SxwToOdt&) = delete;

  bool write(const char* data, std::size_t size) override;
  // True when the whole content document arrived, in the exact converters' vocabulary, and
  // everything is stored; parts() is then complete.
  bool finish() override;
  const OdtParts& parts() const { return parts_; }

 private:
  enum class State { prolog, between, paragraph, span, after_body, done, failed };

  bool fail() {
    state_ = State::failed;
    return false;
  }
  bool take_prolog(const char* data, std::size_t size);
  bool body(const char* data, std::size_t size);
  // A whole tag or reference, gathered in pending_.
  bool carry_whole(std::string_view token);
  // What becomes of a tag of the body in the state it arrives in; refused fails the output.
  Carried carry(SxwTag tag);
  void emit(std::string_view bytes) {
    out_.append(bytes);
    if (out_.size() >= kFlushAt) flush();
  }
  void flush();

  static constexpr std::size_t kFlushAt = 256 * 1024;

  State state_ = State::prolog;
  std::string pending_;  // a prolog, or a tag or reference split between writes
  std::string out_;
  Spool body_;
  std::string content_head_;
  std::string meta_;
  OdtParts parts_;
};

}  // namespace quorrel::odt
