// A stack of layers as the command line draws it: every layer's file read
// once, the canvas and every layer measured at every scale at once, and the
// layers drawn for one scale at a time.
#include <algorithm>
#include <cmath>
#include <deque>
#include <map>

#include "box_downscale.h"
#include "leading_number.h"
#include "picture_io.h"
#include "picture_source.h"
#include "stack_frames.h"
#include "strip_source.h"

using namespace Engine;
using namespace Messages;
using namespace Pictures;
using namespace Plan;

namespace Cli {

namespace {

using KnobInput::Picture;

// A layer's pixels and the stack made of them, for one scale.
class LayeredFrames final : public Render::ForwardedFrames {
public:
    LayeredFrames(std::deque<PixelGrid> grids, std::vector<std::unique_ptr<DrawnFrames>> drawn,
                  int32_t width, int32_t height, int32_t frames,
                  std::vector<Render::StackLayer> layers, Routine routine, uint32_t background)
        : grids_(std::move(grids)),
          drawn_(std::move(drawn)),
          stack_(width, height, frames, std::move(layers), routine, background) {
        forwardTo(stack_);
    }

private:
    // The layers point into these; a deque keeps them where they are.
    std::deque<PixelGrid> grids_;
    std::vector<std::unique_ptr<DrawnFrames>> drawn_;
    Render::StackFrames stack_;
};

int rounded(double v) {
    return std::max(1, static_cast<int>(std::nearbyint(v)));
}

class StackSource final : public StripSource {
public:
    StackSource(const Options& o, const Settings& s) : o_(o), s_(s) {}

    std::optional<Message> open(const QString& path);
    const PictureFacts& facts() const override { return facts_; }
    std::variant<std::unique_ptr<Render::FrameMaker>, Message> frames(
        std::size_t k, const PicturePlan& plan) const override;

private:
    // The factor from a layer's own pixels to those of scale k.
    double factor(std::size_t k) const {
        return s_.namedScales ? s_.scales[k] * oneX_ : s_.scales[k];
    }
    QSize layerSize(const Picture& picture, std::size_t k) const {
        return {rounded(picture.image.width() * factor(k)),
                rounded(picture.image.height() * factor(k))};
    }
    std::variant<QImage, Message> draw(const LayerEntry& layer, const Picture& picture,
                                       std::size_t k) const;
    // Whether the layer is a drawing drawn for each frame, moved in its
    // drawing, rather than its pixels moved.
    bool drawsFrames(const LayerEntry& layer, std::size_t k) const {
        if (layer.file.isEmpty() || !s_.drawnMotion || !pictures_.at(layer.file).vector)
            return false;
        if (layer.motion != LayerMotion::Turn && layer.motion != LayerMotion::Slide) return false;
        // The player draws on a canvas no larger than a picture may be.
        return facts_.sizes[k].width <= PlayerProtocol::kMaxSide &&
               facts_.sizes[k].height <= PlayerProtocol::kMaxSide;
    }
    Render::StackLayer placed(const LayerEntry& layer, const PixelGrid* pixels, std::size_t k,
                              const PicturePlan& plan) const;
    std::variant<std::unique_ptr<DrawnFrames>, Message> drawnFrames(const LayerEntry& layer,
                                                                    const Render::StackLayer& at,
                                                                    std::size_t k) const;

