#include "cli_options.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include "output_names.h"

using namespace StripCli;

namespace {

Options parsed(const QStringList& args) {
    const auto result = ParseArguments(args);
    if (const auto* error = std::get_if<UsageError>(&result))
        ADD_FAILURE() << error->message.toStdString();
    return std::holds_alternative<Options>(result) ? std::get<Options>(result) : Options{};
}

TEST(ParseArguments, NewOptionsAndSeveralPictures) {
    const Options o =
        parsed({"a.png", "b.svg", "--start", "-135", "--sweep=270", "--size", "64", "--scale", "2",
                "--background", "255,255,0", "--format", "PNG", "--manifest", "--", "-c.gif"});
    EXPECT_EQ(o.pictures, (QStringList{"a.png", "b.svg", "-c.gif"}));
    EXPECT_EQ(o.start, -135.0);
    EXPECT_EQ(o.sweep, 270.0);
    EXPECT_EQ(o.size, 64);
    EXPECT_EQ(o.scale, 2.0);
    EXPECT_EQ(o.background, qRgb(255, 255, 0));
    EXPECT_EQ(o.format, OutputFormat::Png);
    EXPECT_TRUE(o.manifest);
    EXPECT_EQ(o.maxSize, 1024) << "the command line takes larger pictures than the window";
    EXPECT_FALSE(o.angle);
}

TEST(OutputNames, FolderFileAndFormat) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("out") + "/";
    Options o = parsed(
        {"/p/a.b.png", "/q/c.svg", "-o", folder, "--vertical", "--format", "png", "--manifest"});
    EXPECT_FALSE(CheckOutput(o));
    Target t = TargetFor(o, "/q/c.svg");
    EXPECT_EQ(t.strip, dir.filePath("out/c_Seq_V.png"));
    EXPECT_EQ(t.manifest, dir.filePath("out/c_Seq_V.json"));
    EXPECT_EQ(TargetFor(o, "/p/a.b.png").strip, dir.filePath("out/a.b_Seq_V.png"));

    o = parsed({"/p/k.gif"});
    t = TargetFor(o, "/p/k.gif");
    EXPECT_EQ(t.strip, "/p/k_Seq_H.bmp") << "as before: beside the picture, BMP";
    EXPECT_EQ(t.format, OutputFormat::Bmp);
    EXPECT_TRUE(t.manifest.isEmpty());

    o = parsed({"/p/k.gif", "-o", dir.filePath("x.PNG"), "--manifest"});
    t = TargetFor(o, "/p/k.gif");
    EXPECT_EQ(t.format, OutputFormat::Png);
    EXPECT_EQ(t.manifest, dir.filePath("x.json"));
    EXPECT_EQ(TargetFor(parsed({"k", "-o", dir.path()}), "k").strip,
              QDir(dir.path()).filePath("k_Seq_H.bmp"))
        << "an existing folder needs no separator";

    EXPECT_TRUE(CheckOutput(parsed({"a.png", "b.png", "-o", dir.filePath("x.png")})));
    EXPECT_TRUE(CheckOutput(parsed({"a.png", "-o", dir.filePath("x.bmp"), "--format", "png"})));
}

}  // namespace
