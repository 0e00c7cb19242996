#pragma once

#include <QString>
#include <QStringList>

#include <functional>

#include "cli_options.h"

// One picture's strip, from its file to the strip file and its manifest.
namespace StripCli {

// Receives the messages about one picture, each a line for the terminal.
using Report = std::function<void(const QString&)>;

// Loads the picture, plans the strip, writes it where TargetFor says and the
// manifest beside it when asked. On failure nothing of this picture is left
// written. `claimed` holds the strips this run has written: a second picture
// that would write over one of them is refused. True when written.
bool BuildPictureStrip(const Options& o, const QString& path, QStringList& claimed,
                       const Report& report);

}  // namespace StripCli
