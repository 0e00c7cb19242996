#pragma once

#include <QByteArray>
#include <QRgb>
#include <QString>

#include <optional>
#include <vector>

#include "build_rules.h"
#include "cli_options.h"
#include "message.h"
#include "strip_names.h"

// The planner: from the options and what a picture is to the files a run
// writes for it. Nothing here reads or writes a file; what it needs to know
// of the system (whether -o is a folder) it is told.
namespace StripCli {

// Where a picture's strip goes and in which format.
struct Target {
    QString strip;     // the strip's path
    QString manifest;  // its manifest's path; empty when none is asked for
    QString preview;   // its preview page's path; empty when none is asked for
    StripFiles::Format format = StripFiles::Format::Bmp;
};

// Whether -o names a folder: it ends in a separator, or a folder stands
// there (outputIsFolder, which the runner finds out).
bool OutputIsFolder(const Options& o, bool folderThere);

// -o against --format and the number of pictures: several pictures need a
// folder, and a file ending in .png or .bmp must agree with --format.
std::optional<Message> CheckOutput(const Options& o, bool outputIsFolder);

// The format of every strip of this run: --format, else the ending of a
// single file's -o (".png", either case, gives PNG), else BMP.
StripFiles::Format ChosenFormat(const Options& o, bool outputIsFolder);

// The strip's path for a picture: -o itself for a single file; otherwise
// "<name>_Seq_H" or "_Seq_V" with the format's ending, in the -o folder or
// the picture's own. The manifest and the preview page lie beside it, its
// ending replaced by ".json" and ".html".
Target TargetFor(const Options& o, bool outputIsFolder, const QString& picture);

// What the plan needs to know of a loaded picture.
struct PictureFacts {
    int width = 0;  // pixels
    int height = 0;
    bool transparent = false;  // some pixel is not wholly opaque
    bool vector = false;       // a drawing, drawn at the size asked for
};

// One file to write: the strip, or a text beside it.
struct Job {
    enum class Kind { Strip, Text };
    Kind kind = Kind::Strip;
    QString path;
    QByteArray text;  // Text: the file's bytes
};

struct PicturePlan {
    Target target;
    StripPlan strip;          // parameters after repair, the strip's size
    bool alpha = false;       // the strip keeps the picture's transparency (PNG, RGBA)
    std::optional<QRgb> lay;  // the colour a transparent picture is laid on first
    std::vector<Message> warnings;
    Message refusal;        // set: nothing is written for this picture
    std::vector<Job> jobs;  // the files beside the strip first, the strip last
};

PicturePlan PlanPicture(const Options& o, bool outputIsFolder, const QString& picture,
                        const PictureFacts& facts);

}  // namespace StripCli
