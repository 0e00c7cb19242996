#pragma once

#include <QByteArray>
#include <QString>

#include "knob_params.h"
#include "strip_layout.h"

// The JSON file beside a strip that tells a toolkit's loader or a build
// script how to cut and play it.
namespace StripFiles {

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

// A 32-bit value as the double with the fewest decimal digits that reads
// back as it, for JSON.
double Shortest(float value);

}  // namespace StripFiles
