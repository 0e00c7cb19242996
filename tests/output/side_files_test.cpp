// The files beside a strip, read back by real parsers: JSON, XML, a C and a
// C++ compiler, and Kontakt's "key: value" lines.
#include "side_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QXmlStreamReader>

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
    EXPECT_EQ(two["valueToFrame"].toString(), kValueToFrame);
    EXPECT_EQ(two["version"].toInt(), kManifestVersion);
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

TEST(SideFiles, UidescIsAVstguiDescriptionOfEveryScale) {
    QXmlStreamReader xml(UidescText(knob()));
    std::vector<QXmlStreamAttributes> bitmaps, views;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("bitmap")) bitmaps.push_back(xml.attributes());
        if (xml.name() == QLatin1String("view")) views.push_back(xml.attributes());
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    ASSERT_EQ(bitmaps.size(), 2u);
    EXPECT_EQ(bitmaps[0].value("name"), QLatin1String("my-knob 2"));
    EXPECT_EQ(bitmaps[0].value("path"), QLatin1String("my-knob 2.png"));
    EXPECT_EQ(bitmaps[0].value("multiframe-num-frames"), QLatin1String("129"));
    EXPECT_EQ(bitmaps[0].value("mulitframe-frames-per-row"), QLatin1String("1"));
    EXPECT_EQ(bitmaps[0].value("multiframe-size"), QLatin1String("48, 40"));
    EXPECT_EQ(bitmaps[1].value("name"), QLatin1String("my-knob 2#2.0x"));
    EXPECT_EQ(bitmaps[1].value("scale-factor"), QLatin1String("2"));
    ASSERT_EQ(views.size(), 1u);
    EXPECT_EQ(views[0].value("class"), QLatin1String("CAnimKnob"));
    EXPECT_EQ(views[0].value("height-of-one-image"), QLatin1String("40"));
    EXPECT_EQ(views[0].value("sub-pixmaps"), QLatin1String("129"));
    // From 3 o'clock: -135 degrees from 12 o'clock is 135, the range 270.
    EXPECT_EQ(views[0].value("angle-start"), QLatin1String("135"));
    EXPECT_EQ(views[0].value("angle-range"), QLatin1String("270"));
}

// The header compiles as C and as C++, and a program built with it writes
// back exactly the bytes of each strip file.
TEST(SideFiles, HeaderCompilesAndHoldsTheFilesBytes) {
    QTemporaryDir dir;
    QByteArray one, two;
    for (int b = 0; b < 1000; ++b) one += static_cast<char>(b * 7);
    two = QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(3, '\0');
    QFile header(dir.filePath("knob.h"));
    ASSERT_TRUE(header.open(QIODevice::WriteOnly));
    header.write(HeaderText(knob(), {one, two}));
    header.close();
    QFile program(dir.filePath("dump.c"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.write(
        "#include <stdio.h>\n#include \"knob.h\"\n"
        "int main(void) {\n"
        "    fwrite(my_knob_2_data, 1, my_knob_2_size, stdout);\n"
        "    fwrite(my_knob_2_data_2x, 1, my_knob_2_size_2x, stdout);\n"
        "    return my_knob_2_frames == 129 && my_knob_2_frame_width == 48 &&\n"
        "           my_knob_2_rows == 129 && my_knob_2_end_angle == 135.0 ? 0 : 3;\n"
        "}\n");
    program.close();
    for (const char* language : {"c", "c++"}) {
        QProcess compiler;
        compiler.setWorkingDirectory(dir.path());
        compiler.start(QStringLiteral(TORVELINK_CXX),
                       {"-x", language, "-Wall", "-Werror", "dump.c", "-o", "dump"});
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
