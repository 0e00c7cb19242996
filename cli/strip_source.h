#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <memory>
#include <variant>

#include "frame_maker.h"
#include "knob_input.h"
#include "message.h"
#include "options.h"
#include "picture_plan.h"
#include "pixel_grid.h"
#include "settings.h"

namespace Cli {

// What a picture's strips are made from, drawn for one scale at a time so
// that thirty large scales never lie in memory together: one picture turned
// in its disc, or a stack of layers.
class StripSource {
public:
    virtual ~StripSource() = default;

    // What the plan needs to know of it, its size at every scale among it.
    virtual const Plan::PictureFacts& facts() const = 0;

    // The frames of scale k of the settings' scales, with the plan's
    // parameters for it; a message naming the picture as the user gave it
    // when it cannot be drawn.
    virtual std::variant<std::unique_ptr<Render::FrameMaker>, Messages::Message> frames(
        std::size_t k, const Plan::PicturePlan& plan) const = 0;
};

// Reads what the path names ("-": standard input) as the options say: a
// picture, or the stack of layers the settings hold with the picture in it.
std::variant<std::unique_ptr<StripSource>, Messages::Message> OpenSource(const Plan::Options& o,
                                                                         const Plan::Settings& s,
                                                                         const QString& path);

// A picture read as the command line reads it, named in messages as it was
// given, folders and all.
Pictures::KnobInput::Picture ReadPicture(const QString& path,
                                         const Pictures::KnobInput::Request& request);

// The picture's pixels in a grid, the fourth byte its opacity (255 when
// opaque); an empty grid for want of memory.
Engine::PixelGrid Captured(const QImage& picture);

// The picture centred on a clear canvas of the given size (at least its
// own), the margin left and above the smaller half of the rest.
QImage OnMargin(const QImage& image, int width, int height);

}  // namespace Cli
