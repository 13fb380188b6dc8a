// WordPerfect for the Macintosh 1.x has no prefix: it is recognised by its structure.
#pragma once

#include <string_view>

namespace quorrel::readers {

// True when every group of the file opens and closes where the 1.x layout says, with at least
// one multi-byte group; an encrypted file (FE FF 61 61, as 4.2 marks them too) is left to the
// 4.2 test.
bool looks_like_mac1(std::string_view bytes);

}  // namespace quorrel::readers
