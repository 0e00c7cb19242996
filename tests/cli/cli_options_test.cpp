#include "cli_options.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "manifest.h"
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

TEST(ParseArguments, BadValuesAndClashesAreUsageErrors) {
    for (const QStringList& args :
         {QStringList{"k.png", "--angle", "5", "--sweep", "270"},
          QStringList{"k.png", "--background", "1,2"},
          QStringList{"k.png", "--background", "1,2,256"},
          QStringList{"k.png", "--background", "1,2,3.5"}, QStringList{"k.png", "--format", "gif"},
          QStringList{"k.png", "--scale", "0"}, QStringList{"k.png", "--scale", "17"},
          QStringList{"k.png", "--size", "0"}, QStringList{"k.png", "--size", "2.5"},
          QStringList{"k.png", "--start", "abc"}})
        EXPECT_TRUE(std::holds_alternative<UsageError>(ParseArguments(args)))
            << args.join(' ').toStdString();
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

TEST(Manifest, FieldsAJsonReaderFinds) {
    const StripFacts facts{"knopf_Seq_V.png",
                           128,
                           64,
                           64,
                           StripOrientation::Vertical,
                           KnobParams{128, 32.0f, 270.0f / 127.0f, -135.0f},
                           true,
                           true};
    QJsonParseError error;
    const QJsonObject m = QJsonDocument::fromJson(ManifestText(facts), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(m["file"].toString(), "knopf_Seq_V.png");
    EXPECT_EQ(m["frames"].toInt(), 128);
    EXPECT_EQ(m["frameWidth"].toInt(), 64);
    EXPECT_EQ(m["frameHeight"].toInt(), 64);
    EXPECT_EQ(m["orientation"].toString(), "vertical");
    EXPECT_EQ(m["startAngle"].toDouble(), -135.0);
    EXPECT_EQ(static_cast<float>(m["stepAngle"].toDouble()), 270.0f / 127.0f);
    EXPECT_EQ(m["stepAngle"].toDouble(), 2.1259842) << "the float's own digits";
    EXPECT_EQ(m["radius"].toDouble(), 32.0);
    EXPECT_EQ(m["routine"].toString(), "bilinear");
    EXPECT_TRUE(m["alpha"].toBool());
}

}  // namespace
