#include "knob_input.h"

#include <QFileInfo>
#include <QXmlStreamReader>

#include "drawing_player.h"

using namespace Messages;

namespace Pictures {

namespace KnobInput {

namespace {

using Pictures::LoadStatus;

Picture unreadable(Message message) {
    return {.status = LoadStatus::Unreadable, .message = std::move(message)};
}

Picture unreadable(const QString& name, MessageCode reason) {
    return unreadable({.code = MessageCode::CannotRead, .reason = {reason, 0}, .subject = name});
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
    Picture picture =
        played(DrawingPlayer::Play(bytes, {request.maxSide, square, request.scale}), name);
    if (picture.status == LoadStatus::Loaded) picture.drawing = bytes;
    return picture;
}

}  // namespace

Picture Load(const QString& path, const Request& request) {
    const QString name = QFileInfo(path).fileName();
    QFile file;
    if (auto opened = Pictures::OpenPictureFile(path, file); opened.status != LoadStatus::Loaded)
        return unreadable(opened.message);
    return LoadOpen(file, name, request);
}

Picture LoadOpen(QFile& file, const QString& name, const Request& request) {
    const QByteArray head = file.peek(4);
    const bool packed = head.startsWith("\x1F\x8B");
    if (packed ? QFileInfo(name).suffix().toLower() != QLatin1String("svgz") : !mightBeXml(head))
        return raster(file, name, request);
    // A drawing is read whole anyway: as far as its first element to know
    // that it is one, all of it to draw it.
    const QByteArray bytes = file.read(DrawingProtocol::kMaxBytes);
    if (!packed && !startsAsDrawing(bytes)) {
        file.seek(0);
        return raster(file, name, request);
    }
    if (!file.atEnd()) return unreadable(name, MessageCode::Damaged);
    return draw(bytes, name, request);
}

Picture Redraw(const Picture& drawing, const QString& name, const Request& request) {
    return draw(drawing.drawing, name, request);
}

}  // namespace KnobInput

}  // namespace Pictures
