// What build tools and compilers read of a run: the dependency file as make
// reads it, and the strips' C source compiled as C and as C++ and linked
// with a program in the other language.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "byte_sink.h"
#include "dependency_file.h"
#include "strip_header.h"

using namespace Engine;
using namespace Messages;
using namespace Output;

namespace {

// Names as GNU make takes them apart: a space or tab after 2N + 1
// backslashes is N backslashes and the space, 2N at the end of a name are
// N; '#' is escaped, '$' doubled;
// every prerequisite has an empty rule of its own, so that one gone does
// not stop make.
TEST(DependencyFile, NamesAreEscapedAsMakeReadsThem) {
    const std::vector<DependencyRule> rules = {
        {{"out dir/k_Seq_V.png", "out dir/k_Seq_V@2x.png", "x#1.h"},
         {"k.json", "lay $HOME.png", "a\\ b.png", "tab\there.svg", "end\\"}},
        {{"f_Seq_V.png"}, {"k.json", "f.png"}},
    };
    const auto text = DependencyFileText(rules);
    ASSERT_TRUE(std::holds_alternative<QByteArray>(text));
    EXPECT_EQ(std::get<QByteArray>(text),
              "out\\ dir/k_Seq_V.png out\\ dir/k_Seq_V@2x.png x\\#1.h: \\\n"
              "  k.json \\\n"
              "  lay\\ $$HOME.png \\\n"
              "  a\\\\\\ b.png \\\n"
              "  tab\\\there.svg \\\n"
              "  end\\\\\n"
              "f_Seq_V.png: \\\n"
              "  k.json \\\n"
              "  f.png\n"
              "\nk.json:\n"
              "\nlay\\ $$HOME.png:\n"
              "\na\\\\\\ b.png:\n"
              "\ntab\\\there.svg:\n"
              "\nend\\\\:\n"
              "\nf.png:\n");
}

TEST(DependencyFile, ALineBreakInANameIsNamed) {
    const auto text = DependencyFileText({{{"k_Seq_H.png"}, {"two\nlines.png"}}});
    ASSERT_TRUE(std::holds_alternative<Message>(text));
    EXPECT_EQ(std::get<Message>(text).code, MessageCode::NameOnNoLine);
    EXPECT_EQ(std::get<Message>(text).subject, "two\nlines.png");
    EXPECT_FALSE(OnOneLine("carriage\rreturn.png"));
}

TEST(EmbeddedName, FileNamesBecomeNamesNeitherLanguageKeeps) {
    const std::pair<const char*, const char*> cases[] = {
        {"knob_Seq_V.png", "knob_Seq_V"},
        {"knob_Seq_V@2x.png", "knob_Seq_V_2x"},
        {"knob_Seq_V#2.0x.png", "knob_Seq_V_2_0x"},
        {"my--knob 2.png", "my_knob_2"},  // never two underscores together
        {"3d.png", "_3d"},                // never a digit first
        {"_Knob.png", "Knob"},            // never an underscore before a capital
        {"class.png", "class_"},          // never a keyword
        {"linux.bmp", "linux_"},          // never a name GCC defines
        {"__.png", "strip"},
    };
    for (const auto& [file, name] : cases) EXPECT_EQ(EmbeddedName(file), name) << file;
    for (const char* good : {"strips", "ui", "my_plugin2"}) EXPECT_TRUE(IsCNamespace(good)) << good;
    for (const char* bad : {"", "2ui", "_ui", "ui_", "my__ui", "ui-x", "namespace", "int"})
        EXPECT_FALSE(IsCNamespace(bad)) << bad;
}

// Two strips of 129 and 3 frames at 1x and 2x, their bytes those of files.
StripFacts grid() {
    StripFacts facts;
    facts.name = QStringLiteral("knob");
    facts.frames = 5;
    facts.layout = StripLayout::Grid(2);
    facts.startAngle = -150.0f;
    facts.stepAngle = 75.0f;
    facts.strips = {{QStringLiteral("knob_Seq_G.png"), 1.0, 20, 16, 40, 48, 10.0f},
                    {QStringLiteral("knob_Seq_G@1.5x.png"), 1.5, 30, 24, 60, 72, 15.0f}};
    return facts;
}

void save(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

int compile(const QString& folder, const QStringList& args) {
    QProcess compiler;
    compiler.setWorkingDirectory(folder);
    compiler.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    compiler.start(QStringLiteral(TORVELINK_CXX), args);
    return compiler.waitForFinished(60000) ? compiler.exitCode() : -1;
}

// The source compiled in one language and the program that uses it in the
// other, strict: the program writes back each file's bytes, those above
// 127 too, and its facts. The source is written as the strips come.
TEST(EmbeddedSource, LinksIntoCAndCxxProgramsWithEachFilesBytesAndFacts) {
    QTemporaryDir dir;
    QByteArray one, two;
    for (int b = 0; b < 700; ++b) one += static_cast<char>(b * 13);
    two = QByteArray("\x89PNG\r\n\x1A\n", 8) + QByteArray(2, '\0');
    const StripFacts facts = grid();
    Png::MemorySink source;
    const auto holder = MakeCSource(source, facts, "ui", "knob strips.h");
    ASSERT_TRUE(holder->begin());
    for (std::size_t k = 0; k < 2; ++k) {
        const QByteArray& bytes = k == 0 ? one : two;
        Png::ByteSink& strip = holder->strip(k);
        for (qsizetype at = 0; at < bytes.size(); at += 256)
            ASSERT_TRUE(
                strip.write(reinterpret_cast<const uint8_t*>(bytes.constData()) + at,
                            static_cast<std::size_t>(std::min<qsizetype>(256, bytes.size() - at))));
        ASSERT_TRUE(holder->endStrip());
    }
    ASSERT_TRUE(holder->finish());
    save(dir.filePath("knob strips.c"),
         QByteArray(reinterpret_cast<const char*>(source.bytes.data()),
                    static_cast<qsizetype>(source.bytes.size())));
    save(dir.filePath("knob strips.h"), CDeclarations(facts, "ui"));
    save(dir.filePath("use.cpp"),
         "#include <cstdio>\n#include \"knob strips.h\"\n"
         "int main() {\n"
         "    const torvelink_strip& a = ui::knob_Seq_G;\n"
         "    const torvelink_strip& b = ui::knob_Seq_G_1_5x;\n"
         "    std::fwrite(a.data, 1, a.size, stdout);\n"
         "    std::fwrite(b.data, 1, b.size, stdout);\n"
         "    std::fprintf(stderr, \"%u %ux%u %ux%u %s %g %g %g\", b.frames, b.frame_width,\n"
         "                 b.frame_height, b.columns, b.rows, b.layout, b.scale, b.start_angle,\n"
         "                 b.end_angle);\n"
         "}\n");
    save(dir.filePath("use.c"),
         "#include <stdio.h>\n#include \"knob strips.h\"\n"
         "int main(void) {\n"
         "    fwrite(ui_knob_Seq_G.data, 1, ui_knob_Seq_G.size, stdout);\n"
         "    fwrite(ui_knob_Seq_G_1_5x.data, 1, ui_knob_Seq_G_1_5x.size, stdout);\n"
         "    fprintf(stderr, \"%u %ux%u %ux%u %s %g %g %g\", ui_knob_Seq_G_1_5x.frames,\n"
         "            ui_knob_Seq_G_1_5x.frame_width, ui_knob_Seq_G_1_5x.frame_height,\n"
         "            ui_knob_Seq_G_1_5x.columns, ui_knob_Seq_G_1_5x.rows,\n"
         "            ui_knob_Seq_G_1_5x.layout, ui_knob_Seq_G_1_5x.scale,\n"
         "            ui_knob_Seq_G_1_5x.start_angle, ui_knob_Seq_G_1_5x.end_angle);\n"
         "    return 0;\n"
         "}\n");
    const QStringList strict{"-Wall", "-Wextra", "-pedantic", "-Werror"};
    for (const auto& [strips, program, driver] :
         {std::tuple{"c", "use.cpp", "-std=c++17"}, std::tuple{"c++", "use.c", "-std=c11"}}) {
        ASSERT_EQ(compile(dir.path(), QStringList{"-x", strips} + strict +
                                          QStringList{"-c", "knob strips.c", "-o", "strips.o"}),
                  0)
            << strips;
        const bool cxx = QByteArray(program).endsWith(".cpp");
        ASSERT_EQ(compile(dir.path(), QStringList{"-x", cxx ? "c++" : "c", driver} + strict +
                                          QStringList{"-c", program, "-o", "use.o"}),
                  0)
            << program;
        ASSERT_EQ(compile(dir.path(), {"use.o", "strips.o", "-o", "use"}), 0);
        QProcess use;
        use.start(dir.filePath("use"), {});
        ASSERT_TRUE(use.waitForFinished(10000));
        EXPECT_EQ(use.readAllStandardOutput(), one + two) << program;
        EXPECT_EQ(use.readAllStandardError(), "5 30x24 2x3 grid 1.5 -150 150") << program;
    }
}

}  // namespace
