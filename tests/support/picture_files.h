#pragma once

// Picture files made by the tests themselves.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QtEndian>

namespace picture_files {

// W x H picture, every pixel distinct, corners red, green, blue, white.
inline QImage Distinct(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y,
                           qRgb((x * 37 + y * 11) & 255, (x * 5 + y * 71) & 255, (x * y) & 255));
    image.setPixel(0, 0, qRgb(255, 0, 0));
    image.setPixel(w - 1, 0, qRgb(0, 255, 0));
    image.setPixel(0, h - 1, qRgb(0, 0, 255));
    image.setPixel(w - 1, h - 1, qRgb(255, 255, 255));
    return image;
}

inline void put16(QByteArray& b, int v) {
    const auto u = static_cast<quint16>(v);
    b.append(static_cast<char>(u & 0xFF)).append(static_cast<char>(u >> 8));
}
inline void put32(QByteArray& b, quint32 v) {
    put16(b, static_cast<int>(v & 0xFFFF));
    put16(b, static_cast<int>(v >> 16));
}

// A placeable metafile of w x h units at unitsPerInch, a red rectangle over
// its left half.
inline QByteArray PlaceableMetafile(int w, int h, int unitsPerInch) {
    QByteArray records;
    const auto record = [&](quint32 words, int function, std::initializer_list<int> params) {
        put32(records, words);
        put16(records, function);
        for (int p : params) put16(records, p);
    };
    record(5, 0x020B, {0, 0});                  // SETWINDOWORG y, x
    record(5, 0x020C, {h, w});                  // SETWINDOWEXT y, x
    record(7, 0x02FC, {0, 0x00FF, 0x0000, 0});  // CREATEBRUSHINDIRECT solid red
    record(4, 0x012D, {0});                     // SELECTOBJECT 0
    record(7, 0x041B, {h, w / 2, 0, 0});        // RECTANGLE bottom right top left
    record(3, 0x0000, {});                      // EOF
    QByteArray file;
    put32(file, 0x9AC6CDD7u);
    put16(file, 0);
    put16(file, 0);
    put16(file, 0);
    put16(file, w);
    put16(file, h);
    put16(file, unitsPerInch);
    put32(file, 0);
    quint16 sum = 0;
    for (int k = 0; k < 20; k += 2) sum ^= qFromLittleEndian<quint16>(file.constData() + k);
    put16(file, sum);
    put16(file, 1);  // on disk
    put16(file, 9);
    put16(file, 0x0300);
    put32(file, static_cast<quint32>((18 + records.size()) / 2));
    put16(file, 1);
    put32(file, 7);
    put16(file, 0);
    return file + records;
}

// A 2 x 2 GIF whose top-left pixel is transparent, the others red, green, blue.
inline QByteArray TransparentGif() {
    QByteArray g("GIF89a", 6);
    put16(g, 2);
    put16(g, 2);
    g.append(static_cast<char>(0xF1)).append('\0').append('\0');  // 4-entry colour table
    const unsigned char table[] = {0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};
    g.append(reinterpret_cast<const char*>(table), sizeof table);
    const unsigned char control[] = {0x21, 0xF9, 4, 1, 0, 0, 0, 0};  // transparent index 0
    g.append(reinterpret_cast<const char*>(control), sizeof control);
    g.append(',');
    put16(g, 0);
    put16(g, 0);
    put16(g, 2);
    put16(g, 2);
    g.append('\0');
    // LZW, minimum code size 2: clear, 0, 1, 2, 3, end.
    const unsigned char data[] = {2, 3, 0x44, 0x34, 0x05, 0};
    g.append(reinterpret_cast<const char*>(data), sizeof data);
    g.append(';');
    return g;
}

// An icon file holding the given pictures as PNG images.
inline QByteArray Icon(const QList<QImage>& images) {
    QList<QByteArray> pngs;
    for (const QImage& image : images) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        pngs << png;
    }
    QByteArray ico;
    put16(ico, 0);
    put16(ico, 1);
    put16(ico, static_cast<int>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (int k = 0; k < images.size(); ++k) {
        ico.append(static_cast<char>(images[k].width() & 255));
        ico.append(static_cast<char>(images[k].height() & 255));
        ico.append('\0').append('\0');
        put16(ico, 1);
        put16(ico, 32);
        put32(ico, static_cast<quint32>(pngs[k].size()));
        put32(ico, offset);
        offset += static_cast<quint32>(pngs[k].size());
    }
    for (const auto& png : pngs) ico += png;
    return ico;
}

}  // namespace picture_files
