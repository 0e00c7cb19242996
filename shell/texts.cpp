#include "texts.h"

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

}  // namespace Texts
