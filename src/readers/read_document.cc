#include "readers/read_document.h"

#include "readers/readers.h"

namespace quorrel::readers {

ReadResult read_document(DocumentBytes& input, Generation generation, const ReadOptions& options,
                         document::DocumentBuilder& builder) {
  switch (generation) {
    case Generation::plain:
      return read_plain(input, builder);
    case Generation::wp42:
      return read_wp42(input, options, builder);
    case Generation::wp5:
    case Generation::wp5_far_east:
      return read_wp5(input, options, builder);
    case Generation::wp6:
    case Generation::wp6_ole:
      return read_wp6(input, options, builder);
    case Generation::mac:
    case Generation::mac1:
      return read_mac(input, options, builder);
    case Generation::other_product:
      break;
  }
  return {ReadStatus::unsupported, "This is not a word-processing document."};
}

}  // namespace quorrel::readers
