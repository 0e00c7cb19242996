#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>

// Reading the six picture kinds and writing strips.
namespace Pictures {

// The picture boxes' background, over which transparent pixels are shown.
inline constexpr QRgb kBoxBackground = qRgb(192, 192, 192);

// Largest picture file read into memory whole (metafiles), bytes.
inline constexpr qint64 kMaxMetafileBytes = 16 * 1024 * 1024;

enum class LoadStatus { Loaded, TooLarge, Unreadable };

struct LoadedPicture {
    LoadStatus status = LoadStatus::Unreadable;
    QImage image;     // Loaded: Format_RGB32 at the picture's own size, no transparency left
    QSize size;       // the picture's size in pixels (Loaded, TooLarge)
    QString message;  // Unreadable: a short German text naming the file
};

// Reads a BMP, JPEG, GIF (first frame), ICO or CUR (the 32 x 32 image when
// there is one, else the first) through Qt's readers, or a Windows metafile
// through libwmf (placeable ones sized from their box at 96 dots per inch).
// A picture wider or higher than maxSide pixels is refused as TooLarge from
// the size its header gives, before anything is decoded. Never throws.
LoadedPicture LoadPicture(const QString& path, int maxSide);

struct SaveResult {
    bool ok = false;
    QString message;  // German, naming the file, when !ok
};

// Writes the strip as an uncompressed 24-bit BMP (a path ending in ".png",
// either case: PNG), every pixel unchanged. The file is written beside the
// target under a temporary name and renamed over it only when complete, so a
// failed write leaves an existing file as it was.
SaveResult SaveStrip(const QImage& strip, const QString& path);

}  // namespace Pictures
