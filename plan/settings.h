#pragma once

#include <optional>
#include <vector>

#include "options.h"
#include "toolkits.h"

namespace Plan {

// What a run builds with: the options as given, and where they are silent,
// what the toolkit of --for reads, else the defaults.

struct Settings {
    LayoutChoice layout;
    int32_t frames = Engine::KnobParams{}.FrameCount;  // a count given stays in Options::frames
    double start = 0.0;                                // frame 1's turn, degrees
    std::optional<double> step;                        // the turn from frame to frame, degrees
    std::optional<double> sweep;  // or the whole turn from the first frame to the last
    Output::SideFileSet sides;    // the files beside each strip
    ScaleNaming naming = ScaleNaming::At;
    std::vector<double> scales;  // a strip for each, at least one
    bool namedScales = false;    // --scales: a strip not at 1 carries its scale in its name
    bool preset = false;         // a toolkit was named
    // How pixels turn: the routine asked for; without one the window's, or
    // the sharp routine for a toolkit.
    Engine::Routine routine = Engine::Routine::Bilinear;
    // A drawing that turns or slides is drawn again for each frame, moved in
    // its own drawing, unless a routine for pixels was asked for.
    bool drawnMotion = false;
    // Drawings drawn this many times as large and averaged down: as asked,
    // else as fine as their size allows (0) where they move in their own
    // drawing, else 1.
    int oversample = 1;
    // The picture is laid on a square of its long side: --square, or a
    // toolkit that counts frames by the long side.
    bool square = false;
    // A .uidesc names larger scales only beside a 1x bitmap: scale 1 was
    // added to those asked for.
    bool addedOneX = false;
    // A stack of layers, bottom first; empty: the one picture turned in its
    // disc, as the window turns it.
    std::vector<LayerEntry> layers;
};

Settings Resolve(const Options& o);

// What the layer options ask that cannot be: a slide with nowhere to go, an
// arc's colour with no arc, ... The message names the option and the one it
// needs.
std::optional<Messages::Message> CheckStack(const Options& o);

}  // namespace Plan
