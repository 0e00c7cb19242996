#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

#include "knob_params.h"
#include "strip_layout.h"
#include "strip_names.h"

namespace Output {

// One description of a picture's strips, from which every file written
// beside them is made: the manifest, a toolkit's side file, the preview page.

// One strip file: the strip at one scale.
struct ScaledStrip {
    QString file;             // the file's name, without its folder
    double scale = 1.0;       // pixels per logical pixel
    int32_t frameWidth = 0;   // pixels
    int32_t frameHeight = 0;  // pixels
    int64_t width = 0;        // the whole strip, pixels
    int64_t height = 0;
    float radius = 0.0f;  // the turned disc's radius the strip was built with, pixels
    // Frame files instead of a strip: their names, frame by frame (the strip's
    // size is then a frame's).
    QStringList frameFiles;
};

// One layer of a stack, as the manifest describes it: its file (empty for a
// drawn arc), how it moves and between which ends (a turn in degrees, a
// slide as top-left corners in pixels of the canvas at 1x, a fade as
// opacities from 0 to 1).
struct LayerFacts {
    QString file;
    QString motion;  // "still", "turn", "slide", "fade", "arc"
    double from = 0.0, to = 0.0;
    double fromX = 0.0, fromY = 0.0, toX = 0.0, toY = 0.0;
    bool drawn = false;  // drawn for each frame, moved in its drawing
};

// How the strip is played: a knob, turned by dragging up and down, or a
// slider, dragged along its axis the way its picture moves as the value
// grows.
enum class Control { Knob, SliderRight, SliderLeft, SliderUp, SliderDown };

struct StripFacts {
    QString name;  // the picture's name without its ending, for identifiers
    int32_t frames = 0;
    Engine::StripLayout layout = Engine::StripLayout::Horizontal();
    // Angles of frame 1 and of each step, degrees clockwise from the picture
    // as it is (the 32-bit values the strips were built with).
    float startAngle = 0.0f;
    float stepAngle = 0.0f;
    Engine::Routine routine = Engine::Routine::Bilinear;
    // The picture (or some layer) is a drawing drawn for each frame with
    // its turn or slide in it, not its pixels turned.
    bool drawn = false;
    bool alpha = false;  // the strips keep transparency
    Format format = Format::Png;
    int firstNumber = 1;              // frame files: the number of the first
    QString preset;                   // the toolkit whose preset made it, if one did
    std::vector<ScaledStrip> strips;  // scale 1 first when it is there, then larger
    std::vector<LayerFacts> layers;   // a stack, bottom first; none: one picture in its disc
    Control control = Control::Knob;
    // A slider: how far its picture moves along its axis from the first frame
    // to the last, pixels at 1x (0 for a knob).
    double travel = 0.0;

    // The angle of the last frame: start + step x (frames - 1), in double.
    double endAngle() const;
    // The logical frame size: the first strip's frame size over its scale.
    int32_t logicalFrameWidth() const;
    int32_t logicalFrameHeight() const;
};

// The version of the manifest's keys; raised when a key changes its meaning.
inline constexpr int kManifestVersion = 3;

// Which frame a consumer shows for a value from 0 to 1, as the manifest and
// the side files state it: the nearest of frames 0 .. frames - 1.
inline constexpr char kValueToFrame[] = "frame = round(value * (frames - 1))";

}  // namespace Output
