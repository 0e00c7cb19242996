#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QImage>

#include <cstdint>

namespace Player {

// Pixel pictures decoded through Qt's readers, with the rules the program
// reads them by (see picture_protocol.h). Only the picture player uses this
// (and its tests): the readers are large C libraries, so untrusted files are
// decoded in a process of their own.
namespace RasterDecoding {

struct Request {
    int maxSide = 1;         // largest width and height, pixels
    QByteArrayList formats;  // the kinds that may be read, as Qt's readers name them
    bool iconName = false;   // the file's name ends in .ico or .cur
};

enum class Status {
    Drawn,
    TooLarge,     // wider or higher than maxSide: measured, not decoded
    NotReadable,  // not a picture, or a damaged one
    NotAKind,     // a picture, or an enhanced metafile, of a kind not asked for
    CutShort,     // a bitmap that ends before its pixels do
};

struct Outcome {
    Status status = Status::NotReadable;
    std::int64_t width = 0;  // pixels (Drawn, TooLarge)
    std::int64_t height = 0;
    QByteArray kind;  // Drawn: the kind read, as Qt's readers name it (lower case)
    // Drawn: Format_ARGB32, straight alpha; opaque (alpha 255) where the
    // picture has no alpha channel.
    QImage image;
};

// The file's bytes, decoded. A picture wider or higher than maxSide is
// refused from the size its header gives, before its pixels are decoded;
// no reader may allocate more than a picture of maxSide x maxSide with
// 16-bit channels and alpha takes.
Outcome Decode(const QByteArray& file, const Request& request);

}  // namespace RasterDecoding

}  // namespace Player