    const Options& o_;
    const Settings& s_;
    std::vector<LayerEntry> layers_;  // the picture's file filled in
    std::map<QString, Picture> pictures_;
    double oneX_ = 1.0;  // from a layer's own pixels to those of 1x
    QSizeF canvas1x_;
    PictureFacts facts_;
};

std::optional<Message> StackSource::open(const QString& path) {
    layers_ = s_.layers;
    QSize largest;
    for (LayerEntry& layer : layers_) {
        if (layer.picture) layer.file = path;
        if (layer.file.isEmpty() || pictures_.count(layer.file) != 0) continue;
        // A drawing at its own size: every scale is drawn from it again.
        Picture read = ReadPicture(layer.file, {o_.maxSize, std::nullopt, 1.0, s_.oversample});
        if (read.status == LoadStatus::TooLarge)
            return Message{.code = MessageCode::PictureFileTooLarge,
                           .subject = layer.file,
                           .facts = {{Fact::MaxSide, o_.maxSize},
                                     {Fact::Width, read.width},
                                     {Fact::Height, read.height}}};
        if (read.status != LoadStatus::Loaded) return read.message;
        largest = largest.expandedTo(read.image.size());
        facts_.transparent |= read.image.hasAlphaChannel();
        pictures_.emplace(layer.file, std::move(read));
    }
    if (largest.isEmpty() && !o_.canvas)
        return Message{.code = MessageCode::EmptyPicture, .subject = path};
    // The layers keep their proportions to each other: at 1x the largest is
    // --size long, or its own size over the largest scale.
    const double longer = std::max(largest.width(), largest.height());
    if (s_.namedScales) oneX_ = o_.size && longer > 0 ? *o_.size / longer : 1.0 / s_.scales.back();
    canvas1x_ = o_.canvas ? QSizeF(*o_.canvas) : QSizeF(largest) * (s_.namedScales ? oneX_ : 1.0);
    for (std::size_t k = 0; k < s_.scales.size(); ++k) {
        const double scale = s_.namedScales ? s_.scales[k] : 1.0;
        facts_.sizes.push_back({s_.scales[k], rounded(canvas1x_.width() * scale),
                                rounded(canvas1x_.height() * scale)});
        for (const auto& [file, picture] : pictures_) {
            // A pixel picture is never drawn larger than it is.
            const QSize size = layerSize(picture, k);
            if (!picture.vector &&
                (size.width() > picture.image.width() || size.height() > picture.image.height()))
                return Message{.code = s_.namedScales ? MessageCode::RasterNotEnlarged
                                                      : MessageCode::RasterNotScaled,
                               .subject = file,
                               .facts = {{Fact::Width, picture.image.width()},
                                         {Fact::Height, picture.image.height()},
                                         {Fact::WantedWidth, size.width()},
                                         {Fact::WantedHeight, size.height()}}};
            if (size.width() > o_.maxSize || size.height() > o_.maxSize)
                return Message{.code = MessageCode::PictureFileTooLarge,
                               .subject = file,
                               .facts = {{Fact::MaxSide, o_.maxSize},
                                         {Fact::Width, size.width()},
                                         {Fact::Height, size.height()}}};
        }
    }
    // Every stack has a canvas that layers may leave clear.
    facts_.transparent = true;
    for (const LayerEntry& layer : layers_) {
        facts_.layersDrawn.push_back(drawsFrames(layer, 0));
        facts_.drawn |= facts_.layersDrawn.back();
    }
    // Where each layer lies at 1x, for the manifest.
    for (const LayerEntry& layer : layers_) {
        if (layer.file.isEmpty()) {
            facts_.layersAt.push_back({});
            continue;
        }
        const Picture& picture = pictures_.at(layer.file);
        const QSizeF size = QSizeF(picture.image.size()) * (s_.namedScales ? oneX_ : 1.0);
        facts_.layersAt.push_back(
            layer.at.value_or(QPointF(std::floor((canvas1x_.width() - size.width()) / 2.0),
                                      std::floor((canvas1x_.height() - size.height()) / 2.0))));
    }
    return std::nullopt;
}

std::variant<QImage, Message> StackSource::draw(const LayerEntry& layer, const Picture& picture,
                                                std::size_t k) const {
    const QSize wanted = layerSize(picture, k);
    QImage image = picture.image;
    if (picture.vector && wanted != image.size()) {
        const Picture again = KnobInput::Redraw(
            picture, layer.file, {o_.maxSize, std::nullopt, factor(k), s_.oversample});
        if (again.status != LoadStatus::Loaded) return again.message;
        image = again.image;
    } else if (!picture.vector && wanted != image.size()) {
        image = BoxDownscale(image, wanted);
    }
    if (image.isNull() || image.size() != wanted)
        return Message{.code = MessageCode::CannotRead,
                       .reason = {MessageCode::DrawingTooLarge, 0},
                       .subject = layer.file};
    return image;
}

Render::StackLayer StackSource::placed(const LayerEntry& layer, const PixelGrid* pixels,
                                       std::size_t k, const PicturePlan& plan) const {
    const double scale = s_.namedScales ? s_.scales[k] : 1.0;
    const ScaledSize& canvas = facts_.sizes[k];
    Render::StackLayer placed;
    placed.pixels = pixels;
    placed.motion = layer.motion;
    if (layer.arc) {
        // Lengths in pixels of the canvas at 1x, and defaults that fit it.
        Render::ValueArc arc{*layer.arc};
        const double shorter = std::min(canvas1x_.width(), canvas1x_.height());
        if (arc.style.width <= 0.0) arc.style.width = std::max(1.5, shorter * 0.06);
        if (arc.style.radius <= 0.0) arc.style.radius = shorter / 2.0 - arc.style.width;
        arc.style.width *= scale;
        arc.style.radius *= scale;
        arc.centreX = canvas.width / 2.0;
        arc.centreY = canvas.height / 2.0;
        arc.start = static_cast<double>(plan.facts.startAngle);
        arc.end = plan.facts.endAngle();
        // Finer only when asked: the drawings' default is not the arc's.
        arc.oversample = std::max(1, o_.oversample);
        placed.arc = arc;
        return placed;
    }
    const int w = pixels->width(), h = pixels->height();
    const QPointF at = layer.at ? *layer.at * scale
                                : QPointF(std::floor((canvas.width - w) / 2.0),
                                          std::floor((canvas.height - h) / 2.0));
    placed.x = at.x();
    placed.y = at.y();
    if (layer.slideTo) {
        placed.toX = layer.slideTo->x() * scale;
        placed.toY = layer.slideTo->y() * scale;
    }
    placed.fadeFrom = layer.fadeFrom;
    placed.fadeTo = layer.fadeTo;
    const QPointF pivot = layer.pivot ? *layer.pivot * scale : QPointF(w / 2.0, h / 2.0);
    placed.pivotX = pivot.x();
    placed.pivotY = pivot.y();
    placed.turn = plan.strips[k].params;
    if (layer.turnStart || layer.turnEnd) {
        const double start = layer.turnStart.value_or(static_cast<double>(plan.facts.startAngle));
        const double end = layer.turnEnd.value_or(plan.facts.endAngle());
        const int32_t steps = placed.turn.FrameCount - 1;
        placed.turn.StartAngle = ToFloat32(start);
        placed.turn.RotAngle = steps > 0 ? ToFloat32((end - start) / steps) : 0.0f;
    }
    return placed;
}

// A drawing that turns or slides, drawn for each frame on the canvas with
// the frame's turn or place in it, where the pixels would have turned about
// or slid to.
std::variant<std::unique_ptr<DrawnFrames>, Message> StackSource::drawnFrames(
    const LayerEntry& layer, const Render::StackLayer& at, std::size_t k) const {
    const ScaledSize& canvas = facts_.sizes[k];
    DrawingProtocol::FrameMotion motion;
    motion.frames = at.turn.FrameCount;
    motion.width = canvas.width;
    motion.height = canvas.height;
    if (at.motion == Render::StackLayer::Motion::Slide) {
        motion.x = at.x;
        motion.y = at.y;
        motion.toX = at.toX;
        motion.toY = at.toY;
    } else {
        // As the pixels turn: from a whole pixel, about a half one.
        motion.x = motion.toX = std::floor(at.x);
        motion.y = motion.toY = std::floor(at.y);
        motion.pivotX = motion.x + std::nearbyint(at.pivotX * 2.0) / 2.0;
        motion.pivotY = motion.y + std::nearbyint(at.pivotY * 2.0) / 2.0;
        motion.start = at.turn.StartAngle;
        motion.step = at.turn.RotAngle;
    }
    const int maxSide = std::max({o_.maxSize, canvas.width, canvas.height});
    return KnobInput::DrawFrames(pictures_.at(layer.file), layer.file,
                                 {maxSide, std::nullopt, factor(k), s_.oversample}, motion);
}

std::variant<std::unique_ptr<Render::FrameMaker>, Message> StackSource::frames(
    std::size_t k, const PicturePlan& plan) const {
    std::deque<PixelGrid> grids;
    std::vector<std::unique_ptr<DrawnFrames>> framesDrawn;
    std::vector<Render::StackLayer> layers;
    for (const LayerEntry& layer : layers_) {
        const PixelGrid* pixels = nullptr;
        if (!layer.file.isEmpty()) {
            const auto drawn = draw(layer, pictures_.at(layer.file), k);
            if (const auto* failed = std::get_if<Message>(&drawn)) return *failed;
            grids.push_back(Captured(std::get<QImage>(drawn)));
            if (grids.back().empty())
                return Message{.code = MessageCode::NoMemoryForStrip,
                               .facts = {{Fact::Width, plan.strips[k].size.X},
                                         {Fact::Height, plan.strips[k].size.Y}}};
            pixels = &grids.back();
        }
        layers.push_back(placed(layer, pixels, k, plan));
        if (drawsFrames(layer, k)) {
            auto played = drawnFrames(layer, layers.back(), k);
            if (auto* failed = std::get_if<Message>(&played)) return std::move(*failed);
            framesDrawn.push_back(std::move(std::get<0>(played)));
            layers.back().drawn = framesDrawn.back().get();
        }
    }
    const ScaledSize& canvas = facts_.sizes[k];
    return std::unique_ptr<Render::FrameMaker>(
        new LayeredFrames(std::move(grids), std::move(framesDrawn), canvas.width, canvas.height,
                          plan.strips[k].params.FrameCount, std::move(layers), s_.routine,
                          plan.lay.value_or(Pictures::kBoxBackground)));
}

}  // namespace

std::variant<std::unique_ptr<StripSource>, Message> OpenSource(const Options& o, const Settings& s,
                                                               const QString& path) {
    if (s.layers.empty()) {
        auto opened = PictureSource::Open(o, s, path);
        if (auto* failed = std::get_if<Message>(&opened)) return *failed;
        return std::unique_ptr<StripSource>(
            std::move(std::get<std::unique_ptr<PictureSource>>(opened)));
    }
    auto stack = std::make_unique<StackSource>(o, s);
    if (const auto failed = stack->open(path)) return *failed;
    return std::unique_ptr<StripSource>(std::move(stack));
}

}  // namespace Cli
