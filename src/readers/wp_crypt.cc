#include "readers/wp_crypt.h"

namespace quorrel::readers::wp_crypt {

std::string normalize(std::string_view password) {
  std::string out(password);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::uint16_t check_value(std::string_view normalized_password) {
  std::uint16_t check = 0;
  for (char c : normalized_password) {
    check = static_cast<std::uint16_t>(((check >> 1) | (check << 15)) ^
                                       (static_cast<unsigned char>(c) << 8));
  }
  return check;
}

void apply(std::string& bytes, std::size_t from, std::string_view normalized_password) {
  const std::size_t length = normalized_password.size();
  if (length == 0) return;
  // The counter starts at length + 1 and wraps at a byte.
  auto mask = static_cast<unsigned char>(length + 1);
  std::size_t k = 0;
  for (std::size_t i = from; i < bytes.size(); ++i, ++mask) {
    bytes[i] = static_cast<char>(static_cast<unsigned char>(bytes[i]) ^
                                 static_cast<unsigned char>(normalized_password[k]) ^ mask);
    if (++k == length) k = 0;
  }
}

}  // namespace quorrel::readers::wp_crypt
