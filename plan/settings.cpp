#include "settings.h"

namespace StripCli {

Settings Resolve(const Options& o) {
    Settings s;
    const Toolkit* toolkit = o.toolkit;
    s.preset = toolkit != nullptr;
    s.layout = o.layout.value_or(
        LayoutChoice{toolkit != nullptr ? toolkit->layout : StripLayout::Horizontal(), false});
    s.frames = toolkit != nullptr ? toolkit->frames : KnobParams{}.FrameCount;
    s.start = o.start.value_or(toolkit != nullptr ? toolkit->start : 0.0);
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
    s.sides = o.sides.value_or(toolkit != nullptr && beside ? toolkit->sides : SideFiles{0});
    if (o.manifest) s.sides |= static_cast<SideFiles>(SideFile::Manifest);
    s.naming = toolkit != nullptr ? toolkit->naming : ScaleNaming::At;
    s.namedScales = !o.scales.empty();
    s.scales = s.namedScales ? o.scales : std::vector<double>{o.scale};
    return s;
}

}  // namespace StripCli
