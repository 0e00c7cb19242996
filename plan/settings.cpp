#include "settings.h"

#include "option_table.h"

#include <algorithm>

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Png;

namespace Plan {

namespace {

// The stack the options describe: the still layers under the picture, the
// picture moving as --motion says, the value arc, the still layers over it.
std::vector<LayerEntry> layersOf(const Options& o) {
    std::vector<LayerEntry> layers;
    const auto still = [&](const QStringList& files, OptionId id) {
        for (const QString& file : files)
            layers.push_back({.file = file, .origin = QString::fromLatin1(RowOf(id).name)});
    };
    still(o.under, OptionId::Under);
    layers.push_back({.picture = true,
                      .motion = o.motion.value_or(LayerMotion::Turn),
                      .at = o.slideFrom,
                      .slideTo = o.slideTo,
                      .fadeFrom = o.fadeFrom.value_or(0.0),
                      .fadeTo = o.fadeTo.value_or(1.0)});
    if (o.arc) {
        ArcStyle arc = *o.arc;
        if (o.arcTrack) {
            arc.track = *o.arcTrack;
            arc.hasTrack = true;
        }
        arc.fromMiddle = o.arcFromMiddle.value_or(false);
        arc.roundEnds = o.arcRoundEnds.value_or(true);
        layers.push_back({.arc = arc, .origin = QString::fromLatin1(RowOf(OptionId::Arc).name)});
    }
    still(o.over, OptionId::Over);
    return layers;
}

Message needs(OptionId option, const QString& word, OptionId needed, const QString& neededWord) {
    const auto named = [](OptionId id, const QString& w) {
        const QString name = QString::fromLatin1(RowOf(id).name);
        return w.isEmpty() ? name : name + ' ' + w;
    };
    return {.code = MessageCode::OptionNeeds,
            .subject = named(option, word),
            .value = named(needed, neededWord)};
}

}  // namespace

std::optional<Message> CheckStack(const Options& o) {
    const auto motion = o.motion.value_or(LayerMotion::Turn);
    const QString slide = QString::fromLatin1(MotionName(LayerMotion::Slide));
    const QString fade = QString::fromLatin1(MotionName(LayerMotion::Fade));
    if (motion == LayerMotion::Slide && !o.slideTo)
        return needs(OptionId::Motion, slide, OptionId::SlideTo, {});
    if ((o.slideFrom || o.slideTo) && motion != LayerMotion::Slide)
        return needs(o.slideTo ? OptionId::SlideTo : OptionId::SlideFrom, {}, OptionId::Motion,
                     slide);
    if ((o.fadeFrom || o.fadeTo) && motion != LayerMotion::Fade)
        return needs(o.fadeTo ? OptionId::FadeTo : OptionId::FadeFrom, {}, OptionId::Motion, fade);
    const OptionId arcPart = o.arcTrack        ? OptionId::ArcTrack
                             : o.arcFromMiddle ? OptionId::ArcFrom
                             : o.arcRoundEnds  ? OptionId::ArcEnds
                                               : OptionId::Arc;
    if (!o.arc && arcPart != OptionId::Arc && o.layers.empty())
        return needs(arcPart, {}, OptionId::Arc, {});
    return std::nullopt;
}

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
    s.routine = o.routine.value_or(toolkit != nullptr ? Routine::Sharp : Routine::Bilinear);
    s.drawnMotion = !o.routine;
    s.oversample = o.oversample != 0 ? o.oversample : s.drawnMotion ? 0 : 1;
    if (o.stacked()) s.layers = o.layers.empty() ? layersOf(o) : o.layers;
    return s;
}

}  // namespace Plan
