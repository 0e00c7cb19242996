#include "form1_texts.h"

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

}  // namespace Form1Texts
