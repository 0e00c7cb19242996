#include "picture_source.h"

#include <QFileInfo>
#include <QPainter>
#include <QTemporaryFile>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "box_downscale.h"
#include "picture_io.h"

using namespace Messages;
using namespace Pictures;
using namespace Plan;

namespace Cli {

namespace {

using KnobInput::Picture;

// Standard input copied into an unnamed file, so that it is read as any
// picture file is: as far as its start says, and again from the start.
bool copyStandardInput(QTemporaryFile& copy, qint64 limit) {
    if (!copy.open()) return false;
    char buffer[65536];
    for (qint64 total = 0;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) break;
        total += n;
        if (total > limit || copy.write(buffer, n) != n) return false;
    }
    return copy.seek(0);
}

// The loader names a file by its name; the command line names it as the
// user gave it, folders and all.
Picture namedAsGiven(Picture picture, const QString& path) {
    if (picture.message && picture.message.subject == QFileInfo(path).fileName())
        picture.message.subject = path;
    return picture;
}

Picture load(const QString& path, const KnobInput::Request& request) {
    if (path != QLatin1String("-")) return namedAsGiven(KnobInput::Load(path, request), path);
    QTemporaryFile copy;
    // Larger than any picture file of the largest size the loader takes.
    const qint64 limit = qint64{request.maxSide} * request.maxSide * 8 + (64 << 20);
    if (!copyStandardInput(copy, limit))
        return {.message = {.code = MessageCode::CannotRead,
                            .reason = {MessageCode::Damaged, 0},
                            .subject = path}};
    return KnobInput::LoadOpen(copy, path, request);
}

// The picture centred on a clear canvas of the given size (at least its
// own), the margin left and above the smaller half of the rest.
QImage onMargin(const QImage& image, int width, int height) {
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

// A size as the square of its long side makes it.
ScaledSize squaredSize(ScaledSize size) {
    const int side = std::max(size.width, size.height);
    return {size.scale, side, side};
}

}  // namespace

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
    first = load(path, {o.maxSize, o.size, s.namedScales ? 1.0 : o.scale});
    if (first.status == LoadStatus::TooLarge) return source->tooLarge(first.width, first.height);
    if (first.status != LoadStatus::Loaded) return first.message;
    PictureFacts& facts = source->facts_;
    facts.vector = first.vector;
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
            first.image = onMargin(first.image, sizes.paddedWidth, sizes.paddedHeight);
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
            KnobInput::Redraw(first_, path_, {o_.maxSize, o_.size, size.scale}), path_);
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
    if (!image.isNull()) image = onMargin(image, framed.width, framed.height);
    if (image.isNull())
        return Message{.code = MessageCode::CannotRead,
                       .reason = {MessageCode::DrawingTooLarge, 0},
                       .subject = path_};
    return image;
}

}  // namespace Cli
