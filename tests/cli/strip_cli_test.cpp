#include "strip_cli.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "option_table.h"
#include "picture_files.h"
#include "picture_io.h"
#include "qt_drawing.h"
#include "strip_render.h"

using namespace Cli;
using namespace Drawing;
using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Png;
using namespace Render;

namespace {

class StripCliTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString out, err;

    int run(const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        return Cli::Run(args, o, e);
    }
    QString picture(const QString& name, int w, int h) {
        const QString file = dir.filePath(name);
        EXPECT_TRUE(picture_files::Distinct(w, h).save(file, "BMP"));
        return file;
    }
};

TEST_F(StripCliTest, DefaultsWriteTheStripBesideThePicture) {
    const QString knob = picture("Knopf.bmp", 45, 45);
    ASSERT_EQ(run({knob}), Cli::kWritten) << err.toStdString();
    EXPECT_EQ(out, dir.filePath("Knopf_Seq_H.bmp") + ": 1260 x 45 Pixel, 28 Einzelbilder\n");
    EXPECT_TRUE(err.isEmpty());
    const QImage strip(dir.filePath("Knopf_Seq_H.bmp"));
    ASSERT_EQ(strip.size(), QSize(1260, 45));

    // Byte for byte the engine's strip: 28 frames, radius 22.5, angle 10.
    PixelGrid src;
    BitmapInfoHeader info;
    src.allocate(45, 45);
    Engine::SetDibHeader(src, info);
    APIMod::GrabPictureBits(QImage(knob), src, info);
    QImage expected(1260, 45, QImage::Format_RGB32);
    RenderStrip(StripLayout::Horizontal(), {28, 22.5f, 10.0f}, Routine::Bilinear, src,
                ViewOf(expected));
    EXPECT_EQ(strip.convertToFormat(QImage::Format_RGB32), expected);
}

TEST_F(StripCliTest, OptionsChooseTheStrip) {
    const QString knob = picture("a.b.bmp", 20, 30);
    ASSERT_EQ(
        run({knob, "--vertical", "--frames=5", "--angle", "-33.3", "--radius", "-4", "--nearest"}),
        Cli::kWritten)
        << err.toStdString();
    const QImage strip(dir.filePath("a.b_Seq_V.bmp"));
    EXPECT_EQ(strip.size(), QSize(20, 150));
    const QString png = dir.filePath("out.PNG");
    ASSERT_EQ(run({knob, "-o", png, "--frames", "2.5"}), Cli::kWritten);
    QImageReader reader(png);
    EXPECT_EQ(reader.format(), "png");
    EXPECT_EQ(reader.size(), QSize(40, 30)) << "2.5 frames round to 2";
}

TEST_F(StripCliTest, VerticalStripIsLimitedWithTheWarning) {
    const QString knob = picture("k.bmp", 45, 45);
    ASSERT_EQ(run({knob, "--vertical", "--frames", "200"}), Cli::kWritten);
    EXPECT_EQ(err, QString::fromUtf8("Zu gross für Verikale Sequenz. \nReduziere die "
                                     "Einzelbilder.\n"));
    EXPECT_EQ(QImageReader(dir.filePath("k_Seq_V.bmp")).size(), QSize(45, 7965));
    const QString exact = picture("e.bmp", 40, 40);
    ASSERT_EQ(run({exact, "--vertical", "--frames", "200"}), Cli::kWritten);
    EXPECT_TRUE(err.isEmpty()) << "exactly 8000 pixels pass";
}

