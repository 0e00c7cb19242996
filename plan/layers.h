#pragma once

#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

#include "knob_params.h"

namespace Plan {

// One layer of a stack, as the options or a recipe describe it. Places and
// lengths are pixels of the canvas at 1x; angles degrees clockwise from 12
// o'clock.
struct LayerEntry {
    QString file;          // a picture of any kind read; empty for a drawn arc
    bool picture = false;  // the picture the command line names stands here
    Engine::LayerMotion motion = Engine::LayerMotion::Still;
    std::optional<QPointF> at;       // its top-left corner (at value 0); none: centred
    std::optional<QPointF> slideTo;  // Slide: its top-left corner at value 1
    double fadeFrom = 0.0;           // Fade: its opacity at value 0 and 1
    double fadeTo = 1.0;
    std::optional<double> turnStart;  // Turn: none: the strip's own arc
    std::optional<double> turnEnd;
    std::optional<QPointF> pivot;         // Turn: in the layer; none: its centre
    std::optional<Engine::ArcStyle> arc;  // a drawn value arc
    // Where the layer came from, for messages: "--under", "layers[2]".
    QString origin;
};

}  // namespace Plan
