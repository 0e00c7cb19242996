// Stand-ins for the players show what the loader makes of a player's answer
// and of a player that crashes, runs out of memory or is not there; the real
// players' answers are in the loader's tests, real hanging metafiles in the
// command line's.
#include "player_client.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "drawing_player.h"
#include "message_text.h"
#include "metafile_player.h"
#include "picture_files.h"
#include "picture_player.h"
#include "player_protocol.h"

using namespace Messages;
using namespace Pictures;

namespace {

using PlayerClient::Result;

class StandInPlayers : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(path(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path(name);
    }
    // A player that reads its input and then runs the script.
    QString player(const QByteArray& script) const {
        const QString program = write("player", "#!/bin/sh\ncat > /dev/null\n" + script + "\n");
        QFile::setPermissions(program, QFile::ReadOwner | QFile::ExeOwner);
        return program;
    }
    // The script's answer: the header, byte for byte, then the exit code.
    static QByteArray answer(qint64 width, qint64 height, int exitCode) {
        const PlayerProtocol::Header header{width, height};
        QByteArray script = "printf '";
        for (const auto byte : QByteArray(reinterpret_cast<const char*>(&header), sizeof header))
            script += '\\' + QByteArray::number(static_cast<uchar>(byte), 8);
        return script + "'\nexit " + QByteArray::number(exitCode);
    }
};

TEST_F(StandInPlayers, EachPlayersAnswerIsReadAlike) {
    const struct {
        const char* name;
        QByteArray script;
        Result expected;
        qint64 width, height;
    } cases[] = {
        {"killed", "kill -SEGV $$", Result::Crashed, 0, 0},
        {"a sanitizer's report", "exit 1", Result::Crashed, 0, 0},
        {"too large past any int", answer(3'000'000'000, 7, PlayerProtocol::kTooLarge),
         Result::TooLarge, 3'000'000'000, 7},
        {"drawn past the largest side", answer(3'000'000'000, 7, PlayerProtocol::kDrawn),
         Result::NotReadable, 0, 0},
#if !defined(__SANITIZE_ADDRESS__)
        // Under its address-space limit the stand-in says what a player says
        // when its memory runs out.
        {"out of memory",
         "[ \"$(ulimit -v)\" = unlimited ] || exit " +
             QByteArray::number(PlayerProtocol::kOutOfMemory),
         Result::OutOfMemory, 0, 0},
#endif
    };
    const QByteArray metafile = picture_files::PlaceableMetafile(96, 96, 96);
    for (const auto& c : cases) {
        const QString program = player(c.script);
        for (const auto& played : {MetafilePlayer::Play(program, metafile, 121),
                                   DrawingPlayer::Play(program, "<svg/>", {121, 0, 1.0}),
                                   PicturePlayer::Play(program, "BM", {121, {"bmp"}, false})}) {
            EXPECT_EQ(played.result, c.expected) << c.name;
            EXPECT_EQ(played.width, c.width) << c.name;
            EXPECT_EQ(played.height, c.height) << c.name;
        }
        QFile::remove(program);
    }
}

// Which player failed is named: the user installs or repairs that one.
TEST_F(StandInPlayers, APlayerThatCrashesOrIsMissingIsNamed) {
    const QString crashing = player("kill -SEGV $$"), missing = path("nirgends");
    const QByteArray metafile = picture_files::PlaceableMetafile(96, 96, 96);
    const DrawingPlayer::Request request{121, 0, 1.0};
    const struct {
        PlayerClient::Played played;
        const PlayerClient::Player& player;
        const char* says;
    } cases[] = {
        {MetafilePlayer::Play(crashing, metafile, 121), MetafilePlayer::kPlayer,
         "der Metafile-Leser ist abgestürzt"},
        {MetafilePlayer::Play(missing, metafile, 121), MetafilePlayer::kPlayer,
         "der Metafile-Leser neben dem Programm fehlt"},
        {DrawingPlayer::Play(crashing, "<svg/>", request), DrawingPlayer::kPlayer,
         "der SVG-Leser ist abgestürzt"},
        {DrawingPlayer::Play(missing, "<svg/>", request), DrawingPlayer::kPlayer,
         "der SVG-Leser neben dem Programm fehlt"},
        {PicturePlayer::Play(crashing, "BM", {121, {"bmp"}, false}), PicturePlayer::kPlayer,
         "der Bild-Leser ist abgestürzt"},
        {PicturePlayer::Play(missing, "BM", {121, {"bmp"}, false}), PicturePlayer::kPlayer,
         "der Bild-Leser neben dem Programm fehlt"},
    };
    for (const auto& c : cases) {
        const QString text = Text(PlayerClient::Refusal(c.played.result, c.player, "k"));
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.says))) << text.toStdString();
    }
}

// A player gets an environment of its own: the caller's font and Qt
// settings, which could point it at any file or plug-in, stay behind.
TEST_F(StandInPlayers, PlayersGetAnEnvironmentOfTheirOwn) {
    const char* settings[] = {"FONTCONFIG_FILE", "FONTCONFIG_PATH", "QT_PLUGIN_PATH"};
    for (const char* variable : settings) qputenv(variable, "/");
    const QString program =
        player("[ -z \"$FONTCONFIG_FILE$FONTCONFIG_PATH$QT_PLUGIN_PATH\" ] && exit " +
               QByteArray::number(PlayerProtocol::kEmpty) + "; exit 1");
    for (const auto& played :
         {MetafilePlayer::Play(program, picture_files::PlaceableMetafile(96, 96, 96), 121),
          DrawingPlayer::Play(program, "<svg/>", {121, 0, 1.0}),
          PicturePlayer::Play(program, "BM", {121, {"bmp"}, false})})
        EXPECT_EQ(played.result, Result::Empty);
    for (const char* variable : settings) qunsetenv(variable);
}

}  // namespace