TEST_F(StripCliTest, OversizePictureIsRefusedAndNothingWritten) {
    const QString big = picture("gross.bmp", 1030, 150);
    ASSERT_EQ(run({big, "--frames", "1"}), Cli::kFailed) << "1024 unless said otherwise";
    EXPECT_EQ(err, QString::fromUtf8("Die Datei '%1' ist zu groß.\nMaximal erlaubt: 1024 x "
                                     "1024 \nDieses Bild hat: 1030 x 150\n"
                                     "Mit --max-size 1030 geht es.\n")
                       .arg(big))
        << "named as it was given";
    ASSERT_EQ(run({big, "--max-size", "150"}), Cli::kFailed);
    EXPECT_TRUE(err.contains("Maximal erlaubt: 150 x 150 \nDieses Bild hat: 1030 x 150\n"));
    EXPECT_EQ(run({big, "--max-size", "1030", "--frames", "1"}), Cli::kWritten);
    EXPECT_FALSE(QFile::exists(dir.filePath("gross_Seq_V.bmp")));
    // A drawing is as large as it says, past any integer too.
    QFile huge(dir.filePath("riesig.svg"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"2000000000\" height=\"40\"/>");
    huge.close();
    ASSERT_EQ(run({huge.fileName(), "--scale", "2"}), Cli::kFailed);
    EXPECT_TRUE(err.endsWith("Dieses Bild hat: 4000000000 x 80\n")) << err.toStdString();
}

// A name that would wipe the line before it and print what it likes on the
// terminal is printed as ls -b prints it, in the message and where a batch
// names the picture a message is about.
TEST_F(StripCliTest, NamesThatSpeakToTheTerminalAreQuoted) {
    const QString hostile = picture(QStringLiteral("k\x1b[1A\x1b[2K\rok.bmp"), 1030, 10);
    ASSERT_EQ(run({hostile, picture("k.bmp", 10, 10), "-o", dir.filePath("aus/")}), Cli::kFailed);
    EXPECT_FALSE(err.contains(QChar(0x1b)) || err.contains('\r')) << err.toStdString();
    EXPECT_TRUE(
        QString(err)
            .remove(dir.path() + '/')
            .startsWith(QStringLiteral("Die Datei 'k\\033[1A\\033[2K\\rok.bmp' ist zu gro")))
        << err.toStdString();
    EXPECT_TRUE(
        err.endsWith(QStringLiteral("k\\033[1A\\033[2K\\rok.bmp: Mit --max-size 1030 geht es.\n")))
        << err.toStdString();
}

// A file this run wrote is not written again however its path is spelt
// (through a link to its folder, with "./"); a loop of links as -o is named,
// not replaced.
TEST_F(StripCliTest, StripsAreClaimedWhereTheyLie) {
    ASSERT_TRUE(QDir(dir.path()).mkdir("d"));
    ASSERT_TRUE(QFile::link(dir.filePath("d"), dir.filePath("ld")));
    const QString first = picture("d/x.png", 10, 10);
    picture("d/x.gif", 12, 12);
    for (const char* second : {"ld/x.gif", "d/./x.gif"}) {
        EXPECT_EQ(run({first, dir.filePath(second)}), Cli::kFailed) << second;
        EXPECT_TRUE(err.contains("x_Seq_H.bmp' wurde eben schon")) << err.toStdString();
        EXPECT_EQ(QImageReader(dir.filePath("d/x_Seq_H.bmp")).size(), QSize(280, 10)) << second;
    }
    ASSERT_TRUE(QFile::link("schleife.bmp", dir.filePath("schleife.bmp")));
    EXPECT_EQ(run({first, "-o", dir.filePath("schleife.bmp")}), Cli::kFailed);
    EXPECT_EQ(err.toStdString(), QString::fromUtf8("Die Datei '%1' konnte nicht gespeichert "
                                                   "werden: zu viele symbolische Verknüpfungen.\n")
                                     .arg(dir.filePath("schleife.bmp"))
                                     .toStdString());
    EXPECT_TRUE(QFileInfo(dir.filePath("schleife.bmp")).isSymLink());
}

TEST_F(StripCliTest, InputAndOutputFailuresExitWithOne) {
    const QString knob = picture("k.bmp", 121, 121);
    EXPECT_EQ(run({knob, "--frames", "99999"}), Cli::kFailed);
    EXPECT_TRUE(err.contains("12099879 x 121")) << err.toStdString();
    EXPECT_FALSE(QFile::exists(dir.filePath("k_Seq_H.bmp")));
    EXPECT_EQ(run({dir.filePath("fehlt.gif")}), Cli::kFailed);
    EXPECT_TRUE(err.contains("fehlt.gif"));
    // Missing folders are made for a file as for a folder; a file in the way
    // of one is named.
    EXPECT_EQ(run({knob, "-o", dir.filePath("neu/ordner/x.bmp"), "--frames", "2"}), Cli::kWritten);
    EXPECT_EQ(QImageReader(dir.filePath("neu/ordner/x.bmp")).size(), QSize(242, 121));
    EXPECT_EQ(run({knob, "-o", dir.filePath("k.bmp/x.bmp")}), Cli::kFailed);
    EXPECT_TRUE(err.contains("k.bmp")) << err.toStdString();
}

TEST_F(StripCliTest, UsageErrorsExitWithTwo) {
    const QString knob = picture("k.bmp", 10, 10);
    for (const QStringList& args :
         {QStringList{},
          QStringList{knob, "--frames", "abc"},
          QStringList{knob, "--frames"},
          QStringList{knob, "--angle", "1;5"},
          QStringList{knob, "--radius", "0x10"},
          QStringList{knob, "--horizontal", "--vertical"},
          QStringList{knob, "--wobble"},
          QStringList{knob, knob, "-o", dir.filePath("x.bmp")},
          QStringList{knob, "--angle", "5", "--sweep", "270"},
          QStringList{knob, "--background", "1,2"},
          QStringList{knob, "--background", "1,2,256"},
          QStringList{knob, "--format", "gif"},
          QStringList{knob, "--scale", "0"},
          QStringList{knob, "--size", "2.5"},
          QStringList{knob, "--start", "abc"},
          QStringList{knob, "-o", dir.filePath("x.bmp"), "--format", "png"},
          QStringList{knob, "--max-size", "0"},
          QStringList{knob, "--max-size", "12.5"},
          QStringList{knob, "--frames", "1e999"},
          QStringList{knob, "--for", "flash"},
          QStringList{knob, "--end", "135", "--sweep", "270"},
          QStringList{knob, "--scales", "0,1"},
          QStringList{knob, "--layout", "grid:0"},
          QStringList{knob, "-o", dir.filePath("x.jpg")},
          QStringList{knob, "-q", "--verbose"}}) {
        EXPECT_EQ(run(args), Cli::kUsage) << args.join(' ').toStdString();
        // One line says what is wrong, one where the help is.
        const QStringList lines = err.split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), 2) << err.toStdString();
        EXPECT_TRUE(lines.value(0).startsWith("torvelink-cli: ")) << err.toStdString();
        EXPECT_EQ(lines.value(1), "Mehr mit 'torvelink-cli --help'.");
    }
    EXPECT_EQ(run({"--help"}), Cli::kWritten);
    EXPECT_TRUE(out.contains("--max-size")) << "the usage, on standard output";
    EXPECT_TRUE(out.contains("67108864")) << "the strip limit is stated";
}

