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
    EXPECT_EQ(warnings({"k.png", "--for", "dpf"}, 96, 80, true), Codes{M::FramesNotSquare});
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
