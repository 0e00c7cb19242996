#include "cli_options.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "message_text.h"
#include "strip_plan.h"

using namespace StripCli;

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
    EXPECT_EQ(o.format, StripFiles::Format::Png);
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
    EXPECT_EQ(std::get<Message>(refused).code, MessageCode::CompressionExpected);
    EXPECT_EQ(std::get<Message>(refused).value, "best");
}

TEST(OutputNames, FolderFileAndFormat) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("out") + "/";
    Options o = parsed(
        {"/p/a.b.png", "/q/c.svg", "-o", folder, "--vertical", "--format", "png", "--manifest"});
    EXPECT_TRUE(OutputIsFolder(o, false)) << "a separator at the end says folder";
    EXPECT_FALSE(CheckOutput(o, true));
    Target t = TargetFor(o, true, "/q/c.svg");
    EXPECT_EQ(t.strip, dir.filePath("out/c_Seq_V.png"));
    EXPECT_EQ(t.manifest, dir.filePath("out/c_Seq_V.json"));
    EXPECT_EQ(TargetFor(o, true, "/p/a.b.png").strip, dir.filePath("out/a.b_Seq_V.png"));

    o = parsed({"/p/k.gif"});
    t = TargetFor(o, false, "/p/k.gif");
    EXPECT_EQ(t.strip, "/p/k_Seq_H.bmp") << "as before: beside the picture, BMP";
    EXPECT_EQ(t.format, StripFiles::Format::Bmp);
    EXPECT_TRUE(t.manifest.isEmpty());

    o = parsed({"/p/k.gif", "-o", dir.filePath("x.PNG"), "--manifest"});
    t = TargetFor(o, false, "/p/k.gif");
    EXPECT_EQ(t.format, StripFiles::Format::Png);
    EXPECT_EQ(t.manifest, dir.filePath("x.json"));
    const Options existing = parsed({"k", "-o", dir.path()});
    EXPECT_TRUE(OutputIsFolder(existing, true)) << "an existing folder needs no separator";
    EXPECT_EQ(TargetFor(existing, true, "k").strip, QDir(dir.path()).filePath("k_Seq_H.bmp"));
    EXPECT_EQ(TargetFor(parsed({"k.gif"}), false, "k.gif").strip, "k_Seq_H.bmp")
        << "a picture in the working folder gets its strip there";

    EXPECT_TRUE(CheckOutput(parsed({"a.png", "b.png", "-o", dir.filePath("x.png")}), false));
    EXPECT_TRUE(
        CheckOutput(parsed({"a.png", "-o", dir.filePath("x.bmp"), "--format", "png"}), false));
}

}  // namespace
