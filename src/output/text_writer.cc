#include "output/text_writer.h"

namespace quorrel {

void TextWriter::repeat(char c, std::size_t count) {
  while (count > 0) {
    if (used_ == kCapacity) flush();
    std::size_t step = kCapacity - used_ < count ? kCapacity - used_ : count;
    std::memset(buffer_.get() + used_, c, step);
    used_ += step;
    count -= step;
  }
}

void TextWriter::flush() {
  if (used_ == 0) return;
  // After a failure nothing more is attempted: the output is discarded anyway.
  if (!failed_ && !sink_.take(buffer_, used_, kCapacity)) failed_ = true;
  used_ = 0;
}

void TextWriter::pass_through(const char* data, std::size_t size) {
  // After a failure nothing more is attempted: the output is discarded anyway.
  if (!failed_ && !sink_.write(data, size)) failed_ = true;
}

}  // namespace quorrel
