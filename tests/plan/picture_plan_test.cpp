#include "picture_plan.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "message_text.h"
#include "option_table.h"
#include "picture_io.h"

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

// The files a plan writes, for a picture of 45 x 45 pixels at each scale.
QStringList filesOf(const QStringList& args, bool transparent = false, bool windowKind = true,
                    bool folder = false) {
    const Options o = parsed(args);
    const Settings s = Resolve(o);
    PictureFacts facts{.transparent = transparent, .windowKind = windowKind};
    for (const double scale : s.scales)
        facts.sizes.push_back({scale, static_cast<int>(45 * scale), static_cast<int>(45 * scale)});
    const PicturePlan plan =
        PlanPicture(o, s, folder || OutputIsFolder(o, false), o.pictures[0], facts);
    EXPECT_FALSE(plan.refusal) << Text(plan.refusal).toStdString();
    QStringList files;
    for (const Job& job : plan.jobs) files << job.path;
    return files;
}

// Where each toolkit's files go, and what follows the user's intent.
TEST(OutputNames, ToolkitsFoldersFilesAndFormats) {
    const struct {
        QStringList args;
        bool transparent, windowKind;
        QStringList files;
    } cases[] = {
        {{"/q/c.svg", "-o", "/out/", "--vertical", "--format", "png", "--manifest"},
         true,
         false,
         {"/out/c_Seq_V.json", "/out/c_Seq_V.png"}},
        {{"/p/k.gif"}, false, true, {"/p/k_Seq_H.bmp"}},  // the window's kinds give its BMP
        {{"k.gif"}, false, true, {"k_Seq_H.bmp"}},
        {{"k.png"}, true, false, {"k_Seq_H.png"}},  // transparency is kept
        {{"k.tif"}, false, false, {"k_Seq_H.png"}},
        {{"/p/k.gif", "-o", "/x.PNG", "--manifest", "--preview"},
         false,
         true,
         {"/x.json", "/x.html", "/x.PNG"}},
        {{"k.gif", "--for", "juce"}, false, true, {"k_Seq_V.png"}},
        {{"k.gif", "--for", "iplug2", "--scales", "1,2"},
         false,
         true,
         {"k_Seq_V.png", "k_Seq_V@2x.png"}},
        {{"k.png", "--for", "vstgui", "--scales", "1,2"},
         true,
         false,
         {"k_Seq_V.uidesc", "k_Seq_V.png", "k_Seq_V#2.0x.png"}},
        {{"k.png", "--for", "kontakt", "--scales", "1,2"},
         true,
         false,
         {"k_Seq_V.txt", "k_Seq_V@2x.txt", "k_Seq_V.png", "k_Seq_V@2x.png"}},
        {{"k.png", "--for", "web", "-o", "/w/knob.png"},
         true,
         false,
         {"/w/knob.css", "/w/knob.png"}},
        {{"k.png", "--for", "dpf", "--side", "header,manifest"},
         true,
         false,
         {"k_Seq_V.json", "k_Seq_V.h", "k_Seq_V.png"}},
        {{"k.png", "--for", "kontakt", "--format", "bmp", "--horizontal"},
         true,
         false,
         {"k_Seq_H.txt", "k_Seq_H.bmp"}},  // the options given win
        {{"k.png", "--layout", "grid:4"}, true, false, {"k_Seq_G.png"}},
        {{"k.png", "--side", "uidesc", "--scales", "1,2"},  // VSTGUI's names for its file
         true,
         false,
         {"k_Seq_H.uidesc", "k_Seq_H.png", "k_Seq_H#2.0x.png"}},
        {{"-"}, false, false, {"stdin_Seq_H.png"}},
        {{"k.png", "--layout", "frames", "--frames", "2", "--manifest"},
         true,
         false,
         {"k_Seq_F.json", "k_Seq_F_0001.png", "k_Seq_F_0002.png"}},
        {{"k.png", "--layout", "frames", "--frames", "3", "--first-number", "0"},
         true,
         false,
         {"k_Seq_F_0000.png", "k_Seq_F_0001.png", "k_Seq_F_0002.png"}},
        // The C source and its header before the strips they hold.
        {{"k.png", "--for", "dpf", "--scales", "1,2", "--embed", "gen/k.strips.cpp"},
         true,
         false,
         {"k_Seq_V.h", "gen/k.strips.cpp", "gen/k.strips.h", "k_Seq_V.png", "k_Seq_V@2x.png"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(filesOf(c.args, c.transparent, c.windowKind), c.files)
            << c.args.join(' ').toStdString();
}

TEST(OutputNames, WhatOutputCannotBe) {
    const auto check = [](const QStringList& args) {
        const Options o = parsed(args);
        return CheckOutput(o, Resolve(o), false).value_or(Message{}).code;
    };
    EXPECT_EQ(check({"a.png", "b.png", "-o", "x.png"}), MessageCode::OutputMustBeFolder);
    EXPECT_EQ(check({"a.png", "-o", "x.bmp", "--format", "png"}),
              MessageCode::OutputFormatMismatch);
    EXPECT_EQ(check({"a.png", "-o", "x.webp"}), MessageCode::OutputEndingUnknown);
    EXPECT_EQ(check({"a.png", "--layout", "frames", "--side", "css"}), MessageCode::OptionsExclude);
    // A toolkit's files that cannot describe the layout asked for are left out.
    EXPECT_EQ(check({"a.png", "--layout", "frames", "--for", "web"}), MessageCode::None);
    EXPECT_EQ(check({"a.png", "--layout", "grid:4", "--for", "kontakt"}), MessageCode::None);
    EXPECT_EQ(check({"a.png", "-o", "-", "--manifest"}), MessageCode::OptionsExclude);
    EXPECT_EQ(check({"a.png", "-o", "-", "--format", "png"}), MessageCode::None);
    EXPECT_EQ(check({"a.png", "-o", "x"}), MessageCode::None) << "a file without an ending";
    // Files beside a strip on standard output, or strips of several pictures
    // in one C source, have no place; standard input is not watched.
    EXPECT_EQ(check({"a.png", "-o", "-", "--depfile", "a.d"}), MessageCode::OptionsExclude);
    EXPECT_EQ(check({"a.png", "-o", "-", "--watch"}), MessageCode::OptionsExclude);
    EXPECT_EQ(check({"a.png", "b.png", "--embed", "s.c"}), MessageCode::EmbedOnePicture);
    EXPECT_EQ(check({"a.png", "--layout", "frames", "--embed", "s.c"}),
              MessageCode::OptionsExclude);
    EXPECT_EQ(check({"-", "--watch"}), MessageCode::OptionsExclude);
    EXPECT_EQ(check({"a.png", "--list-outputs", "--depfile", "a.d"}), MessageCode::OptionsExclude);
}

// A build tool can learn the files of a run before the picture is there
// unless its pixels choose the strip's format; two files of one name are
// refused, not written over each other.
TEST(OutputNames, WhatABuildToolCanKnowBeforehand) {
    const auto plan = [](const QStringList& args, bool windowKind) {
        const Options o = parsed(args);
        const Settings s = Resolve(o);
        const PictureFacts facts{.sizes = {{1.0, 45, 45}}, .windowKind = windowKind};
        return PlanPicture(o, s, OutputIsFolder(o, false), o.pictures[0], facts);
    };
    EXPECT_TRUE(plan({"k.gif"}, true).formatFollowsPicture);
    EXPECT_TRUE(plan({"k.gif", "-o", "strips/"}, true).formatFollowsPicture);
    EXPECT_FALSE(plan({"k.gif", "--for", "juce"}, true).formatFollowsPicture);
    EXPECT_FALSE(plan({"k.gif", "--format", "bmp"}, true).formatFollowsPicture);
    EXPECT_FALSE(plan({"k.gif", "-o", "k.png"}, true).formatFollowsPicture);
    EXPECT_FALSE(plan({"k.svg"}, false).formatFollowsPicture);
    const PicturePlan clash =
        plan({"k.png", "-o", "x.png", "--side", "header", "--embed", "x.c"}, false);
    EXPECT_EQ(clash.refusal.code, MessageCode::FilesShareName);
    EXPECT_EQ(clash.refusal.subject, "x.h");
}

}  // namespace

namespace {

// Each warning where its cause is, and only there.
TEST(PlanPicture, WarnsWhereAToolkitWouldPlayTheStripWrong) {
    const auto warnings = [](const QStringList& args, int w, int h, bool transparent) {
        const Options o = parsed(args);
        const Settings s = Resolve(o);
        PictureFacts facts{.transparent = transparent, .windowKind = true};
        for (const double scale : s.scales)
            facts.sizes.push_back(
                {scale, static_cast<int>(w * scale), static_cast<int>(h * scale)});
        std::vector<MessageCode> codes;
        for (const Message& m : PlanPicture(o, s, false, o.pictures[0], facts).warnings)
            codes.push_back(m.code);
        return codes;
    };
    using M = MessageCode;
    using Codes = std::vector<MessageCode>;
    EXPECT_EQ(warnings({"k.png", "--for", "juce"}, 64, 64, true), Codes{});
    EXPECT_EQ(warnings({"k.png", "--for", "juce", "--frames", "128"}, 64, 64, true),
              Codes{M::NoCentreFrame});
    {
        const Options o = parsed({"k.png", "--for", "juce", "--frames", "128"});
        const auto plan = PlanPicture(o, Resolve(o), false, "k.png", {{{1.0, 64, 64}}, true});
        EXPECT_EQ(Text(plan.warnings.at(0)),
                  "Warnung: bei 128 Einzelbildern steht keines in der Mitte des Bogens; der Wert "
                  "0,5 zeigt -1,13 oder 1,13 Grad (129 Einzelbilder haben eines).")
            << "the two frames nearest the middle, 288 / 127 / 2 degrees off it";
    }
    EXPECT_EQ(
        warnings({"k.png", "--frames", "128", "--start", "-135", "--end", "135"}, 64, 64, true),
        Codes{})
        << "no toolkit, no promise of a centre";
    EXPECT_EQ(warnings({"k.png", "--frames", "9"}, 96, 80, true), Codes{M::FramesNotSquare});
    EXPECT_EQ(warnings({"k.png", "--for", "dpf", "--frames", "129"}, 192, 192, true),
              Codes{M::StripOverTextureLimit})
        << "192 x 129 = 24768 pixels";
    EXPECT_EQ(warnings({"k.png", "--format", "bmp"}, 30, 30, true), Codes{M::TransparencyOnGrey});
    EXPECT_EQ(warnings({"k.png", "--format", "bmp", "--background", "0,0,0"}, 30, 30, true),
              Codes{});
    EXPECT_EQ(warnings({"k.png", "--radius", "-3"}, 30, 30, false), Codes{M::RadiusRepaired});
}

// Frame files: a count of them a folder can hold, all scales together, and
// each listed in the manifest.
TEST(PlanPicture, FrameFilesAreCountedAndListed) {
    const auto planned = [](const QStringList& args) {
        const Options o = parsed(args);
        const Settings s = Resolve(o);
        PictureFacts facts{.transparent = true};
        for (const double scale : s.scales)
            facts.sizes.push_back(
                {scale, static_cast<int>(8 * scale), static_cast<int>(8 * scale)});
        return PlanPicture(o, s, false, "k.png", facts);
    };
    EXPECT_EQ(planned({"k.png", "--layout", "frames", "--frames", "6000", "--scales", "1,2"})
                  .refusal.code,
              MessageCode::TooManyFrameFiles);
    const PicturePlan plan =
        planned({"k.png", "--layout", "frames", "--frames", "3", "--manifest"});
    ASSERT_FALSE(plan.refusal);
    const QByteArray manifest = plan.jobs.front().text;
    EXPECT_TRUE(manifest.contains("\"k_Seq_F_0003.png\"")) << manifest.toStdString();
    EXPECT_TRUE(manifest.contains("\"width\": 8")) << "a frame file is a frame wide";
}

// The clear margin --square adds is the picture's background, not its
// transparency: an opaque picture of the window's kinds stays a BMP, the
// margin grey, and nothing is said of transparency.
TEST(PlanPicture, SquareMarginTakesTheFormatsBackground) {
    const auto planned = [](const QStringList& args) {
        const Options o = parsed(args);
        return PlanPicture(o, Resolve(o), false, "k.gif",
                           {.sizes = {{1.0, 30, 30}}, .padded = true, .windowKind = true});
    };
    const PicturePlan bmp = planned({"k.gif", "--square"});
    EXPECT_EQ(bmp.format, Output::Format::Bmp);
    EXPECT_EQ(bmp.lay, Pictures::kBoxBackground);
    EXPECT_TRUE(bmp.warnings.empty());
    const PicturePlan png = planned({"k.gif", "--square", "--format", "png"});
    EXPECT_TRUE(png.alpha) << "a PNG keeps the margin clear";
    EXPECT_FALSE(png.lay);
}

}  // namespace

namespace {

using M = MessageCode;
using Codes = std::vector<MessageCode>;

// The plan of a picture of w x h pixels at 1x (each scale as large again),
// laid on a square where the settings square it, as the runner lays it.
PicturePlan planOf(const QStringList& args, int w, int h, bool transparent = false) {
    const Options o = parsed(args);
    const Settings s = Resolve(o);
    PictureFacts facts{.transparent = transparent, .windowKind = true};
    for (const double scale : s.scales) {
        ScaledSize size{scale, static_cast<int>(w * scale), static_cast<int>(h * scale)};
        if (s.square && size.width != size.height) {
            size.width = size.height = std::max(size.width, size.height);
            facts.squared = facts.padded = true;
        }
        facts.sizes.push_back(size);
    }
    return PlanPicture(o, s, false, o.pictures[0], facts);
}

Codes codesOf(const PicturePlan& plan) {
    Codes codes;
    for (const Message& m : plan.warnings) codes.push_back(m.code);
    return codes;
}

// Every scale of one picture has the same frames: a BMP strip too tall is
// lowered at each scale to what the largest allows, and that is said once.
TEST(PlanPicture, ScalesShareTheirFrames) {
    const PicturePlan plan = planOf(
        {"k.gif", "--format", "bmp", "--vertical", "--frames", "125", "--scales", "1,2"}, 45, 45);
    ASSERT_EQ(plan.strips.size(), 2u);
    EXPECT_EQ(plan.strips[0].params.FrameCount, 88) << "8000 / 90, the 2x frames' limit";
    EXPECT_EQ(plan.strips[1].params.FrameCount, 88);
    EXPECT_EQ(plan.strips[1].size.Y, 88 * 90);
    EXPECT_EQ(plan.facts.frames, 88);
    EXPECT_EQ(codesOf(plan), Codes{M::VerticalTooLarge});
}

// A toolkit's own rules: followed where the command line can (the arc, the
// square frames, the 1x bitmap, a count within the texture limit), warned
// of where the user asked otherwise.
TEST(PlanPicture, ToolkitRulesAreFollowedOrWarnedOf) {
    EXPECT_EQ(codesOf(planOf({"k.png", "--for", "iplug2", "--scales", "1,1.5,2"}, 40, 40)),
              Codes{M::ToolkitScaleNotFound})
        << "iPlug2 finds @2x, not @1.5x";
    EXPECT_EQ(codesOf(planOf({"k.png", "--for", "kontakt", "--format", "bmp"}, 40, 40)),
              Codes{M::ToolkitReadsNoBmp});
    EXPECT_EQ(codesOf(planOf({"k.png", "--for", "dpf", "--horizontal"}, 40, 40)),
              Codes{M::ToolkitVerticalOnly});
    const PicturePlan dpf = planOf({"k.png", "--for", "dpf"}, 48, 40);
    EXPECT_EQ(codesOf(dpf), Codes{M::ToolkitSquaresFrames});
    EXPECT_EQ(dpf.facts.strips.front().frameHeight, 48) << "frames as square as DPF counts them";

    const PicturePlan vstgui = planOf({"k.png", "--for", "vstgui", "--scales", "1.5,2"}, 40, 40);
    EXPECT_EQ(codesOf(vstgui), Codes{M::OneXAdded});
    ASSERT_EQ(vstgui.facts.strips.size(), 3u);
    EXPECT_EQ(vstgui.facts.strips.front().file, "k_Seq_V.png") << "the 1x bitmap VSTGUI needs";

    // A preset's arc stays centred on 12 o'clock with a sweep of the user's.
    const PicturePlan juce = planOf({"k.png", "--for", "juce", "--sweep", "270"}, 40, 40);
    EXPECT_EQ(juce.facts.startAngle, -135.0f);
    EXPECT_EQ(juce.facts.endAngle(), 135.0);
    // Radians typed as degrees.
    EXPECT_EQ(
        codesOf(planOf({"k.png", "--start", "-2.356", "--end", "2.356", "--frames", "9"}, 40, 40)),
        Codes{M::DegreesNotRadians});

    // 129 frames of 128 pixels pass the texture limit: a preset takes the
    // most that fit, an odd count; a count the user gave stands, and the
    // warning names the count that would fit.
    const PicturePlan fitted = planOf({"k.png", "--for", "juce"}, 128, 128);
    EXPECT_EQ(fitted.facts.frames, 127);
    EXPECT_EQ(codesOf(fitted), Codes{M::PresetFramesFit});
    EXPECT_EQ(planOf({"k.png", "--for", "juce"}, 64, 64).facts.frames, 129);
    const PicturePlan given = planOf({"k.png", "--for", "juce", "--frames", "129"}, 128, 128);
    EXPECT_EQ(given.facts.frames, 129);
    ASSERT_EQ(codesOf(given), Codes{M::StripOverTextureLimit});
    EXPECT_EQ(given.warnings.front().facts.count(Fact::Frames), 127);
}

// Odd-sized art is laid on a clear margin to the next size every scale
// divides, never drawn larger; --size past the picture is refused.
TEST(RasterSizes, OddArtLiesOnAMarginEveryScaleDivides) {
    const auto scaled = [](const QStringList& args, int w, int h) {
        const Options o = parsed(args);
        return RasterSizes(o, Resolve(o), w, h, "k.png");
    };
    const auto odd = scaled({"k.png", "--scales", "1,2"}, 127, 127);
    ASSERT_TRUE(std::holds_alternative<RasterScaling>(odd));
    const RasterScaling& padded = std::get<RasterScaling>(odd);
    EXPECT_EQ(padded.paddedWidth, 128);
    EXPECT_EQ(padded.sizes.front().width, 64);
    EXPECT_EQ(padded.sizes.back().width, 128);
    const auto three = std::get<RasterScaling>(scaled({"k.png", "--scales", "1,1.5,2"}, 127, 101));
    EXPECT_EQ(three.sizes[1].width, 96);
    EXPECT_EQ(three.paddedHeight, 104) << "52 x 1.5 is whole; 51 x 1.5 is not";
    EXPECT_FALSE(std::get<RasterScaling>(scaled({"k.png", "--scales", "1,2"}, 128, 128)).padded());
    EXPECT_FALSE(std::get<RasterScaling>(scaled({"k.png", "--scales", "0.5,1"}, 101, 101)).padded())
        << "rounding down needs no margin";
    const auto larger = scaled({"k.png", "--size", "200", "--scales", "1"}, 127, 127);
    ASSERT_TRUE(std::holds_alternative<Message>(larger));
    EXPECT_EQ(std::get<Message>(larger).code, M::RasterNotEnlarged);
}

}  // namespace
