#include "form1_texts.h"

#include "build_rules.h"
#include "texts.h"

namespace Form1Texts {

using Texts::SignPadded;

QString SizeCaption(int PicW, int PicH) {
    return QStringLiteral("Breite =") + SignPadded(PicW) + QStringLiteral(" , H\u00f6he =") +
           SignPadded(PicH);
}

QString LoadedSizeCaption(int PicW, int PicH) {
    return QStringLiteral(" X =") + SignPadded(PicW) + QStringLiteral("  Y =") + SignPadded(PicH);
}

QString StripSizeCaption(qint64 X, qint64 Y) {
    return QStringLiteral("Ma\u00dfe: X=") + SignPadded(X) + QStringLiteral(", Y=") + SignPadded(Y);
}

QString PointerCaption(int X, int Y) {
    return QStringLiteral("X, Y =") + SignPadded(X) + QStringLiteral(" ,") + SignPadded(Y);
}

QString OverwriteQuestion(const QString& fileName) {
    return QStringLiteral("Vorhandene Datei '") + fileName +
           QStringLiteral("' \u00fcberschreiben ?");
}

QString DriveNotReady(const QString& drive) {
    return QStringLiteral("Das Laufwerk '%1' ist nicht bereit.").arg(drive);
}

QString FolderNotListed(const QString& folder) {
    return QStringLiteral("Der Ordner '%1' kann nicht gelesen werden.").arg(folder);
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

}  // namespace Form1Texts
