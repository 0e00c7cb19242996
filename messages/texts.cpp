#include "texts.h"

#include "build_rules.h"

namespace Texts {

QString SignPadded(qint64 value) {
    return value < 0 ? QString::number(value) : QStringLiteral(" ") + QString::number(value);
}

QString PictureTooLarge(int maxSide, int width, int height) {
    return QStringLiteral("Maximal erlaubt:") + SignPadded(maxSide) + QStringLiteral(" x") +
           SignPadded(maxSide) + QStringLiteral(" \rDieses Bild hat:") + SignPadded(width) +
           QStringLiteral(" x") + SignPadded(height);
}

QString CannotRead(const QString& fileName, const QString& reason) {
    return QStringLiteral("Die Datei '%1' kann nicht gelesen werden: %2.").arg(fileName, reason);
}

QString CannotReadPicture(const QString& fileName) {
    return CannotRead(fileName, QString::fromUtf8(kReasonDamaged));
}

QString UnsupportedPicture(const QString& fileName) {
    return QStringLiteral(
               "Die Datei '%1' ist kein unterst\u00fctztes Bild (BMP, JPEG, GIF, ICO, "
               "CUR oder WMF).")
        .arg(fileName);
}

QString UnsupportedToolkitPicture(const QString& fileName) {
    return QStringLiteral(
               "Die Datei '%1' ist kein unterst\u00fctztes Bild (BMP, JPEG, GIF, ICO, CUR, "
               "WMF, PNG, WebP, TIFF oder SVG).")
        .arg(fileName);
}

QString RasterNotScaled(const QString& fileName) {
    return QStringLiteral(
               "Die Datei '%1' ist kein SVG-Bild: --scale vergr\u00f6ssert nur SVG-Bilder, "
               "ein Pixelbild w\u00fcrde unscharf.")
        .arg(fileName);
}

QString EmptyPicture(const QString& fileName) {
    return QStringLiteral("Die Datei '%1' enth\u00e4lt kein Bild.").arg(fileName);
}

QString PictureFileTooLarge(const QString& fileName, int maxSide, int width, int height) {
    return QStringLiteral("Die Datei '%1' ist zu gro\u00df.\r").arg(fileName) +
           PictureTooLarge(maxSide, width, height);
}

QString CannotSave(const QString& fileName, const QString& reason) {
    return QStringLiteral("Die Datei '%1' konnte nicht gespeichert werden: %2")
        .arg(fileName, reason);
}

QString VerticalTooLarge() {
    return QStringLiteral("Zu gross f\u00fcr Verikale Sequenz. \rReduziere die Einzelbilder.");
}

QString StripTooLarge(qint64 X, qint64 Y) {
    return QStringLiteral(
               "Die Sequenz w\u00e4re %1 x %2 Pixel gross. \rM\u00f6glich sind "
               "h\u00f6chstens %3 Pixel. Reduziere die Einzelbilder.")
        .arg(X)
        .arg(Y)
        .arg(kMaxStripPixels);
}

QString NoMemoryForStrip(qint64 X, qint64 Y) {
    return QStringLiteral("Nicht genug Speicher f\u00fcr eine Sequenz von %1 x %2 Pixeln.")
        .arg(X)
        .arg(Y);
}

}  // namespace Texts
