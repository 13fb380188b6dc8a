// Readers still to come: until then such documents are reported, never converted wrongly.
#include "readers/read_document.h"
#include "readers/readers.h"

namespace quorrel::readers {

namespace {
ReadResult not_yet() { return {ReadStatus::unsupported, "This generation cannot be read yet."}; }
}  // namespace

Generation detect_generation(std::string_view) { return Generation::plain; }
std::string_view generation_name(Generation) { return "unknown"; }
ReadResult read_plain(DocumentBytes&, document::DocumentBuilder&) { return not_yet(); }
ReadResult read_wp42(DocumentBytes&, const ReadOptions&, document::DocumentBuilder&) {
  return not_yet();
}
ReadResult read_wp5(DocumentBytes&, const ReadOptions&, document::DocumentBuilder&) {
  return not_yet();
}

}  // namespace quorrel::readers
