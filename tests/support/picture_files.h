#pragma once

// Picture files made by the tests themselves.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>

#include <zlib.h>

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

// One metafile record: its function and its parameter words, then any bytes.
inline QByteArray MetafileRecord(int function, std::initializer_list<int> params,
                                 const QByteArray& bytes = {}) {
    QByteArray record;
    put32(record, static_cast<quint32>(3 + params.size() + (bytes.size() + 1) / 2));
    put16(record, function);
    for (int p : params) put16(record, p);
    record += bytes;
    if (bytes.size() % 2 != 0) record += '\0';
    return record;
}

// A placeable metafile of w x h units at unitsPerInch with these records
// (the end record is added).
inline QByteArray PlaceableMetafileOf(int w, int h, int unitsPerInch, QByteArray records) {
    records += MetafileRecord(0x0000, {});  // EOF
    quint32 largest = 0;
    for (qsizetype at = 0; at < records.size();) {
        const quint32 words = qFromLittleEndian<quint32>(records.constData() + at);
        largest = std::max(largest, words);
        at += static_cast<qsizetype>(words) * 2;
    }
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
    put16(file, 4);
    put32(file, largest);
    put16(file, 0);
    return file + records;
}

// A placeable metafile of w x h units at unitsPerInch, a red rectangle over
// its left half.
inline QByteArray PlaceableMetafile(int w, int h, int unitsPerInch) {
    return PlaceableMetafileOf(
        w, h, unitsPerInch,
        MetafileRecord(0x020B, {0, 0}) +                      // SETWINDOWORG y, x
            MetafileRecord(0x020C, {h, w}) +                  // SETWINDOWEXT y, x
            MetafileRecord(0x02FC, {0, 0x00FF, 0x0000, 0}) +  // solid red brush
            MetafileRecord(0x012D, {0}) +                     // SELECTOBJECT 0
            MetafileRecord(0x041B, {h, w / 2, 0, 0}));        // RECTANGLE
}

// Metafiles that keep libwmf busy for a minute or more, 100 x 100 units at 96
// per inch: a font of height 0 followed by text, and a bitmap stretched with
// a negative width and height.
inline QByteArray FontHeightZeroMetafile() {
    const QByteArray face = QByteArray("Arial").leftJustified(32, '\0');
    return PlaceableMetafileOf(
        100, 100, 96,
        MetafileRecord(0x020B, {0, 0}) + MetafileRecord(0x020C, {100, 100}) +
            MetafileRecord(0x02FB, {0, 0, 0, 0, 400, 0, 0, 0, 0}, face) +  // CREATEFONTINDIRECT
            MetafileRecord(0x012D, {0}) +
            MetafileRecord(0x0521, {5}, QByteArray("Knopf\0\5\0\5\0", 10)));  // TEXTOUT at 5, 5
}

inline QByteArray NegativeStretchMetafile() {
    QByteArray dib;
    for (quint32 v : {40u, 8u, 8u}) put32(dib, v);
    put16(dib, 1);
    put16(dib, 24);
    for (quint32 v : {0u, 192u, 0u, 0u, 0u, 0u}) put32(dib, v);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            dib.append(static_cast<char>(x * 40)).append(static_cast<char>(y * 40)).append('\x80');
    return PlaceableMetafileOf(
        100, 100, 96,
        MetafileRecord(0x020B, {0, 0}) + MetafileRecord(0x020C, {100, 100}) +
            // DIBSTRETCHBLT: raster operation, source 8 x 8 at 0, 0, target -2 x -2 at 60, 60
            MetafileRecord(0x0B41, {0x0020, 0x00CC, 8, 8, 0, 0, -2, -2, 60, 60}, dib));
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

// A bitmap that claims w x h pixels of 24 bits and holds 16 bytes of them:
// 70 bytes in all.
inline QByteArray ShortBitmap(int w, int h) {
    QByteArray b("BM", 2);
    put32(b, 70);
    put32(b, 0);
    put32(b, 54);
    for (quint32 v : {40u, static_cast<quint32>(w), static_cast<quint32>(h)}) put32(b, v);
    put16(b, 1);
    put16(b, 24);
    for (int k = 0; k < 6; ++k) put32(b, 0);
    return b + QByteArray(16, '\x7f');
}

// A progressive JPEG of side x side grey pixels whose last scan stands
// `copies` times over: each copy is a few bytes, and libjpeg goes over every
// block of the picture again for it (200,000 copies of a 1024 x 1024
// picture: 2.4 MB that take minutes).
inline QByteArray RepeatedScansJpeg(int side, int copies) {
    QImage image(side, side, QImage::Format_Grayscale8);
    image.fill(128);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    const qsizetype end = jpeg.size() - 2;  // the end marker
    const qsizetype lastScan = jpeg.lastIndexOf(QByteArray("\xFF\xDA", 2));
    return jpeg.left(end) + jpeg.mid(lastScan, end - lastScan).repeated(copies - 1) + jpeg.mid(end);
}

inline QByteArray PngChunk(const char* type, const QByteArray& data) {
    QByteArray chunk;
    const auto big = [&chunk](quint32 v) {
        for (int shift : {24, 16, 8, 0}) chunk.append(static_cast<char>((v >> shift) & 255));
    };
    big(static_cast<quint32>(data.size()));
    const QByteArray body = QByteArray(type, 4) + data;
    chunk += body;
    big(static_cast<quint32>(crc32(0, reinterpret_cast<const Bytef*>(body.constData()),
                                   static_cast<uInt>(body.size()))));
    return chunk;
}

// An 8 x 8 grey PNG with `chunks` compressed texts of nearly 8 MB of
// letters each, as much as libpng unpacks of one; Qt keeps each several
// times over (60 of them: 462 KB that take 2.3 GB).
inline QByteArray TextBombPng(int chunks) {
    QByteArray header;
    for (quint32 v : {8u, 8u}) put32(header, qToBigEndian(v));
    header.append('\x08').append('\x00').append('\x00').append('\x00').append('\x00');
    const QByteArray letters(7'900'000, 'A');
    QByteArray packed(static_cast<qsizetype>(compressBound(static_cast<uLong>(letters.size()))), 0);
    uLongf size = static_cast<uLongf>(packed.size());
    compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
              reinterpret_cast<const Bytef*>(letters.constData()),
              static_cast<uLong>(letters.size()), 9);
    packed.truncate(static_cast<qsizetype>(size));
    const QByteArray rows = QByteArray(9, '\x80').replace(0, 1, QByteArray(1, '\0')).repeated(8);
    QByteArray pixels(static_cast<qsizetype>(compressBound(static_cast<uLong>(rows.size()))), 0);
    size = static_cast<uLongf>(pixels.size());
    compress2(reinterpret_cast<Bytef*>(pixels.data()), &size,
              reinterpret_cast<const Bytef*>(rows.constData()), static_cast<uLong>(rows.size()), 9);
    pixels.truncate(static_cast<qsizetype>(size));
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + PngChunk("IHDR", header) +
           PngChunk("zTXt", QByteArray("k\0\0", 3) + packed).repeated(chunks) +
           PngChunk("IDAT", pixels) + PngChunk("IEND", {});
}

}  // namespace picture_files
