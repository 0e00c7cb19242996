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

QString CannotReadPicture(const QString& fileName) {
    return QStringLiteral(
               "Die Datei '%1' kann nicht gelesen werden: sie ist besch\u00e4digt "
               "oder kein Bild.")
        .arg(fileName);
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

QString CannotSave(const QString& fileName, const QString& reason) {
    return QStringLiteral("Die Datei '%1' konnte nicht gespeichert werden: %2")
        .arg(fileName, reason);
}

}  // namespace Texts
