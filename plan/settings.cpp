#include "settings.h"

#include <algorithm>

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Png;

namespace Plan {

Settings Resolve(const Options& o) {
    Settings s;
    const Toolkit* toolkit = o.toolkit;
    s.preset = toolkit != nullptr;
    s.layout = o.layout.value_or(
        LayoutChoice{toolkit != nullptr ? toolkit->layout : StripLayout::Horizontal(), false});
    if (toolkit != nullptr) s.frames = toolkit->frames;
    s.start = o.start.value_or(toolkit != nullptr ? toolkit->start : 0.0);
    // A toolkit's arc is symmetric about 12 o'clock; a sweep of its own
    // keeps it so, unless the start is given too.
    if (toolkit != nullptr && o.sweep && !o.start && !o.angle) s.start = -*o.sweep / 2.0;
    // One of step, sweep and end decides the turn; the toolkit's arc ends
    // where it ends, wherever the strip starts.
    if (o.angle)
        s.step = o.angle;
    else if (o.sweep)
        s.sweep = o.sweep;
    else if (o.end)
        s.sweep = *o.end - s.start;
    else if (toolkit != nullptr)
        s.sweep = toolkit->end - s.start;
    else
        s.step = static_cast<double>(KnobParams{}.RotAngle);
    // A strip on standard output has no place beside it for a toolkit's file.
    const bool beside = o.output != QLatin1String("-");
    if (toolkit != nullptr && beside) s.sides = toolkit->sides;
    // A layout asked for against the toolkit's keeps only the toolkit's files
    // that can describe it.
    if (o.layout)
        s.sides.keep(Output::DescribingLayout(o.layout->strip.kind() == StripLayout::Kind::Grid,
                                              o.layout->frameFiles));
    if (o.sides) s.sides = *o.sides;
    if (o.manifest) s.sides.add(Output::SideFile::Manifest);
    if (o.preview) s.sides.add(Output::SideFile::Preview);
    // VSTGUI finds a strip's larger scales by "#2x" in its name.
    const bool uidesc = s.sides.has(Output::SideFile::Uidesc);
    s.naming = uidesc ? ScaleNaming::Hash : toolkit != nullptr ? toolkit->naming : ScaleNaming::At;
    s.namedScales = !o.scales.empty();
    s.scales = s.namedScales ? o.scales : std::vector<double>{o.scale};
    if (uidesc && s.namedScales &&
        std::find(s.scales.begin(), s.scales.end(), 1.0) == s.scales.end()) {
        s.scales.insert(std::lower_bound(s.scales.begin(), s.scales.end(), 1.0), 1.0);
        s.addedOneX = true;
    }
    s.square = o.square || (toolkit != nullptr && toolkit->rules.squareFrames);
    return s;
}

}  // namespace Plan
