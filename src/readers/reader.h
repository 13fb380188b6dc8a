// What every complete reader shares: the generations it tells apart, the options a user gives,
// and how a reading ends. A reader walks a document's bytes and feeds a DocumentBuilder; the
// caller finishes the builder.
#pragma once

#include <string>
#include <string_view>

namespace quorrel::readers {

enum class Generation {
  plain,          // anything that is no WordPerfect document, read as text
  wp42,           // WordPerfect 4.2 and earlier: no prefix
  wp5,            // 5.0, 5.1, 5.2 (file type 10, version 0.x)
  wp5_far_east,   // 5.1 Far East (file type 58)
  wp6,            // 6.0 to X-series (version 2.0/2.1)
  wp6_ole,        // version 2.2 and later wrapped in an OLE compound file
  mac,            // WordPerfect for the Macintosh 2.x to 3.5e (file type 44)
  mac1,           // WordPerfect for the Macintosh 1.x (no prefix)
  other_product,  // the prefix of another product (Presentations, ...): not a text document
};

std::string_view generation_name(Generation generation);  // "WordPerfect 5.x", ...

struct ReadOptions {
  bool has_password = false;
  std::string password;
};

enum class ReadStatus {
  complete,
  damaged,             // what could be read was delivered; the structure broke down
  password_protected,  // no password given; nothing delivered
  wrong_password,      // nothing delivered
  unsupported,         // nothing delivered
};

struct ReadResult {
  ReadStatus status = ReadStatus::complete;
  std::string message;  // for anything but complete: what a user is told
};

inline constexpr std::string_view kPasswordProtectedMessage =
    "This document is password protected.";
inline constexpr std::string_view kWrongPasswordMessage = "The password is wrong.";

}  // namespace quorrel::readers
