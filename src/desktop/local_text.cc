#include "desktop/local_text.h"

#include <QByteArray>
#include <QFile>
#include <QUrl>

namespace quorrel {

QString to_qt(std::string_view bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string to_bytes(const QString& text) { return QFile::encodeName(text).toStdString(); }

QString with_literal_ampersands(std::string_view text) {
  return to_qt(text).replace(QLatin1Char('&'), QLatin1String("&&"));
}

std::string without_literal_ampersands(QString shown) {
  return to_bytes(shown.replace(QLatin1String("&&"), QLatin1String("&")));
}

std::string local_file_path(const QUrl& url) {
  // toLocalFile() decodes the path as UTF-8 and so replaces the bytes of a name in another
  // encoding. Taking the path still percent-encoded through it and decoding that to bytes
  // keeps every name as it is on disk.
  QUrl encoded = url;
  encoded.setPath(url.path(QUrl::FullyEncoded), QUrl::DecodedMode);
  return QByteArray::fromPercentEncoding(QFile::encodeName(encoded.toLocalFile())).toStdString();
}

}  // namespace quorrel
