// Readers still to come: until then such documents are reported, never converted wrongly.
#include "readers/read_document.h"
#include "readers/readers.h"

namespace quorrel::readers {

namespace {
ReadResult not_yet() { return {ReadStatus::unsupported, "This generation cannot be read yet."}; }
}  // namespace

ReadResult read_wp6(DocumentBytes&, const ReadOptions&, document::DocumentBuilder&) {
  return not_yet();
}
ReadResult read_mac(DocumentBytes&, const ReadOptions&, document::DocumentBuilder&) {
  return not_yet();
}

}  // namespace quorrel::readers
