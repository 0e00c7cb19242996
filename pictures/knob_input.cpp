#include "knob_input.h"

#include <QElapsedTimer>
#include <QXmlStreamReader>

#include <zlib.h>

#include <algorithm>

#include "drawing_player.h"
#include "metafile_protocol.h"
#include "native_path.h"
#include "picture_protocol.h"

using namespace Messages;
using namespace Platform;

namespace Pictures {

namespace KnobInput {

namespace {

using Pictures::LoadStatus;

Picture unreadable(Message message) {
    return {.status = LoadStatus::Unreadable, .message = std::move(message)};
}

// Whether the bytes could start an XML text: a byte-order mark, or '<' or
// white space in whatever width the text's characters have.
bool mightBeXml(const QByteArray& head) {
    for (const char* mark : {"\xEF\xBB\xBF", "\xFF\xFE", "\xFE\xFF"})
        if (head.startsWith(mark)) return true;
    if (head.startsWith(QByteArray("\0\0\xFE\xFF", 4))) return true;
    for (const char c : head)
        if (c != '\0') return c == '<' || c == ' ' || c == '\t' || c == '\r' || c == '\n';
    return false;
}

// Whether XML text is a drawing: its first element is <svg>, after whatever
// comments, declarations and processing instructions, or the text breaks
// off before any element (the drawing player then says what is wrong with
// it). Read as the drawing player reads it.
bool startsAsDrawing(const QByteArray& text) {
    QXmlStreamReader xml(text);
    xml.setNamespaceProcessing(false);
    while (!xml.atEnd())
        if (xml.readNext() == QXmlStreamReader::StartElement)
            return xml.name() == QLatin1String("svg");
    return true;
}

// The start of gzip-compressed data unpacked, at most maxBytes of it (less
// when the data is damaged or ends): enough to tell a compressed drawing
// by its text, without unpacking what may be a bomb.
QByteArray unpackedStart(const QByteArray& packed, qsizetype maxBytes) {
    QByteArray out(maxBytes, Qt::Uninitialized);
    z_stream z{};
    if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return {};
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    inflate(&z, Z_SYNC_FLUSH);
    out.truncate(out.size() - static_cast<qsizetype>(z.avail_out));
    inflateEnd(&z);
    return out;
}

// Whether the bytes are a drawing: XML text whose first element is <svg>
// (or that breaks off before any), compressed or not.
bool isDrawing(const QByteArray& bytes) {
    const bool packed = bytes.startsWith("\x1F\x8B");
    const QByteArray text = packed ? unpackedStart(bytes, 64 * 1024) : bytes;
    return mightBeXml(text.left(4)) && startsAsDrawing(text);
}

Picture played(const PlayerClient::Played& drawing, const QString& name) {
    using PlayerClient::Result;
    if (drawing.result == Result::Drawn) {
        Picture picture{LoadStatus::Loaded, Pictures::WithAlpha(drawing.image), drawing.width,
                        drawing.height};
        picture.vector = true;
        return picture;
    }
    if (drawing.result == Result::TooLarge)
        return {.status = LoadStatus::TooLarge,
                .width = drawing.width,
                .height = drawing.height,
                .vector = true};
    return unreadable(PlayerClient::Refusal(drawing.result, DrawingPlayer::kPlayer, name));
}

Picture raster(QFile& file, const QString& name, const Request& request) {
    const auto loaded = Pictures::LoadOpenPicture(file, name, request.maxSide, {true, true});
    if (loaded.status == LoadStatus::Loaded && request.scale != 1.0)
        return unreadable({.code = MessageCode::RasterNotScaled, .subject = name});
    Picture picture{loaded.status, loaded.image, loaded.size.width(), loaded.size.height(),
                    loaded.message};
    picture.windowKind = loaded.windowKind;
    return picture;
}

Picture draw(const QByteArray& bytes, const QString& name, const Request& request) {
    const int square = request.drawSize.value_or(0);
    QElapsedTimer timer;
    timer.start();
    auto drawn =
        DrawingPlayer::Play(bytes, {request.maxSide, square, request.scale, request.oversample});
    // Drawn as finely as it fits, a drawing that takes too long is drawn
    // once more at its own size: a busy drawing may need the whole deadline
    // for that.
    const bool finestTooSlow = drawn.result == PlayerClient::Result::TimedOut &&
                               request.oversample == DrawingProtocol::kFinest;
    if (finestTooSlow) {
        timer.restart();
        drawn = DrawingPlayer::Play(bytes, {request.maxSide, square, request.scale, 1});
    }
    Picture picture = played(drawn, name);
    if (picture.status == LoadStatus::Loaded) {
        picture.drawing = bytes;
        picture.drawnMs = timer.elapsed();
        const qint64 own = qint64{picture.image.width()} * picture.image.height();
        const int k = finestTooSlow ? 1 : DrawingProtocol::OversampleFor(request.oversample, own);
        picture.drawnPixels = own * k * k;
        picture.finestTooSlow = finestTooSlow;
    }
    return picture;
}

}  // namespace

qint64 MaxFileBytes(int maxSide) {
    return std::max({PictureProtocol::MaxBytes(maxSide), DrawingProtocol::kMaxBytes,
                     MetafileProtocol::kMaxBytes});
}

Picture Load(const QString& path, const Request& request) {
    const QString name = NativePath::FileName(path);
    QFile file;
    if (auto opened = Pictures::OpenPictureFile(path, file); opened.status != LoadStatus::Loaded)
        return unreadable(opened.message);
    return LoadOpen(file, name, request);
}

Picture LoadOpen(QFile& file, const QString& name, const Request& request) {
    const QByteArray head = file.peek(4);
    if (!head.startsWith("\x1F\x8B") && !mightBeXml(head)) return raster(file, name, request);
    // A drawing is read whole anyway: as far as its first element to know
    // that it is one, all of it to draw it.
    const QByteArray bytes = file.read(DrawingProtocol::kMaxBytes);
    if (!isDrawing(bytes)) {
        file.seek(0);
        return raster(file, name, request);
    }
    if (!file.atEnd())
        return unreadable({.code = MessageCode::CannotRead,
                           .reason = {MessageCode::FileTooLong, 0},
                           .subject = name,
                           .facts = {{Fact::Mebibytes, DrawingProtocol::kMaxBytes >> 20}}});
    return draw(bytes, name, request);
}

Picture Redraw(const Picture& drawing, const QString& name, const Request& request) {
    return draw(drawing.drawing, name, request);
}

std::variant<std::unique_ptr<Engine::DrawnFrames>, Message> DrawFrames(
    const Picture& drawing, const QString& name, const Request& request,
    const DrawingProtocol::FrameMotion& motion) {
    // Drawn no finer than the drawing itself could be, with the time its
    // one drawing took.
    const int oversample = drawing.finestTooSlow ? 1 : request.oversample;
    auto played =
        DrawingPlayer::PlayFrames(drawing.drawing,
                                  {request.maxSide, request.drawSize.value_or(0), request.scale,
                                   oversample, drawing.drawnMs, drawing.drawnPixels},
                                  motion);
    using PlayerClient::Result;
    if (played.result == Result::Drawn) return std::move(played.frames);
    if (played.diskError != 0)
        return Message{.code = MessageCode::CannotRead,
                       .reason = SystemReason(played.diskError),
                       .subject = name};
    if (played.noTemporaryFile)
        return Message{.code = MessageCode::CannotRead,
                       .reason = {MessageCode::NoTemporaryFolder, 0},
                       .subject = name};
    if (played.result == Result::TooLarge)
        return Message{.code = MessageCode::CannotRead,
                       .reason = {MessageCode::DrawingTooLarge, 0},
                       .subject = name};
    return PlayerClient::Refusal(played.result, DrawingPlayer::kPlayer, name);
}

}  // namespace KnobInput

}  // namespace Pictures
