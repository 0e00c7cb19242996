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
    s.sides = toolkit != nullptr && beside ? toolkit->sides : SideFiles{0};
    // A layout asked for against the toolkit's keeps only the toolkit's files
    // that can describe it: Kontakt's text knows a strip, no grid, and frame
    // files have only the manifest.
    if (o.layout) {
        if (o.layout->frameFiles)
            s.sides &= static_cast<SideFiles>(SideFile::Manifest);
        else if (o.layout->strip.kind() == StripLayout::Kind::Grid)
            s.sides &= ~static_cast<SideFiles>(SideFile::Kontakt);
    }
    if (o.sides) s.sides = *o.sides;
    if (o.manifest) s.sides |= static_cast<SideFiles>(SideFile::Manifest);
    // VSTGUI finds a strip's larger scales by "#2x" in its name.
    const bool uidesc = (s.sides & static_cast<SideFiles>(SideFile::Uidesc)) != 0;
    s.naming = uidesc ? ScaleNaming::Hash : toolkit != nullptr ? toolkit->naming : ScaleNaming::At;
    s.namedScales = !o.scales.empty();
    s.scales = s.namedScales ? o.scales : std::vector<double>{o.scale};
    return s;
}

}  // namespace StripCli
