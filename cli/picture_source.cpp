#include "picture_source.h"

#include <cstring>

#include <QFileInfo>
#include <QPainter>
#include <QTemporaryFile>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "box_downscale.h"
#include "drawn_disc.h"
#include "picture_io.h"
#include "strip_compositor.h"

using namespace Engine;
using namespace Messages;
using namespace Pictures;
using namespace Plan;

namespace Cli {

namespace {

using KnobInput::Picture;

// Standard input copied into an unnamed file, so that it is read as any
// picture file is: as far as its start says, and again from the start.
// Nothing when it is copied, else why not.
Reason copyStandardInput(QTemporaryFile& copy, qint64 limit) {
    if (!copy.open()) return {MessageCode::NoTemporaryFolder, 0};
    char buffer[65536];
    for (qint64 total = 0;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return SystemReason(errno);
        if (n == 0) break;
        total += n;
        if (total > limit) return {MessageCode::FileTooLong, 0};
        if (copy.write(buffer, n) != n) return {MessageCode::NoTemporaryFolder, 0};
    }
    return copy.seek(0) ? Reason{} : Reason{MessageCode::NoTemporaryFolder, 0};
}

// The loader names a file by its name; the command line names it as the
// user gave it, folders and all.
Picture namedAsGiven(Picture picture, const QString& path) {
    if (picture.message && picture.message.subject == QFileInfo(path).fileName())
        picture.message.subject = path;
    return picture;
}

}  // namespace

Picture ReadPicture(const QString& path, const KnobInput::Request& request) {
    if (path != QLatin1String("-")) return namedAsGiven(KnobInput::Load(path, request), path);
    QTemporaryFile copy;
    const qint64 limit = KnobInput::MaxFileBytes(request.maxSide);
    if (const Reason failed = copyStandardInput(copy, limit); failed.code != MessageCode::None)
        return {.message = {.code = MessageCode::CannotRead,
                            .reason = failed,
                            .subject = path,
                            .facts = {{Fact::Mebibytes, limit >> 20}}}};
    return KnobInput::LoadOpen(copy, path, request);
}

QImage OnMargin(const QImage& image, int width, int height) {
    if (image.width() == width && image.height() == height) return image;
    QImage canvas(width, height, QImage::Format_ARGB32);
    if (canvas.isNull()) return canvas;
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage((width - image.width()) / 2, (height - image.height()) / 2, image);
    painter.end();
    return Pictures::WithAlpha(canvas);
}

PixelGrid Captured(const QImage& picture) {
    const QImage argb = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                          : QImage::Format_RGB32);
    PixelGrid grid;
    grid.allocate(argb.width(), argb.height());
    if (grid.empty()) return grid;
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(grid.data() + grid.offset(1, 1, y + 1), argb.constScanLine(y),
                    static_cast<std::size_t>(argb.width()) * 4);
    return grid;
}

namespace {

// A size as the square of its long side makes it.
ScaledSize squaredSize(ScaledSize size) {
    const int side = std::max(size.width, size.height);
    return {size.scale, side, side};
}

// The picture's frames at one scale: its pixels, and the disc turned in them.
class PictureFrames final : public Render::ForwardedFrames {
public:
    PictureFrames(PixelGrid grid, const KnobParams& params, Routine routine)
        : grid_(std::move(grid)), disc_(params, routine, grid_) {
        forwardTo(disc_);
    }

private:
    PixelGrid grid_;
    Render::DiscFrames disc_;
};

// The frames of a drawing at one scale: its pixels outside the disc, and
// inside it the drawing drawn turned for each frame.
class DrawnPictureFrames final : public Render::ForwardedFrames {
public:
    DrawnPictureFrames(PixelGrid grid, std::unique_ptr<DrawnFrames> drawn, const KnobParams& params,
                       std::optional<QRgb> lay)
        : grid_(std::move(grid)),
          drawn_(std::move(drawn)),
          disc_(params, grid_, *drawn_,
                lay ? std::optional<uint32_t>(*lay & 0xFFFFFFu) : std::nullopt) {
        forwardTo(disc_);
    }

private:
    PixelGrid grid_;
    std::unique_ptr<DrawnFrames> drawn_;
    Render::DrawnDiscFrames disc_;
};

// Whether some frame turns the disc.
bool turns(const KnobParams& params) {
    return params.RotRadius > 0.0f && (params.RotAngle != 0.0f || params.StartAngle != 0.0f);
}

}  // namespace

bool PictureSource::drawnTurn(const KnobParams& params) const {
    return first_.vector && s_.drawnMotion && turns(params);
}

