#pragma once

#include <QString>

#include <cstdint>

// The program's own texts that more than the window show. "\r" stands where
// the window's message box breaks the line.
namespace Texts {

// "Maximal erlaubt: 121 x 121 " CR "Dieses Bild hat: 200 x 150".
QString PictureTooLarge(int maxSide, int width, int height);

// " 45" for 45, "-3" for -3: the number as captions show it.
QString SignPadded(qint64 value);

QString CannotReadPicture(const QString& fileName);
QString UnsupportedPicture(const QString& fileName);
QString EmptyPicture(const QString& fileName);
QString CannotSave(const QString& fileName, const QString& reason);

// A vertical strip over its height limit: the frame count was lowered.
QString VerticalTooLarge();
// A strip over the largest one the program makes.
QString StripTooLarge(qint64 X, qint64 Y);
QString NoMemoryForStrip(qint64 X, qint64 Y);

}  // namespace Texts
