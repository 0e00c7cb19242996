#pragma once

#include <QString>

#include <optional>

#include "cli_options.h"

// Where each picture's strip goes and in which format.
namespace StripCli {

struct Target {
    QString strip;     // the strip's path
    QString manifest;  // its manifest's path; empty when none is asked for
    OutputFormat format = OutputFormat::Bmp;
};

// Whether -o names a folder: it ends in a separator or is one.
bool OutputIsFolder(const Options& o);

// Whether a folder stands at the path, looked at through the system's bytes.
bool IsFolder(const QString& path);

// -o against --format and the number of pictures: several pictures need a
// folder, and a file ending in .png or .bmp must agree with --format.
std::optional<UsageError> CheckOutput(const Options& o);

// The format of every strip of this run: --format, else the ending of a
// single file's -o (".png", either case, gives PNG), else BMP.
OutputFormat ChosenFormat(const Options& o);

// The strip's path for a picture: -o itself for a single file; otherwise
// "<name>_Seq_H" or "_Seq_V" with ".bmp" or ".png", in the -o folder or the
// picture's own. The manifest lies beside it, its ending replaced by ".json".
Target TargetFor(const Options& o, const QString& picture);

}  // namespace StripCli
