#include "reused_writer.h"

#include "io/sink.h"
#include "recognition/prefix.h"

namespace quorrel::fuzz {

namespace {

// Appends to the string of the conversion under way.
class StringTarget final : public Sink {
 public:
  bool write(const char* data, std::size_t size) override {
    target->append(data, size);
    return true;
  }
  std::string* target = nullptr;
};

}  // namespace

ConvertStatus convert_reusing_writer(const ConverterSpec& converter, std::string_view input,
                                     std::string_view title, std::string& output) {
  static StringTarget sink;
  static TextWriter out(sink);
  output.clear();
  ByteSource in = ByteSource::from_memory(input);
  if (converter.prefix != PrefixRule::none && !check_and_skip_prefix(in).matched) {
    return ConvertStatus::prefix_mismatch;
  }
  sink.target = &output;
  converter.body(in, out, DocumentInfo{title});
  out.flush();
  sink.target = nullptr;
  return ConvertStatus::ok;
}

}  // namespace quorrel::fuzz
