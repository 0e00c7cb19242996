// Recipes read into options: the command line's keys, the layers' own, and
// everything a recipe from elsewhere may try, named by its key's path.
#include "recipe.h"

#include <gtest/gtest.h>

#include "message_text.h"

using namespace Messages;
using namespace Plan;

namespace {

std::variant<Recipe, Message> read(const char* json, std::vector<OptionId> commandLine = {}) {
    return ReadRecipe(QByteArray(json), QStringLiteral("knob.json"), Language::German, commandLine);
}

QString refusal(const char* json) {
    const auto result = read(json);
    return std::holds_alternative<Message>(result) ? Text(std::get<Message>(result)) : QString();
}

TEST(ReadRecipe, KeysAreTheOptionsAndTheLayersOwn) {
    const auto result = read(R"({"$schema": "x.json", "picture": "./art/body.svg",
        "for": "juce", "frames": 31, "under": ["shadow.png"], "square": true,
        "side": ["manifest", "css"],
        "layers": [{"file": "shadow.png"},
                   {"file": "body.svg", "turn": {"start": -90, "end": 90, "pivot": [32, 40]}},
                   {"arc": {"colour": "#ff8800", "width": 3, "track": "#202020", "from": "middle"}},
                   {"file": "cap.png", "at": [4, 90], "slide": {"to": [4, 10]}},
                   {"file": "led.png", "fade": {"from": 0.25, "to": 1}}]})");
    ASSERT_TRUE(std::holds_alternative<Recipe>(result))
        << Text(std::get<Message>(result)).toStdString();
    const Recipe& recipe = std::get<Recipe>(result);
    const Options& o = recipe.options;
    EXPECT_EQ(o.picture, "art/body.svg");
    EXPECT_EQ(QString::fromLatin1(o.toolkit->name), "juce");
    EXPECT_EQ(o.frames, 31.0);
    EXPECT_TRUE(o.square);
    EXPECT_EQ(o.under, QStringList{"shadow.png"});
    ASSERT_EQ(o.layers.size(), 5u);
    EXPECT_EQ(o.layers[1].motion, Engine::LayerMotion::Turn);
    EXPECT_EQ(o.layers[1].turnEnd, 90.0);
    EXPECT_EQ(o.layers[1].pivot, QPointF(32, 40));
    EXPECT_EQ(o.layers[2].arc->colour, 0xFFFF8800u);
    EXPECT_TRUE(o.layers[2].arc->fromMiddle);
    EXPECT_EQ(o.layers[3].slideTo, QPointF(4, 10));
    EXPECT_EQ(o.layers[4].fadeFrom, 0.25);
    EXPECT_TRUE(recipe.files.contains("cap.png"));
}

// The command line wins: the recipe's value of an option it gives, or of one
// that option excludes, is left out.
TEST(ReadRecipe, TheCommandLineWins) {
    const auto result = read(R"({"picture": "k.png", "frames": 31, "angle": 5, "start": -90})",
                             {OptionId::Frames, OptionId::Sweep});
    ASSERT_TRUE(std::holds_alternative<Recipe>(result));
    const Options& o = std::get<Recipe>(result).options;
    EXPECT_FALSE(o.frames);
    EXPECT_FALSE(o.angle) << "--sweep excludes --angle";
    EXPECT_EQ(o.start, -90.0);
}

// Every refusal names the recipe and the key's path, in the user's words.
TEST(ReadRecipe, RefusalsNameTheKeysPath) {
    const struct {
        const char* json;
        const char* text;
    } cases[] = {
        {R"({"picture": "k.png", "layers": [{"file": "a.png"}, {"file": "b.png", "spin": 3}]})",
         "'knob.json': layers[1].spin ist kein Schlüssel eines Rezepts."},
        {R"({"layers": [{"file": "a.png"}, {"file": "b.png"}, {"file": "c.png", "turn": {"end": "x"}}]})",
         "'knob.json': layers[2].turn.end muss eine Zahl sein."},
        {R"({"picture": "../secret.png"})",
         "'knob.json': picture nennt '../secret.png', das nicht im Ordner des Rezepts liegt; ein "
         "Rezept darf nur die Dateien neben sich verwenden."},
        {R"({"picture": "k.png", "under": ["ok.png", "/etc/passwd"]})",
         "'knob.json': under[1] nennt '/etc/passwd', das nicht im Ordner des Rezepts liegt; ein "
         "Rezept darf nur die Dateien neben sich verwenden."},
        {R"({"picture": "k.png", "frames": "12"})", "'knob.json': frames muss eine Zahl sein."},
        {R"({"picture": "k.png", "size": 0})", "size erwartet eine ganze Zahl von 1 bis 4096."},
        {R"({"picture": "k.png", "output": "/tmp/x.png"})",
         "'knob.json': output ist kein Schlüssel eines Rezepts."},
        {R"({"layers": [{"file": "a.png", "arc": {"colour": "#fff"}}]})",
         "'knob.json': layers[0] braucht entweder eine Datei oder einen Bogen."},
        {R"({"frames": 9})", "Das Rezept 'knob.json' nennt weder ein Bild noch Ebenen."},
        {R"({"picture": "k.png",)",
         "Die Datei 'knob.json' ist kein Rezept: sie ist kein JSON (siehe Byte 20)."},
    };
    for (const auto& c : cases) EXPECT_EQ(refusal(c.json), QString::fromUtf8(c.text)) << c.json;
}

}  // namespace
