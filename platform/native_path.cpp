#include "native_path.h"

#include <QFile>
#include <QUtf8StringView>

namespace Platform {

namespace NativePath {

namespace {

constexpr char16_t kEscape = 0xDC00;

// A lone low surrogate of the escaped range: not the second half of a pair.
bool escaped(const QString& path, qsizetype at) {
    const char16_t c = path[at].unicode();
    return c >= kEscape + 0x80 && c <= kEscape + 0xFF &&
           (at == 0 || !path[at - 1].isHighSurrogate());
}

// The length of the valid UTF-8 sequence at the start of the bytes, 0 if
// there is none (overlong forms and encoded surrogates are not valid).
qsizetype validSequence(const uchar* p, qsizetype left) {
    const uchar lead = p[0];
    const qsizetype length = lead < 0x80   ? 1
                             : lead < 0xC2 ? 0
                             : lead < 0xE0 ? 2
                             : lead < 0xF0 ? 3
                             : lead < 0xF5 ? 4
                                           : 0;
    if (length == 0 || length > left) return 0;
    for (qsizetype k = 1; k < length; ++k)
        if ((p[k] & 0xC0) != 0x80) return 0;
    if (lead == 0xE0 && p[1] < 0xA0) return 0;   // overlong
    if (lead == 0xED && p[1] >= 0xA0) return 0;  // a surrogate
    if (lead == 0xF0 && p[1] < 0x90) return 0;   // overlong
    if (lead == 0xF4 && p[1] >= 0x90) return 0;  // past U+10FFFF
    return length;
}

}  // namespace

QString Decode(const QByteArray& bytes) {
    if (QUtf8StringView(bytes).isValidUtf8()) return QString::fromUtf8(bytes);
    QString path;
    const auto* p = reinterpret_cast<const uchar*>(bytes.constData());
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = validSequence(p + at, bytes.size() - at);
        if (length == 0) {
            path += QChar(static_cast<char16_t>(kEscape + p[at]));
            ++at;
        } else {
            path += QString::fromUtf8(bytes.constData() + at, length);
            at += length;
        }
    }
    return path;
}

QByteArray Encode(const QString& path) {
    QByteArray bytes;
    qsizetype from = 0;
    for (qsizetype at = 0; at <= path.size(); ++at) {
        if (at < path.size() && !escaped(path, at)) continue;
        if (from == 0 && at == path.size()) return QFile::encodeName(path);
        bytes += path.mid(from, at - from).toUtf8();
        if (at < path.size()) bytes += static_cast<char>(path[at].unicode() - kEscape);
        from = at + 1;
    }
    return bytes;
}

QString FileName(const QString& path) {
    qsizetype end = path.size();
    while (end > 1 && path[end - 1] == QLatin1Char('/')) --end;
    if (end == 1 && path.startsWith(QLatin1Char('/'))) return QStringLiteral("/");
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'), end - 1);
    return path.mid(slash + 1, end - slash - 1);
}

}  // namespace NativePath

}  // namespace Platform