TEST(StrictNumber, DecimalSignFractionExponentOnly) {
    EXPECT_EQ(Plan::StrictNumber("28"), 28.0);
    EXPECT_EQ(Plan::StrictNumber("-33.3"), -33.3);
    EXPECT_EQ(Plan::StrictNumber("+.5"), 0.5);
    EXPECT_EQ(Plan::StrictNumber("1e3"), 1000.0);
    EXPECT_EQ(Plan::StrictNumber("5."), 5.0);
    for (const char* bad :
         {"", "abc", "1,5", "&H1F", "1.5D1", " 7", "7 ", "1e", "--5", "inf", "nan"})
        EXPECT_EQ(Plan::StrictNumber(bad), std::nullopt) << bad;
}

// A line for each file written, nothing with -q; every repair of a parameter
// is a warning.
TEST_F(StripCliTest, SaysWhatItWroteAndWhatItRepaired) {
    const QString knob = picture("k.bmp", 45, 45);
    QProcess process;
    process.start(QStringLiteral(TORVELINK_CLI), {knob, "--frames", "3", "-q"});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(process.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(process.readAllStandardError().isEmpty());
    EXPECT_EQ(QImageReader(dir.filePath("k_Seq_H.bmp")).size(), QSize(135, 45));
    for (const auto& [frames, said] : {std::pair{"0", "--frames 0 ergibt 1 Einzelbild."},
                                       {"12.5", "--frames 12,5 ergibt 12"},
                                       {"-5", "--frames -5 ergibt 1"}}) {
        EXPECT_EQ(run({knob, "--frames", frames}), Cli::kWritten);
        EXPECT_TRUE(err.contains(QString::fromUtf8(said))) << err.toStdString();
    }
    EXPECT_EQ(run({knob, "--radius", "0", "--frames", "2", "-v"}), Cli::kWritten);
    EXPECT_TRUE(err.contains("Rotationsradius 0")) << err.toStdString();
    EXPECT_TRUE(out.startsWith(knob + ": 2 Einzelbilder von 45 x 45 Pixeln, Radius 0,00"))
        << out.toStdString();
    process.start(QStringLiteral(TORVELINK_CLI), {});
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 2);
}

// Every file under the folder, but for the pictures given.
QStringList filesUnder(const QString& folder, const QStringList& pictures) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!pictures.contains(file)) files << file;
    }
    files.sort();
    return files;
}

