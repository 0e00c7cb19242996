#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

#include <optional>

// Windows metafiles through libwmf. Internal to the picture loader.
namespace Metafile {

// Whether the bytes start like a Windows metafile (placeable or plain).
bool LooksLikeMetafile(const QByteArray& head);

// The size in pixels at 96 dots per inch: for a placeable metafile from its
// bounding box and units per inch, else as libwmf measures the drawing.
// Nothing when the data is not a metafile libwmf can read.
std::optional<QSize> DisplaySize(const QByteArray& data);

// Plays the metafile into a picture of the given size, on the picture boxes'
// light grey where it draws nothing. Null on failure.
QImage Render(const QByteArray& data, QSize size);

}  // namespace Metafile
