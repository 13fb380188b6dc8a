// The password scheme of WordPerfect 4.2 and 5.x: a byte-wise XOR with the upper-cased
// password and a running counter. It protects nothing (the password can be read back from
// any stretch of known bytes) but a reader must undo it to show the text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace quorrel::readers::wp_crypt {

// The password as the scheme uses it: ASCII letters upper-cased, everything else kept.
std::string normalize(std::string_view password);

// The 16-bit value a document stores to tell the right password from a wrong one.
std::uint16_t check_value(std::string_view normalized_password);

// Turns `bytes` from position `from` on between cipher and plain form (the scheme is its own
// inverse); position `from` is the first encrypted byte. An empty password changes nothing.
void apply(std::string& bytes, std::size_t from, std::string_view normalized_password);

}  // namespace quorrel::readers::wp_crypt
