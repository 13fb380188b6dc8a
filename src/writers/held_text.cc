#include "writers/held_text.h"

namespace quorrel::writers {

void HeldText::append(std::string_view bytes) {
  size_ += bytes.size();
  if (!file_ && !file_refused_ && memory_.size() + bytes.size() > kMemoryLimit) {
    file_.reset(std::tmpfile());
    // Without a temporary file the notes stay in memory: better large than lost.
    if (file_ && std::fwrite(memory_.data(), 1, memory_.size(), file_.get()) == memory_.size()) {
      memory_.clear();
      memory_.shrink_to_fit();
    } else {
      file_.reset();
      file_refused_ = true;
    }
  }
  if (!file_) {
    memory_.append(bytes);
  } else if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) {
    ok_ = false;
  }
}

bool HeldText::write_to(OutputBuffer& out) {
  if (file_) {
    ok_ = std::fflush(file_.get()) == 0 && ok_;
    std::rewind(file_.get());
    char piece[64 * 1024];
    std::size_t read = 0, total = 0;
    while ((read = std::fread(piece, 1, sizeof piece, file_.get())) > 0) {
      out.append(std::string_view(piece, read));
      total += read;
    }
    ok_ = ok_ && total == size_;
    file_.reset();
  } else {
    out.append(memory_);
    memory_.clear();
  }
  size_ = 0;
  bool ok = ok_;
  ok_ = true;
  return ok;
}

}  // namespace quorrel::writers
