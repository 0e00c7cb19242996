#pragma once

#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>

// Reading the six picture kinds and writing strips.
namespace Pictures {

// The picture boxes' background, over which transparent pixels are shown.
inline constexpr QRgb kBoxBackground = qRgb(192, 192, 192);

enum class LoadStatus { Loaded, TooLarge, Unreadable };

struct LoadedPicture {
    LoadStatus status = LoadStatus::Unreadable;
    QImage image;     // Loaded: Format_RGB32 at the picture's own size, no transparency left
    QSize size;       // the picture's size in pixels (Loaded, TooLarge)
    QString message;  // Unreadable: a short German text naming the file and why
};

// Reads a BMP, JPEG, GIF (first frame), ICO or CUR (the 32 x 32 image when
// there is one, else the first) through Qt's readers, or a Windows metafile
// through the metafile player (placeable ones sized from their box at 96 dots
// per inch; see metafile_player.h). A picture wider or higher than maxSide
// pixels is refused as TooLarge from the size its header gives, before
// anything is decoded. Only an ordinary file is opened: a folder, a pipe or a
// device is refused at once. The path follows native_path.h. Never throws.
LoadedPicture LoadPicture(const QString& path, int maxSide);

struct SaveResult {
    bool ok = false;
    QString message;  // German, naming the file, when !ok
};

// Writes the strip as an uncompressed 24-bit BMP (a path ending in ".png",
// either case: PNG), every pixel unchanged, through a SafeFile: a failed
// write leaves an existing file as it was and says why in German.
SaveResult SaveStrip(const QImage& strip, const QString& path);

}  // namespace Pictures
