#include "raster_decoding.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>

#include "bmp_fields.h"

namespace Player {

namespace RasterDecoding {

namespace {

// What a decoder may allocate: enough for any picture of the largest size
// taken (eight bytes a pixel: 16-bit channels with alpha), far below what a
// crafted file would make it allocate.
int decodeLimitMegabytes(int maxSide) {
    const qint64 bytes = qint64{maxSide} * maxSide * 8;
    return static_cast<int>(std::max<qint64>(64, bytes / (1024 * 1024) + 1));
}

// An enhanced metafile: a header record (type 1) whose signature " EMF"
// stands at byte 40.
bool looksLikeEnhancedMetafile(const QByteArray& file) {
    return file.size() >= 44 && file.startsWith(QByteArray("\x01\0\0\0", 4)) &&
           file.mid(40, 4) == " EMF";
}

// An icon or cursor file: the 32 x 32 image when there is one, else the first.
void chooseIconImage(QImageReader& reader) {
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i)) break;
        if (reader.size() == QSize(32, 32)) return;
    }
    reader.jumpToImage(0);
}

bool oversize(QSize size, int maxSide) {
    return size.width() > maxSide || size.height() > maxSide;
}

Outcome tooLarge(QSize size) {
    return {Status::TooLarge, size.width(), size.height()};
}

// The pixels as 0xAARRGGBB, straight alpha. An opaque picture goes through
// Format_RGB32, as the loader took one, so that its colours are the ones an
// RGB32 conversion gives, and its alpha is 255 whatever a reader left there.
QImage straight(const QImage& picture) {
    if (picture.hasAlphaChannel()) return picture.convertToFormat(QImage::Format_ARGB32);
    return picture.convertToFormat(QImage::Format_RGB32).convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

Outcome Decode(const QByteArray& file, const Request& request) {
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(false);
    QImageReader::setAllocationLimit(decodeLimitMegabytes(request.maxSide));
    if (!reader.canRead()) {
        const bool otherKind = !reader.format().isEmpty() || looksLikeEnhancedMetafile(file);
        return {otherKind ? Status::NotAKind : Status::NotReadable};
    }
    const QByteArray format = reader.format().toLower();
    if (!format.isEmpty() && !request.formats.contains(format)) return {Status::NotAKind};
    const bool bitmap = format == "bmp" || format == "dib";
    if (format == "ico" || format == "cur" || (format.isEmpty() && request.iconName))
        chooseIconImage(reader);
    QSize size = reader.size();
    size.setHeight(qAbs(size.height()));  // top-down bitmaps report a negative height
    if (size.isValid() && oversize(size, request.maxSide)) return tooLarge(size);
    if (bitmap && BmpFields::ShorterThanPixels(file)) return {Status::CutShort};
    QImage picture = reader.read();
    if (picture.isNull()) return {Status::NotReadable};
    if (oversize(picture.size(), request.maxSide)) return tooLarge(picture.size());
    if (bitmap) picture = BmpFields::WidenChannels(picture, file.left(256));
    const QImage pixels = straight(picture);
    if (pixels.isNull()) return {Status::NotReadable};
    return {Status::Drawn, pixels.width(), pixels.height(), format, pixels};
}

}  // namespace RasterDecoding

}  // namespace Player
