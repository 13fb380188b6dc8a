#include "io/scratch_file.h"

#include <fcntl.h>
#include <unistd.h>

#include "io/output_file.h"

namespace quorrel {

ScratchFile::~ScratchFile() {
  if (fd_ >= 0) ::close(fd_);
}

bool ScratchFile::create(const std::string& folder) {
  if (fd_ >= 0) return true;
  fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd_ >= 0) return true;
  std::string pattern =
      (folder == "/" ? std::string() : folder) + "/" + kTemporaryPrefix + "XXXXXX";
  fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd_ < 0) return false;
  ::unlink(pattern.c_str());
  return true;
}

}  // namespace quorrel