std::variant<std::unique_ptr<Render::FrameMaker>, Message> PictureSource::frames(
    std::size_t k, const PicturePlan& plan) const {
    const auto drawn = draw(k);
    if (const auto* failed = std::get_if<Message>(&drawn)) return *failed;
    const QImage& image = std::get<QImage>(drawn);
    PixelGrid grid = Captured(plan.lay ? Pictures::OverColour(image, *plan.lay) : image);
    if (grid.empty())
        return Message{
            .code = MessageCode::NoMemoryForStrip,
            .facts = {{Fact::Width, plan.strips[k].size.X}, {Fact::Height, plan.strips[k].size.Y}}};
    const KnobParams& params = plan.strips[k].params;
    if (!drawnTurn(params))
        return std::unique_ptr<Render::FrameMaker>(
            new PictureFrames(std::move(grid), params, s_.routine));
    // Drawn as draw(k) draws it, on its margin, turned about the centre
    // the pixels would turn about.
    const ScaledSize& size = drawn_.at(k);
    const ScaledSize& framed = facts_.sizes.at(k);
    DrawingProtocol::FrameMotion motion;
    motion.frames = params.FrameCount;
    motion.width = framed.width;
    motion.height = framed.height;
    motion.x = motion.toX = (framed.width - size.width) / 2;
    motion.y = motion.toY = (framed.height - size.height) / 2;
    motion.start = params.StartAngle;
    motion.step = params.RotAngle;
    motion.pivotX = framed.width / 2.0;
    motion.pivotY = framed.height / 2.0;
    auto played = KnobInput::DrawFrames(
        first_, path_, {o_.maxSize, o_.size, s_.namedScales ? size.scale : o_.scale, s_.oversample},
        motion);
    if (auto* failed = std::get_if<Message>(&played)) return std::move(*failed);
    return std::unique_ptr<Render::FrameMaker>(
        new DrawnPictureFrames(std::move(grid), std::move(std::get<0>(played)), params, plan.lay));
}

Message PictureSource::tooLarge(qint64 width, qint64 height) const {
    return {.code = MessageCode::PictureFileTooLarge,
            .subject = path_,
            .facts = {{Fact::MaxSide, o_.maxSize}, {Fact::Width, width}, {Fact::Height, height}}};
}

std::variant<std::unique_ptr<PictureSource>, Message> PictureSource::Open(const Options& o,
                                                                          const Settings& s,
                                                                          const QString& path) {
    std::unique_ptr<PictureSource> source(new PictureSource(o, s, path));
    Picture& first = source->first_;
    first = ReadPicture(path, {o.maxSize, o.size, s.namedScales ? 1.0 : o.scale, s.oversample});
    if (first.status == LoadStatus::TooLarge) return source->tooLarge(first.width, first.height);
    if (first.status != LoadStatus::Loaded) return first.message;
    PictureFacts& facts = source->facts_;
    facts.vector = first.vector;
    facts.drawn = first.vector && s.drawnMotion;
    facts.windowKind = first.windowKind;
    facts.transparent = first.image.hasAlphaChannel();
    const int width = first.image.width(), height = first.image.height();
    if (first.vector) {
        // The drawing player draws scale k at its size at 1x times k,
        // rounded half to even; every scale is measured so before any is
        // drawn.
        for (const double scale : s.scales) {
            const double k = s.namedScales ? scale : 1.0;
            const auto w = static_cast<qint64>(std::nearbyint(width * k));
            const auto h = static_cast<qint64>(std::nearbyint(height * k));
            if (w > o.maxSize || h > o.maxSize) return source->tooLarge(w, h);
            facts.sizes.push_back({scale, static_cast<int>(w), static_cast<int>(h)});
        }
    } else {
        const auto scaling = RasterSizes(o, s, width, height, path);
        if (const auto* refused = std::get_if<Message>(&scaling)) return *refused;
        const RasterScaling& sizes = std::get<RasterScaling>(scaling);
        facts.sizes = sizes.sizes;
        if (sizes.padded()) {
            first.image = OnMargin(first.image, sizes.paddedWidth, sizes.paddedHeight);
            facts.padded = true;
            facts.unpaddedWidth = width;
            facts.unpaddedHeight = height;
            facts.paddedWidth = sizes.paddedWidth;
            facts.paddedHeight = sizes.paddedHeight;
        }
    }
    source->drawn_ = facts.sizes;
    if (s.square)
        for (ScaledSize& size : facts.sizes) {
            facts.squared |= size.width != size.height;
            size = squaredSize(size);
        }
    facts.padded |= facts.squared;
    return source;
}

std::variant<QImage, Message> PictureSource::draw(std::size_t k) const {
    const ScaledSize& size = drawn_.at(k);
    const QSize wanted(size.width, size.height);
    QImage image = first_.image;
    if (first_.vector && s_.namedScales) {
        const Picture again = namedAsGiven(
            KnobInput::Redraw(first_, path_, {o_.maxSize, o_.size, size.scale, s_.oversample}),
            path_);
        if (again.status == LoadStatus::TooLarge) return tooLarge(again.width, again.height);
        if (again.status != LoadStatus::Loaded) return again.message;
        image = again.image;
    } else if (!first_.vector && image.size() != wanted) {
        image = BoxDownscale(image, wanted);
    }
    // The plan was made for this size: a drawing that comes back otherwise
    // is not drawn as it was measured.
    if (!image.isNull() && image.size() != wanted)
        return Message{
            .code = MessageCode::CannotRead, .reason = {MessageCode::Damaged, 0}, .subject = path_};
    const ScaledSize& framed = facts_.sizes.at(k);
    if (!image.isNull()) image = OnMargin(image, framed.width, framed.height);
    if (image.isNull())
        return Message{.code = MessageCode::CannotRead,
                       .reason = {MessageCode::DrawingTooLarge, 0},
                       .subject = path_};
    return image;
}

}  // namespace Cli
