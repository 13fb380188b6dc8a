#include "recognition/prefix.h"

namespace quorrel {

PrefixResult check_and_skip_prefix(ByteSource& in) {
  PrefixResult result;
  int magic = result.first_byte = in.get();
  int idhi = in.get();
  int idmid = in.get();
  int idlo = in.get();
  if (magic != kPrefixMagic || idhi != kPrefixIdHi || idmid != kPrefixIdMid ||
      idlo != kPrefixIdLo) {
    return result;
  }
  result.matched = true;
  int offsetlo = in.get();
  int offsethi = in.get();
  // Bytes 6 and 7 of the offset are never read: the reachable start is at most 65,535.
  // An end of file here gives -1s and so a negative count, which discards nothing.
  int offset = offsethi * 256 + offsetlo - kPrefixLength;
  if (offset > 0) {
    in.skip(static_cast<std::size_t>(offset - 1));
    result.last_discarded = in.get();
  }
  return result;
}

}  // namespace quorrel
