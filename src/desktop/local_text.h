// Byte strings, as the shell keeps paths and texts, to Qt strings and back. File names go
// through Qt's file name encoding, so that what Qt hands over opens on this system.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QUrl;

namespace quorrel {

QString to_qt(std::string_view bytes);
std::string to_bytes(const QString& text);

// Button and group box texts as Qt shows them and back: "&" is a character, not a mnemonic.
QString with_literal_ampersands(std::string_view text);
std::string without_literal_ampersands(QString shown);

// The local path of a file URL as bytes on disk, names in other encodings than UTF-8 included.
std::string local_file_path(const QUrl& url);

}  // namespace quorrel
