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

// "Die Datei '<name>' kann nicht gelesen werden: <reason>." The reasons of
// the picture loader follow; a system error's reason comes from FileErrorReason.
QString CannotRead(const QString& fileName, const QString& reason);
inline constexpr char kReasonDamaged[] = "sie ist besch\u00e4digt oder kein Bild";
inline constexpr char kReasonMissing[] = "sie existiert nicht";
inline constexpr char kReasonNoPermission[] = "keine Leseberechtigung";
inline constexpr char kReasonFolder[] = "es ist ein Ordner";
inline constexpr char kReasonNotAFile[] =
    "sie ist keine gew\u00f6hnliche Datei, sondern eine Pipe oder ein Ger\u00e4t";
inline constexpr char kReasonTooSlow[] = "das Zeichnen dauerte zu lange";
inline constexpr char kReasonCrashed[] = "der Metafile-Leser ist abgest\u00fcrzt";
inline constexpr char kReasonTooMuchMemory[] = "das Zeichnen braucht zu viel Speicher";
inline constexpr char kReasonNoFonts[] =
    "dem Metafile-Leser fehlen seine Schriften (Paket fonts-urw-base35)";
inline constexpr char kReasonRefersToFiles[] = "die Zeichnung verweist auf andere Dateien";
inline constexpr char kReasonNoPlayer[] =
    "der Metafile-Leser neben dem Programm fehlt oder startet nicht";

// CannotRead with kReasonDamaged.
QString CannotReadPicture(const QString& fileName);
QString UnsupportedPicture(const QString& fileName);
// The same, with the command line's longer list of kinds.
QString UnsupportedToolkitPicture(const QString& fileName);
QString EmptyPicture(const QString& fileName);
// --scale given for a picture that is not a drawing.
QString RasterNotScaled(const QString& fileName);
QString CannotSave(const QString& fileName, const QString& reason);
inline constexpr char kReasonNoPicture[] = "kein Bild";
inline constexpr char kReasonNotEncoded[] = "das Bild lie\u00df sich nicht umwandeln";

// The size warning for a file on the command line, which has no list that
// shows which file it was: "Die Datei '<name>' ist zu groß." and the
// window's warning in a new paragraph.
QString PictureFileTooLarge(const QString& fileName, int maxSide, int width, int height);

// A vertical strip over its height limit: the frame count was lowered.
QString VerticalTooLarge();
// A strip over the largest one the program makes.
QString StripTooLarge(qint64 X, qint64 Y);
QString NoMemoryForStrip(qint64 X, qint64 Y);

}  // namespace Texts
