#pragma once

// SVG drawings made by the tests themselves: plain ones, and the ways a
// drawing can reach beyond itself or grow.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QString>

#include <zlib.h>

namespace drawing_files {

// A w x h drawing with the SVG and XLink name spaces declared.
inline QByteArray Svg(const QByteArray& body, int w = 40, int h = 40) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\""
           " width=\"" +
           QByteArray::number(w) + "\" height=\"" + QByteArray::number(h) + "\">" + body + "</svg>";
}

// A base64 data: URL holding the bytes.
inline QByteArray DataUrl(const char* type, const QByteArray& bytes) {
    return QByteArray("data:") + type + ";base64," + bytes.toBase64();
}

inline QByteArray Png(const QImage& image) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// A w x h picture of one colour, as a PNG data: URL.
inline QByteArray PngUrl(int w, int h, QRgb colour) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return DataUrl("image/png", Png(image));
}

// An <image> over the whole drawing showing the URL.
inline QByteArray Image(const QByteArray& url) {
    return "<image x=\"0\" y=\"0\" width=\"40\" height=\"40\" xlink:href=\"" + url + "\"/>";
}

// The text in UTF-16, with or without a byte-order mark.
inline QByteArray Utf16(const QByteArray& utf8, bool bigEndian, bool mark) {
    const QString text = QString::fromUtf8(utf8);
    QByteArray out = mark ? QByteArray(bigEndian ? "\xFE\xFF" : "\xFF\xFE", 2) : QByteArray();
    for (const QChar c : text) {
        const char high = static_cast<char>(c.unicode() >> 8), low = static_cast<char>(c.unicode());
        out.append(bigEndian ? high : low).append(bigEndian ? low : high);
    }
    return out;
}

inline QByteArray Gzip(const QByteArray& bytes) {
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
    QByteArray out(static_cast<qsizetype>(deflateBound(&z, static_cast<uLong>(bytes.size()))), 0);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.constData()));
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(static_cast<qsizetype>(z.total_out));
    deflateEnd(&z);
    return out;
}

// A drawing holding a drawing, and so on, depth levels deep; the innermost
// a green 40 x 40 square.
inline QByteArray Nested(int depth) {
    const QByteArray inner = Svg("<rect width=\"40\" height=\"40\" fill=\"#0f0\"/>");
    return depth == 0 ? inner : Svg(Image(DataUrl("image/svg+xml", Nested(depth - 1))));
}

// Hides the reference to secret.png from a reading of the text: to a
// regular expression, the first href is "#...".
inline QByteArray QuoteTrick() {
    return Svg(
        "<image a=\"href='#\" x=\"0\" y=\"0\" width=\"40\" height=\"40\" "
        "xlink:href=\"secret.png\" b=\"'\"/>");
}

// Drawing without end: a path of a million dashes, drawn again and again.
inline QByteArray NeverEnds() {
    QByteArray uses;
    for (int k = 0; k < 2000; ++k) uses += "<use xlink:href=\"#p\"/>";
    return Svg(
        "<defs><path id=\"p\" d=\"M0 0 L1024 1024 M1024 0 L0 1024\" stroke=\"red\" "
        "stroke-width=\"40\" stroke-dasharray=\"0.001 0.001\"/></defs>" +
            uses,
        1024, 1024);
}

}  // namespace drawing_files
