#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QString>
#include <QStringList>

namespace Pictures {

// The kinds of picture the programs read: the window's six, and those the
// command line reads besides. Every list of kinds the user sees comes from
// here.
namespace PictureKinds {

// "BMP", "JPEG", ...: the window's kinds, or every kind the command line reads.
QStringList Names(bool toolkitKinds);

// The window's file list pattern: "*.bmp;*.jpg;*.gif;*.ico;*.cur;*.wmf".
QString WindowFilePattern();

// Whether a format that Qt's readers name (lower case: "bmp", "jpeg", ...) is
// read, by the window or by the command line too.
bool ReadsFormat(const QByteArray& format, bool toolkitKinds);

// Every format name ReadsFormat takes, for the window or the command line.
QByteArrayList Formats(bool toolkitKinds);

}  // namespace PictureKinds

}  // namespace Pictures
