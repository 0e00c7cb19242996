#pragma once

#include <QByteArray>
#include <QString>

namespace Platform {

// File names as the system keeps them: bytes, usually but not always UTF-8.
// A name that is valid UTF-8 reads as usual; in any other, each byte that is
// not part of a valid sequence stands as the lone surrogate U+DC00 plus the
// byte, so that the name comes back byte for byte when it is opened. Qt's own
// conversion would turn such bytes into U+FFFD and lose the file.
namespace NativePath {

QString Decode(const QByteArray& bytes);
QByteArray Encode(const QString& path);

// The path's last name, as messages name a file or folder: "b" for "a/b"
// and for "a/b/" alike; "/" for the root.
QString FileName(const QString& path);

}  // namespace NativePath

}  // namespace Platform
