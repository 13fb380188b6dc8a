// WordPerfect for the Macintosh 1.x has no prefix: it is recognised by its structure.
#pragma once

#include <string_view>

namespace quorrel::readers {

// True when every group of the file opens and closes where the 1.x layout says, and at least
// one of them has a size 4.2 would not give it (the two layouts share most codes and sizes, so
// a file of shared groups only is left to 4.2). An encrypted file (FE FF 61 61, as 4.2 marks
// them too) is left to the 4.2 test as well.
bool looks_like_mac1(std::string_view bytes);

}  // namespace quorrel::readers
