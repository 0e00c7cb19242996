#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <set>
#include <utility>

#include "cli_options.h"

// One picture's strip, from its file to the strip file and its manifest.
namespace StripCli {

// Receives the messages about one picture, each a line for the terminal.
using Report = std::function<void(const QString&)>;

// What a run must not write over: the strips it has written, and the
// pictures it was given (as device and inode, whatever the name).
struct Claims {
    QStringList strips;
    std::set<std::pair<unsigned long long, unsigned long long>> pictures;
};
Claims ClaimPictures(const QStringList& pictures);

// Loads the picture, plans the strip, writes it where TargetFor says and the
// manifest beside it when asked. On failure nothing of this picture is left
// written. A strip or manifest that would write over one of the claims is
// refused; a strip written is claimed. True when written.
bool BuildPictureStrip(const Options& o, const QString& path, Claims& claims, const Report& report);

}  // namespace StripCli
