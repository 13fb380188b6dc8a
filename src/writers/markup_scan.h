// Finding the bytes of a text run that markup must write otherwise, sixteen at a time: real
// text holds few of them, so the stretches between are copied whole.
#pragma once

#include <cstddef>
#include <string_view>

namespace quorrel::writers {

// The position of the first byte from `from` on that is '<', '>', '&' or '"', or, with
// `double_spaces`, a space right after a space (the byte before `from` counts); text.size()
// when there is none.
std::size_t find_markup(std::string_view text, std::size_t from, bool double_spaces);

}  // namespace quorrel::writers
