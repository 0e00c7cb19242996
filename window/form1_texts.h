#pragma once

#include <QString>

#include "catalog.h"

namespace Window {

// Every text of the main window, as it stands.
namespace Form1Texts {

inline const QString kCaption = QString::fromLatin1(Messages::kProductName);
inline const QString kMsgTitle = QStringLiteral("Vesk's Torvelink");
inline const QString kHorizontal = QStringLiteral("Horizontale Sequenz");
inline const QString kVertical = QStringLiteral("Vertikale Sequenz");
inline const QString kSave = QStringLiteral("Knopf-Sequenz speichern");
inline const QString kMagnification = QStringLiteral("Vergr\u00f6sserung");
inline const QString kFrameNumber = QStringLiteral("Einzelbild Nummer:");
inline const QString kFrames = QStringLiteral("Einzelbilder:");
inline const QString kRadius = QStringLiteral("Rotationsradius:");
inline const QString kAngle = QStringLiteral("Rotationswinkel:");

// "Breite = 45 , Höhe = 45"
QString SizeCaption(int PicW, int PicH);
// " X = 45  Y = 45", after a picture was loaded: worded unlike the start's
// caption on purpose, and replaced by it when the pointer crosses the window
QString LoadedSizeCaption(int PicW, int PicH);
// "Maße: X= 1260, Y= 45"
QString StripSizeCaption(qint64 X, qint64 Y);
// "X, Y = 12 , 30"
QString PointerCaption(int X, int Y);
// "Vorhandene Datei 'Demo_Seq_H.bmp' überschreiben ?"
QString OverwriteQuestion(const QString& fileName);

}  // namespace Form1Texts

}  // namespace Window
