#include "form1_texts.h"

#include "catalog.h"

using namespace Messages;

namespace Window {

namespace Form1Texts {

using Messages::SignPadded;

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

}  // namespace Form1Texts

}  // namespace Window
