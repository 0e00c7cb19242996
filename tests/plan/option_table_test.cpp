#include "option_table.h"

#include <gtest/gtest.h>

#include "message_text.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Png;

using namespace Plan;

namespace {

Options parsed(const QStringList& args) {
    const auto result = ParseArguments(args);
    if (const auto* error = std::get_if<Message>(&result))
        ADD_FAILURE() << Text(*error).toStdString();
    return std::holds_alternative<Options>(result) ? std::get<Options>(result) : Options{};
}

TEST(ParseArguments, NewOptionsAndSeveralPictures) {
    const Options o = parsed({"a.png", "b.svg", "--start", "-135", "--sweep=270", "--size", "64",
                              "--scale", "2", "--background", "255,255,0", "--format", "PNG",
                              "--compression", "Small", "--manifest", "--", "-c.gif"});
    EXPECT_EQ(o.pictures, (QStringList{"a.png", "b.svg", "-c.gif"}));
    EXPECT_EQ(o.start, -135.0);
    EXPECT_EQ(o.sweep, 270.0);
    EXPECT_EQ(o.size, 64);
    EXPECT_EQ(o.scale, 2.0);
    EXPECT_EQ(o.background, qRgb(255, 255, 0));
    EXPECT_EQ(o.format, Output::Format::Png);
    EXPECT_EQ(o.compression, PngCompression::Small);
    EXPECT_TRUE(o.manifest);
    EXPECT_EQ(o.maxSize, 1024) << "the command line takes larger pictures than the window";
    EXPECT_FALSE(o.angle);
}

TEST(ParseArguments, CompressionIsOneOfThreeWords) {
    EXPECT_EQ(parsed({"a.png"}).compression, PngCompression::Default);
    EXPECT_EQ(parsed({"a.png", "--compression=fast"}).compression, PngCompression::Fast);
    const auto refused = ParseArguments({"a.png", "--compression", "best"});
    ASSERT_TRUE(std::holds_alternative<Message>(refused));
    EXPECT_EQ(std::get<Message>(refused).code, MessageCode::WordExpected);
    EXPECT_EQ(std::get<Message>(refused).value, "best");
}

Message refusal(const QStringList& args, Messages::Language language) {
    const auto result = ParseArguments(args, language);
    return std::holds_alternative<Message>(result) ? std::get<Message>(result) : Message{};
}

// A refused value is told with the words and limits of its option's row, in
// the user's language, numbers written the language's way.
TEST(ParseArguments, RefusalsNameWhatTheOptionTakes) {
    using L = Messages::Language;
    const struct {
        QStringList args;
        L language;
        const char* text;
    } cases[] = {
        {{"a.png", "--format", "gif"}, L::English, "--format expects png or bmp, not 'gif'"},
        {{"a.png", "--side", "css,json"},
         L::German,
         "--side erwartet manifest, kontakt, uidesc, css, header, preview oder none, mit Kommas "
         "getrennt, nicht 'css,json'."},
        {{"a.svg", "--scales", "1,0.001"},
         L::German,
         "--scales erwartet Zahlen von 0,01 bis 16, mit Kommas getrennt, nicht '1,0.001'."},
        {{"a.png", "--size", "0"}, L::English, "--size expects a whole number from 1 to 4096"},
        {{"a.png", "--first-number", "2"}, L::English, "--first-number expects 0 or 1, not '2'"},
        {{"a.png", "--for", "jcue"},
         L::English,
         "--for expects juce, iplug2, vstgui, hise, dpf, kontakt or web, not 'jcue'; did you "
         "mean juce?"},
        {{"a.png", "--angle", "1,5"},
         L::English,
         "--angle expects a number with a decimal point (1.5), not '1,5'"},
        {{"a.png", "--vertical", "--layout", "grid:3"},
         L::English,
         "--vertical and --layout exclude each other"},
        {{"a.png", "--embed", "strips.h"},
         L::English,
         "--embed expects a C or C++ source (.c, .cc, .cpp or .cxx) whose name has no quote, "
         "backslash or line break, not 'strips.h'"},
        {{"a.png", "--embed", "say \"hi\".c"},
         L::English,
         "--embed expects a C or C++ source (.c, .cc, .cpp or .cxx) whose name has no quote, "
         "backslash or line break, not 'say \"hi\".c'"},
        {{"a.png", "--embed-namespace", "class"},
         L::German,
         "--embed-namespace erwartet einen C-Bezeichner (Buchstaben, Ziffern und einzelne "
         "Unterstriche, vorne ein Buchstabe, kein Schlüsselwort), nicht 'class'."},
        {{"a.png", "--list-outputs", "--watch"},
         L::English,
         "--list-outputs and --watch exclude each other"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Messages::Render(refusal(c.args, c.language), c.language),
                  QString::fromUtf8(c.text));
}

// A German user writes a decimal with a comma, and is read so; lists keep
// their commas as separators.
TEST(ParseArguments, GermanDecimalCommaIsRead) {
    const auto result =
        ParseArguments({"a.png", "--angle", "1,5", "--scales", "1,2"}, Messages::Language::German);
    ASSERT_TRUE(std::holds_alternative<Options>(result));
    EXPECT_EQ(std::get<Options>(result).angle, 1.5);
    EXPECT_EQ(std::get<Options>(result).scales, (std::vector<double>{1.0, 2.0}));
}

// Two scales never share a file name; --scale and --scales say the same
// thing twice.
TEST(ParseArguments, ScalesAreKeptToTheirNamesPlaces) {
    EXPECT_EQ(parsed({"a.svg", "--scales", "2,1.0000001, 1"}).scales,
              (std::vector<double>{1.0, 2.0}));
    const auto code = [](const QStringList& args) {
        const auto result = ParseArguments(args);
        return std::holds_alternative<Message>(result) ? std::get<Message>(result).code
                                                       : MessageCode::None;
    };
    EXPECT_EQ(code({"a.svg", "--scales", "1,0.001"}), MessageCode::NumbersExpected);
    EXPECT_EQ(code({"a.svg", "--scale", "2", "--scales", "1,2"}), MessageCode::OptionsExclude);
}

}  // namespace

namespace {

// A mistyped option names the one meant: a letter missing, one too many, two
// swapped, or the start of only one option; nothing for what is far from all.
TEST(NearestOption, NearMissesNameTheOptionMeant) {
    const std::pair<const char*, const char*> cases[] = {
        {"--frame", "--frames"},   {"--vertcal", "--vertical"},
        {"--fromat", "--format"},  {"--max-sise", "--max-size"},
        {"--manif", "--manifest"}, {"--verbos", "--verbose"},
        {"--colour", ""},          {"--xyz", ""}};
    for (const auto& [typed, meant] : cases)
        EXPECT_EQ(NearestOption(typed), QString::fromLatin1(meant)) << typed;
}

}  // namespace
