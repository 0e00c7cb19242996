#pragma once

#include <QByteArray>
#include <QPointF>
#include <QRgb>
#include <QString>

#include <optional>
#include <variant>
#include <vector>

#include "build_rules.h"
#include "message.h"
#include "options.h"
#include "settings.h"
#include "side_files.h"
#include "strip_facts.h"
#include "strip_names.h"

namespace Plan {

// The planner: from the options and what a picture is to the files a run
// writes for it. Nothing here reads or writes a file; what it needs to know
// of the system (whether -o is a folder) it is told.

// Whether -o names a folder: it ends in a separator, a folder stands there
// (folderThere, which the runner finds out), or the name has no ending.
bool OutputIsFolder(const Options& o, bool folderThere);

// -o against --format, the number of pictures and what -o may be: several
// pictures need a folder, a file's ending must be .png or .bmp and agree
// with --format, and a layout of frame files or files beside the strip need
// a place of their own (not standard output). --embed holds one picture's
// strips, not frame files; --watch cannot watch standard input, and
// --list-outputs writes no dependency file.
std::optional<Messages::Message> CheckOutput(const Options& o, const Settings& s,
                                             bool outputIsFolder);

// Where the strip of a picture goes: -o itself for a single file, else
// "<name>_Seq_H" (or _Seq_V, _Seq_G for a grid, _Seq_F for frame files) in
// the -o folder or the picture's own; the ending left off. "-": standard
// output.
QString StripBase(const Options& o, const Settings& s, bool outputIsFolder, const QString& picture);

// The picture at one scale, as the runner draws it.
struct ScaledSize {
    double scale = 1.0;
    int width = 0;  // pixels
    int height = 0;
};

// How a pixel picture of width x height is drawn for each scale: its
// logical size is --size (its longer side; the proportions kept), else the
// picture's own size over the largest scale. Where that size does not divide
// by every scale and the largest would need a pixel more than the picture
// has (a 127-pixel knob at 1x and 2x), the picture is first laid centred on
// a clear margin to the next size they all divide (padded), never enlarged.
// --size asking for more than the picture has is refused with
// RasterNotEnlarged (name: the picture's), --scale with RasterNotScaled.
struct RasterScaling {
    std::vector<ScaledSize> sizes;
    int paddedWidth = 0;  // the picture with its margin; its own size when none
    int paddedHeight = 0;
    bool padded() const;
    int width = 0;  // the picture's own size
    int height = 0;
};
std::variant<RasterScaling, Messages::Message> RasterSizes(const Options& o, const Settings& s,
                                                           int width, int height,
                                                           const QString& name);

// What the plan needs to know of a loaded picture.
struct PictureFacts {
    std::vector<ScaledSize> sizes;  // one for each of the settings' scales
    bool transparent = false;       // some pixel of the picture is not wholly opaque
    bool padded = false;            // a clear margin was added (a square, the scales)
    bool squared = false;           // the picture was laid on a square of its long side
    // A stack: each layer's top-left corner at value 0, pixels of the
    // canvas at 1x (a drawn arc's: 0, 0).
    std::vector<QPointF> layersAt;
    // Which layers are drawings drawn for each frame with their turn or
    // slide in them; for one picture, whether it is one whose disc is.
    std::vector<bool> layersDrawn;
    bool drawn = false;
    // The scales' margin: the picture's own size, and with the margin
    // (0 x 0: none).
    int unpaddedWidth = 0, unpaddedHeight = 0, paddedWidth = 0, paddedHeight = 0;
    bool vector = false;      // a drawing, drawn at the size asked for
    bool windowKind = false;  // a kind the window reads (BMP, JPEG, GIF, ...)
};

// One file to write.
struct Job {
    enum class Kind {
        Strip,        // the strip of scale `scale`
        Frame,        // frame `frame` of scale `scale`, a picture of its own
        Text,         // `text`
        HoldsStrips,  // a side file that holds the strip files' bytes (`side`)
        Embedding,    // C source that holds the strip files' bytes (--embed)
        Animation,    // the animated preview, from scale 1's frames
    };
    Kind kind = Kind::Strip;
    QString path;  // "-": standard output
    QByteArray text;
    std::size_t scale = 0;
    int32_t frame = 0;
    Output::SideFile side = Output::SideFile::Manifest;
    Engine::StripExtent size;  // Strip, Frame: the picture's size, pixels
    // Text, HoldsStrips, Embedding: what the file is, as the line that says
    // it was written names it.
    Messages::MessageCode what = Messages::MessageCode::None;
};

struct PicturePlan {
    Output::Format format = Output::Format::Bmp;
    bool alpha = false;       // the strips keep the picture's transparency (PNG, RGBA)
    std::optional<QRgb> lay;  // the colour a transparent picture is laid on first
    std::vector<Engine::StripBuild> strips;  // for each scale: parameters after repair, size
    Output::StripFacts facts;                // the one description of the strips
    std::vector<Messages::Message> warnings;
    Messages::Message refusal;  // set: nothing is written for this picture
    // The strip's format was chosen by the picture's pixels (its
    // transparency), not by the options: its name is known only once it is
    // read.
    bool formatFollowsPicture = false;
    std::vector<Job> jobs;  // the files beside the strips first, the strips last
};

// The header beside --embed's source: its name with the ending ".h".
QString EmbedHeader(const QString& source);

PicturePlan PlanPicture(const Options& o, const Settings& s, bool outputIsFolder,
                        const QString& picture, const PictureFacts& facts);

// The most frame files one picture makes, all scales together.
inline constexpr int64_t kMaxFrameFiles = 10000;

// The longest strip side many graphics cards load as one texture.
inline constexpr int64_t kTextureLimit = 16384;

}  // namespace Plan
