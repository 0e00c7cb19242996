#include "player_client.h"

#include <QtEndian>
#include <algorithm>
#include <cctype>
#include <cstring>

#include "drawing_protocol.h"
#include "player_process.h"
#include "player_protocol.h"
#include "player_server.h"

using namespace Messages;

namespace Pictures {

namespace PlayerClient {

namespace {

namespace P = PlayerProtocol;

constexpr qsizetype kHeaderBytes = sizeof(P::Header);

P::Header headerOf(const QByteArray& output) {
    P::Header header{qFromUnaligned<qint64>(output.constData()),
                     qFromUnaligned<qint64>(output.constData() + sizeof(qint64))};
    std::memcpy(header.kind, output.constData() + 2 * sizeof(qint64), sizeof header.kind);
    return header;
}

// The kind as the player named it: letters and digits up to the first zero.
QByteArray kindOf(const P::Header& header) {
    QByteArray kind;
    for (const char c : header.kind) {
        if (c == '\0') break;
        if (!std::isalnum(static_cast<unsigned char>(c))) return {};
        kind += c;
    }
    return kind;
}

Played drawn(const QByteArray& output, int maxSide) {
    if (output.size() < kHeaderBytes) return {Result::NotReadable};
    const P::Header header = headerOf(output);
    const qint64 width = header.width, height = header.height;
    if (width < 1 || height < 1 || width > maxSide || height > maxSide ||
        output.size() != kHeaderBytes + width * height * 4)
        return {Result::NotReadable};
    QImage image(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32);
    if (image.isNull()) return {Result::OutOfMemory};
    const qsizetype rowBytes = width * 4;
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(image.scanLine(y), output.constData() + kHeaderBytes + y * rowBytes,
                    static_cast<std::size_t>(rowBytes));
    return {Result::Drawn, width, height, image, kindOf(header)};
}

// Only measured: the size is taken as given, however large, as long as it
// is too large.
Played measured(const QByteArray& output, int maxSide) {
    if (output.size() != kHeaderBytes) return {Result::NotReadable};
    const P::Header header = headerOf(output);
    if (header.width <= maxSide && header.height <= maxSide) return {Result::NotReadable};
    return {Result::TooLarge, header.width, header.height};
}

}  // namespace

Played Answer(const PlayerProcess::Ended& ended, int maxSide) {
    using PlayerProcess::End;
    switch (ended.end) {
        case End::Exited:
            break;
        case End::TimedOut:
            return {Result::TimedOut};
        case End::Crashed:
            return {Result::Crashed};
        case End::Missing:
            return {Result::Missing};
    }
    switch (ended.exitCode) {
        case P::kDrawn:
            return drawn(ended.output, maxSide);
        case P::kTooLarge:
            return measured(ended.output, maxSide);
        case P::kEmpty:
            return {Result::Empty};
        case P::kNotReadable:
            return {Result::NotReadable};
        case P::kOutOfMemory:
            return {Result::OutOfMemory};
        case P::kCannotStart:
            return {Result::CannotStart};
        case P::kRefersToFiles:
            return {Result::RefersToFiles};
        case P::kNotAKind:
            return {Result::NotAKind};
        case P::kCutShort:
            return {Result::CutShort};
        case P::kTooDeep:
            return {Result::TooDeep};
        case P::kNoSize:
            return {Result::NoSize};
        default:  // kUsage, a sanitizer's report, anything else it was not made to say
            return {Result::Crashed};
    }
}

Played Play(const Player& player, const QString& program, int maxSide, const QStringList& arguments,
            const QByteArray& input, Start start) {
    maxSide = std::clamp(maxSide, 1, P::kMaxSide);
    const QStringList all = QStringList{QString::number(maxSide)} + arguments;
    const int deadline = PlayerProcess::DeadlineMs(player.deadlineVariable);
    return Answer(start == Start::Served ? PlayerServer::Run(program, all, input, deadline)
                                         : PlayerProcess::Run(program, all, input, deadline),
                  maxSide);
}

Message Refusal(Result result, const Player& player, const QString& name) {
    const auto cannotRead = [&name](MessageCode reason) {
        return Message{.code = MessageCode::CannotRead, .reason = {reason, 0}, .subject = name};
    };
    switch (result) {
        case Result::Drawn:
        case Result::TooLarge:
            return {};
        case Result::Empty:
            return {.code = MessageCode::EmptyPicture, .subject = name};
        case Result::NotAKind:
            return {.code = MessageCode::UnsupportedPicture, .subject = name};
        case Result::NotReadable:
            return cannotRead(MessageCode::Damaged);
        case Result::OutOfMemory:
            return cannotRead(player.greedy);
        case Result::CannotStart:
            return cannotRead(MessageCode::PlayerLacksFonts);
        case Result::RefersToFiles:
            return cannotRead(MessageCode::RefersToFiles);
        case Result::CutShort:
            return cannotRead(MessageCode::CutShort);
        case Result::TooDeep: {
            Message deep = cannotRead(MessageCode::NestedTooDeep);
            deep.facts.set(Fact::Depth, DrawingProtocol::kMaxNesting);
            return deep;
        }
        case Result::NoSize:
            return cannotRead(MessageCode::SizeNotANumber);
        case Result::TimedOut:
            return cannotRead(player.slow);
        case Result::Crashed:
            return cannotRead(player.crashed);
        case Result::Missing:
            return cannotRead(player.missing);
    }
    return cannotRead(MessageCode::Damaged);
}

}  // namespace PlayerClient

}  // namespace Pictures
