#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

#include "knob_params.h"
#include "safe_file.h"
#include "strip_render.h"

// The JSON file beside a strip that tells a toolkit's loader or a build
// script how to cut and play it.
namespace StripCli {

struct StripFacts {
    QString file;  // the strip's file name, without its folder
    int32_t frames = 0;
    int32_t frameWidth = 0;   // pixels
    int32_t frameHeight = 0;  // pixels
    StripOrientation orientation = StripOrientation::Horizontal;
    KnobParams params;  // as the strip was built: start and step angle, radius
    bool bilinear = true;
    bool alpha = false;  // whether the strip keeps transparency
};

// The manifest's text: one object with the keys file, frames, frameWidth,
// frameHeight, orientation ("horizontal" or "vertical"), startAngle and
// stepAngle (degrees, clockwise), radius (pixels), routine ("bilinear" or
// "nearest") and alpha (true or false). Angles and radius are the 32-bit
// values the strip was built with, written with the fewest digits that give
// them back.
QByteArray ManifestText(const StripFacts& facts);

// Writes the manifest beside its target, under a temporary name: the strip
// is written between Prepare and Commit, so a manifest that cannot be written
// stops the strip before anything is replaced, and a failed strip leaves the
// old manifest. Failures as a German message naming the file.
class PendingManifest {
public:
    explicit PendingManifest(const QString& path) : path_(path), file_(path) {}
    std::optional<QString> Prepare(const StripFacts& facts);
    std::optional<QString> Commit();

private:
    std::optional<QString> failure();

    QString path_;
    SafeFile file_;
};

}  // namespace StripCli
