#pragma once

#include <QFile>
#include <QImage>
#include <QRgb>
#include <QSize>
#include <QString>

#include "message.h"
#include "metafile_protocol.h"

namespace Pictures {

// Reading pictures: the window's six kinds, and the command line's besides.

// The picture boxes' background, over which transparent pixels are shown.
inline constexpr QRgb kBoxBackground =
    qRgb(MetafileProtocol::kBoxGrey, MetafileProtocol::kBoxGrey, MetafileProtocol::kBoxGrey);

// The picture laid over a solid colour, each channel rounded exactly:
// (c * a + colour * (255 - a) + 127) / 255. Format_RGB32.
QImage OverColour(const QImage& picture, QRgb colour);

// The picture as Format_ARGB32 (straight alpha) when some pixel is not wholly
// opaque, else as Format_RGB32.
QImage WithAlpha(const QImage& picture);

enum class LoadStatus { Loaded, TooLarge, Unreadable };

struct LoadedPicture {
    LoadStatus status = LoadStatus::Unreadable;
    QImage image;  // Loaded: at the picture's own size; Format_RGB32, no transparency left
                   // (unless LoadChoices::keepAlpha)
    QSize size;    // the picture's size in pixels (Loaded, TooLarge)
    Messages::Message message;  // Unreadable: what happened, naming the file
    bool windowKind = false;    // Loaded: one of the kinds the window reads
};

// What the command line asks of the loader beyond what the window does:
// - keepAlpha: transparency stays (Format_ARGB32, straight alpha, when some
//   pixel is not wholly opaque; Format_RGB32 otherwise) instead of being laid
//   over the boxes' grey; metafiles still come on grey;
// - toolkitKinds: PNG, WebP and TIFF are read too (the first image of several),
//   and a picture of another kind is named unsupported with the longer list.
struct LoadChoices {
    bool keepAlpha = false;
    bool toolkitKinds = false;
};

// Reads a BMP, JPEG, GIF (first frame), ICO or CUR (the 32 x 32 image when
// there is one, else the first) through Qt's readers in the picture player
// (picture_player.h), or a Windows metafile through the metafile player
// (placeable ones sized from their box at 96 dots per inch; see
// metafile_player.h): no untrusted file is decoded in this process. A
// picture wider or higher than maxSide pixels is refused as TooLarge from
// the size its header gives, before anything is decoded; a bitmap shorter
// than its pixels, or a file larger than the player takes, is refused. Only
// an ordinary file is opened: a folder, a pipe or a device is refused at
// once. The path follows native_path.h; messages name the file by
// NativePath::FileName. Never throws.
LoadedPicture LoadPicture(const QString& path, int maxSide, const LoadChoices& choices = {});

// Ends at once every player (metafile or drawing) that a load waits for now,
// in any thread: those loads give Unreadable. For a program that is closing.
void StopPlayers();

// The picture file opened for reading as LoadPicture opens it: an ordinary
// file only. Status Loaded (and no image) when it is open, else Unreadable
// with the message why, naming the file.
LoadedPicture OpenPictureFile(const QString& path, QFile& file);

// LoadPicture on a file OpenPictureFile opened, read from its start; name:
// the file's name as messages give it.
LoadedPicture LoadOpenPicture(QFile& file, const QString& name, int maxSide,
                              const LoadChoices& choices = {});

}  // namespace Pictures
