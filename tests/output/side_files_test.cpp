// The files beside a strip, read back by real parsers: JSON, a C and a C++
// compiler, and Kontakt's "key: value" lines.
#include "side_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "byte_sink.h"
#include "strip_header.h"

#include <functional>
#include <map>

using namespace Engine;
using namespace Messages;
using namespace Output;

namespace {

using namespace Output;

// A vertical knob of 129 frames from -135 to +135 degrees, at 1x and 2x.
StripFacts knob() {
    StripFacts facts;
    facts.name = QStringLiteral("my-knob 2");
    facts.frames = 129;
    facts.layout = StripLayout::Vertical();
    facts.startAngle = -135.0f;
    facts.stepAngle = 270.0f / 128.0f;
    facts.alpha = true;
    facts.strips = {{QStringLiteral("my-knob 2.png"), 1.0, 48, 40, 48, 40 * 129, 20.0f},
                    {QStringLiteral("my-knob 2@2x.png"), 2.0, 96, 80, 96, 80 * 129, 40.0f}};
    return facts;
}

TEST(SideFiles, ManifestStatesEveryScaleAndTheValueRule) {
    const StripFacts facts = knob();
    const QJsonObject two = QJsonDocument::fromJson(ManifestText(facts, 1)).object();
    EXPECT_EQ(two["file"].toString(), "my-knob 2@2x.png");
    EXPECT_EQ(two["scale"].toDouble(), 2.0);
    EXPECT_EQ(two["frameWidth"].toInt(), 96);
    EXPECT_EQ(two["logicalFrameWidth"].toInt(), 48);
    EXPECT_EQ(two["logicalFrameHeight"].toInt(), 40);
    EXPECT_EQ(two["height"].toDouble(), 80 * 129);
    EXPECT_EQ(two["layout"].toString(), "vertical");
    EXPECT_EQ(two["columns"].toInt(), 1);
    EXPECT_EQ(two["rows"].toInt(), 129);
    EXPECT_EQ(two["startAngle"].toDouble(), -135.0);
    EXPECT_EQ(two["endAngle"].toDouble(), 135.0);
    EXPECT_EQ(two["stepAngle"].toDouble(), 2.109375);
    EXPECT_EQ(two["radius"].toDouble(), 40.0);
    EXPECT_EQ(two["version"].toInt(), kManifestVersion);
    // The rule and the angles' sense as fields a program reads.
    const QJsonObject rule = two["valueToFrame"].toObject();
    EXPECT_EQ(rule["multiplier"].toInt(), 128);
    EXPECT_EQ(rule["rounding"].toString(), "nearest");
    EXPECT_EQ(rule["firstFrameIndex"].toInt(), 0);
    EXPECT_EQ(two["angleUnit"].toString(), "degree");
    EXPECT_EQ(two["angleDirection"].toString(), "clockwise");
    EXPECT_TRUE(two["preset"].isNull());
    const QJsonArray scales = two["scales"].toArray();
    ASSERT_EQ(scales.size(), 2);
    EXPECT_EQ(scales[0].toObject()["file"].toString(), "my-knob 2.png");
    EXPECT_EQ(scales[1].toObject()["scale"].toDouble(), 2.0);
}

TEST(SideFiles, KontaktReadsItsFieldsLineByLine) {
    StripFacts facts = knob();
    std::map<QString, QString> fields;
    const QList<QByteArray> lines = KontaktText(facts).split('\n');
    for (const QByteArray& line : lines) {
        if (line.isEmpty()) continue;
        ASSERT_TRUE(line.endsWith('\r')) << "CR LF";
        const QList<QByteArray> parts = line.chopped(1).split(':');
        ASSERT_EQ(parts.size(), 2) << line.toStdString();
        fields[QString::fromUtf8(parts[0])] = QString::fromUtf8(parts[1].trimmed());
    }
    const std::map<QString, QString> expected{{"Has Alpha Channel", "yes"},
                                              {"Number of Animations", "129"},
                                              {"Horizontal Animation", "no"},
                                              {"Vertical Resizable", "no"},
                                              {"Horizontal Resizable", "no"},
                                              {"Fixed Top", "0"},
                                              {"Fixed Bottom", "0"},
                                              {"Fixed Left", "0"},
                                              {"Fixed Right", "0"}};
    EXPECT_EQ(fields, expected);
    facts.layout = StripLayout::Horizontal();
    EXPECT_TRUE(KontaktText(facts).contains("Horizontal Animation: yes\r\n"));
}

// VSTGUI's JSON reader takes only strings as values: bitmaps by name, the
// first with its frames, the larger ones by "#2.0x" with their scale, and a
// template of a CAnimKnob under its class.
TEST(SideFiles, UidescIsAVstguiDescriptionOfEveryScale) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(UidescText(knob()), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    const QJsonObject description = document.object()["vstgui-ui-description"].toObject();
    const QJsonObject bitmaps = description["bitmaps"].toObject();
    ASSERT_EQ(bitmaps.size(), 2);
    const QJsonObject one = bitmaps["my-knob 2"].toObject();
    EXPECT_EQ(one["path"].toString(), "my-knob 2.png");
    EXPECT_EQ(one["multiframe-num-frames"].toString(), "129");
    EXPECT_EQ(one["mulitframe-frames-per-row"].toString(), "1");
    EXPECT_EQ(one["multiframe-size"].toString(), "48, 40");
    EXPECT_EQ(bitmaps["my-knob 2#2.0x"].toObject()["scale-factor"].toString(), "2");
    const QJsonObject knobView = description["templates"]
                                     .toObject()["my-knob 2"]
                                     .toObject()["children"]
                                     .toObject()["CAnimKnob"]
                                     .toObject()["attributes"]
                                     .toObject();
    EXPECT_EQ(knobView["class"].toString(), "CAnimKnob");
    EXPECT_EQ(knobView["height-of-one-image"].toString(), "40");
    EXPECT_EQ(knobView["sub-pixmaps"].toString(), "129");
    // From 3 o'clock: -135 degrees from 12 o'clock is 135, the range 270.
    EXPECT_EQ(knobView["angle-start"].toString(), "135");
    EXPECT_EQ(knobView["angle-range"].toString(), "270");
    // Nothing but strings and objects.
    const std::function<bool(const QJsonObject&)> onlyStrings = [&](const QJsonObject& object) {
        for (const QJsonValue& value : object)
            if (!(value.isString() || (value.isObject() && onlyStrings(value.toObject()))))
                return false;
        return true;
    };
    EXPECT_TRUE(onlyStrings(document.object()));
}

// The header compiles as C and as C++ with the loaders it is for (stand-ins
// of DPF's Image::loadFromPNG(const char*, uint) and of a loader taking
// const void*), and a program built with it writes back exactly the bytes of
// each strip file, those above 127 too. It is written as the strips come.
TEST(SideFiles, HeaderCompilesWithItsLoadersAndHoldsTheFilesBytes) {
    QTemporaryDir dir;
    QByteArray one, two;
    for (int b = 0; b < 1000; ++b) one += static_cast<char>(b * 7);
    two = QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(3, '\0');
    const StripFacts facts = knob();
    Png::MemorySink text;
    const auto header = MakeCHeader(text, facts);
    ASSERT_TRUE(header->begin());
    for (std::size_t k = 0; k < 2; ++k) {
        const QByteArray& bytes = k == 0 ? one : two;
        Png::ByteSink& strip = header->strip(k);
        // In pieces, as a strip's bands come.
        for (qsizetype at = 0; at < bytes.size(); at += 300)
            ASSERT_TRUE(
                strip.write(reinterpret_cast<const uint8_t*>(bytes.constData()) + at,
                            static_cast<std::size_t>(std::min<qsizetype>(300, bytes.size() - at))));
        ASSERT_TRUE(header->endStrip());
    }
    ASSERT_TRUE(header->finish());
    QFile file(dir.filePath("knob.h"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(text.bytes.data()),
               static_cast<qsizetype>(text.bytes.size()));
    file.close();
    QFile program(dir.filePath("dump.c"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write(
        "#include <stdio.h>\n#include \"knob.h\"\n"
        "static int loadFromPNG(const char* data, unsigned int size) { return data[0] && size; }\n"
        "static int getFromMemory(const void* data, int size) { return data && size; }\n"
        "int main(void) {\n"
        "    fwrite(my_knob_2_data, 1, my_knob_2_size, stdout);\n"
        "    fwrite(my_knob_2_data_2x, 1, my_knob_2_size_2x, stdout);\n"
        "    return loadFromPNG(my_knob_2_data_2x, my_knob_2_size_2x) &&\n"
        "           getFromMemory(my_knob_2_data, (int) my_knob_2_size) &&\n"
        "           my_knob_2_frames == 129 && my_knob_2_frame_width == 48 &&\n"
        "           my_knob_2_rows == 129 && my_knob_2_end_angle == 135.0 ? 0 : 3;\n"
        "}\n");
    program.close();
    for (const char* language : {"c", "c++"}) {
        QProcess compiler;
        compiler.setWorkingDirectory(dir.path());
        compiler.start(
            QStringLiteral(TORVELINK_CXX),
            {"-x", language, "-Wall", "-Wextra", "-pedantic", "-Werror", "dump.c", "-o", "dump"});
        ASSERT_TRUE(compiler.waitForFinished(60000));
        ASSERT_EQ(compiler.exitCode(), 0) << compiler.readAllStandardError().toStdString();
        QProcess dump;
        dump.start(dir.filePath("dump"), {});
        ASSERT_TRUE(dump.waitForFinished(10000));
        EXPECT_EQ(dump.exitCode(), 0) << language << ": the facts";
        EXPECT_EQ(dump.readAllStandardOutput(), one + two) << language;
    }
}

TEST(SideFiles, IdentifiersForCAndCss) {
    EXPECT_EQ(Identifier("knob-2.1"), "knob_2_1");
    EXPECT_EQ(Identifier("3d"), "_3d");
    EXPECT_EQ(Identifier(QString::fromUtf8("Drehknöpfe")), "Drehkn_pfe");
    EXPECT_EQ(Identifier(""), "_");
}

}  // namespace