// What a build tool learns beforehand is what the run writes, every scale
// and side file named alike, and it writes nothing; a strip whose format
// the picture's pixels would choose cannot be named beforehand.
TEST_F(StripCliTest, ListedFilesAreTheFilesWritten) {
    const QString knob = picture("k.bmp", 40, 40);
    const QStringList cases[] = {
        {"--for", "vstgui", "--scales", "1.5,2", "--preview"},
        {"--for", "kontakt", "--scales", "1,2", "--manifest", "-o", dir.filePath("aus") + '/'},
        {"--for", "dpf", "--side", "header,manifest", "--embed", dir.filePath("gen/k.c")},
        {"--format", "png", "--layout", "frames", "--frames", "3", "-o", dir.filePath("f")},
    };
    for (const QStringList& args : cases) {
        ASSERT_EQ(run(QStringList{knob, "--list-outputs"} + args), Cli::kWritten)
            << err.toStdString();
        QStringList listed = out.split('\n', Qt::SkipEmptyParts);
        listed.sort();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                  QStringList{"k.bmp"})
            << "nothing written, no folder made";
        ASSERT_EQ(run(QStringList{knob} + args), Cli::kWritten) << err.toStdString();
        EXPECT_EQ(filesUnder(dir.path(), {knob}), listed) << args.join(' ').toStdString();
        for (const char* folder : {"aus", "gen", "f"})
            QDir(dir.filePath(folder)).removeRecursively();
        for (const QString& file : listed) QFile::remove(file);
    }
    EXPECT_EQ(run({knob, "--list-outputs"}), Cli::kFailed);
    EXPECT_EQ(err, QString::fromUtf8("'%1': Ob der Streifen BMP oder PNG wird, hängt von seiner "
                                     "Transparenz ab; --list-outputs braucht --format oder "
                                     "--for, um ihn zu nennen.\n")
                       .arg(knob));
    EXPECT_TRUE(out.isEmpty());
}

// A build tool builds a strip again when anything it was made from changes:
// the dependency file names the recipe, its picture and every layer for
// every file written, and is written only when everything is, never over a
// picture.
TEST_F(StripCliTest, DependencyFileNamesEveryFileReadForEveryFileWritten) {
    for (const char* name : {"knob.bmp", "shadow.bmp", "gloss.bmp"}) picture(name, 30, 30);
    QFile recipe(dir.filePath("knob.json"));
    ASSERT_TRUE(recipe.open(QIODevice::WriteOnly));
    recipe.write(R"({"picture": "knob.bmp", "under": ["shadow.bmp"], "over": ["gloss.bmp"],
                    "for": "juce", "frames": 5, "scales": "1,2", "manifest": true})");
    recipe.close();
    const QString out1 = dir.filePath("aus"), depfile = dir.filePath("deps/knob.d");
    ASSERT_EQ(run({recipe.fileName(), "--depfile", depfile, "-o", out1 + '/'}), Cli::kWritten)
        << err.toStdString();
    EXPECT_TRUE(out.endsWith(depfile + ": die Abhängigkeitsdatei für make und ninja\n"))
        << out.toStdString();
    QFile written(depfile);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QString d = dir.path();
    EXPECT_EQ(QString::fromUtf8(written.readAll()),
              QStringLiteral("%1/knob_Seq_V.json %1/knob_Seq_V@2x.json %1/knob_Seq_V.png "
                             "%1/knob_Seq_V@2x.png: \\\n  %2/knob.json \\\n  %2/knob.bmp \\\n"
                             "  %2/shadow.bmp \\\n  %2/gloss.bmp\n\n%2/knob.json:\n\n"
                             "%2/knob.bmp:\n\n%2/shadow.bmp:\n\n%2/gloss.bmp:\n")
                  .arg(out1, d));
    // A second picture that fails: no dependency file, as no complete run.
    const QString failed = dir.filePath("failed.d");
    EXPECT_EQ(
        run({recipe.fileName(), dir.filePath("fehlt.bmp"), "--depfile", failed, "-o", out1 + '/'}),
        Cli::kFailed);
    EXPECT_FALSE(QFile::exists(failed));
    const QString knob = dir.filePath("knob.bmp");
    EXPECT_EQ(run({knob, "--depfile", knob, "-o", out1 + '/'}), Cli::kFailed);
    EXPECT_TRUE(err.contains("ist ein Bild dieses Aufrufs")) << err.toStdString();
    EXPECT_EQ(QImageReader(knob).size(), QSize(30, 30));
}

}  // namespace
