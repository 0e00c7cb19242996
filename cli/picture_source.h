#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <memory>
#include <variant>

#include "knob_input.h"
#include "message.h"
#include "options.h"
#include "picture_plan.h"
#include "settings.h"
#include "strip_source.h"

namespace Cli {

// A picture as the command line draws it: read once, its size at every
// scale known at once, and drawn for one scale at a time; its frames turn a
// disc around its centre.
class PictureSource final : public StripSource {
public:
    // Reads the picture ("-": standard input) and works out what the plan
    // needs to know of it; a message naming the picture as the user gave it
    // when it cannot be read or drawn at the scales asked for.
    static std::variant<std::unique_ptr<PictureSource>, Messages::Message> Open(
        const Plan::Options& o, const Plan::Settings& s, const QString& path);

    const Plan::PictureFacts& facts() const override { return facts_; }
    std::variant<std::unique_ptr<Render::FrameMaker>, Messages::Message> frames(
        std::size_t k, const Plan::PicturePlan& plan) const override;

    // The picture at scale k of the settings' scales, as the strip takes
    // it: drawn or made smaller, laid on its margins; Format_ARGB32 or
    // Format_RGB32. A message when it cannot be drawn.
    std::variant<QImage, Messages::Message> draw(std::size_t k) const;

private:
    PictureSource(const Plan::Options& o, const Plan::Settings& s, QString path)
        : o_(o), s_(s), path_(std::move(path)) {}

    Messages::Message tooLarge(qint64 width, qint64 height) const;
    // Whether the drawing is drawn turned for each frame with these
    // parameters, rather than its pixels turned.
    bool drawnTurn(const Engine::KnobParams& params) const;

    const Plan::Options& o_;
    const Plan::Settings& s_;
    QString path_;                        // as the user gave it
    Pictures::KnobInput::Picture first_;  // as read; a drawing keeps its bytes to draw again
    Plan::PictureFacts facts_;
    std::vector<Plan::ScaledSize> drawn_;  // each scale's size before it is laid on a square
};

}  // namespace Cli
