// The command line as a process, where what happens is the process's: a
// metafile that never ends, a pipe as input, a file size limit, a user
// without permission.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#include <csignal>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "drawing_files.h"
#include "picture_files.h"

namespace {

constexpr uid_t kNobody = 65534;

class CliProcess : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QProcess process;
    QString err;

    QString write(const QString& name, const QByteArray& bytes) const {
        QFile file(dir.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QString picture(const QString& name) const {
        const QString file = dir.filePath(name);
        EXPECT_TRUE(picture_files::Distinct(45, 45).save(file, "BMP"));
        return file;
    }
    // The exit code of a run that must end within 8 seconds; -1 if it does
    // not end, or ends by a signal.
    int run(const QStringList& args, const QString& program = QStringLiteral(TORVELINK_CLI)) {
        process.start(program, args);
        const bool ended = process.waitForFinished(8000);
        if (!ended) process.kill();
        err = QString::fromUtf8(process.readAllStandardError());
        return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }
    // Permissions count for the process: as root it runs as the user nobody.
    void unprivileged() {
        QFile::setPermissions(dir.path(), QFile::permissions(dir.path()) | QFile::ExeOther);
        if (::geteuid() != 0) return;
        process.setChildProcessModifier([] {
            if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
                ::_exit(99);
        });
    }
    QStringList entries() const {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }
    // The program as the user nobody can start it. As root it runs from a
    // copy, with its players, in a folder of its own: the build may lie
    // where nobody cannot go (under a home folder of mode 700).
    QString reachableProgram() {
        if (::geteuid() != 0) return QStringLiteral(TORVELINK_CLI);
        const QString from = QFileInfo(QStringLiteral(TORVELINK_CLI)).absolutePath();
        QFile::setPermissions(programs.path(), QFile::permissions(programs.path()) |
                                                   QFile::ReadOther | QFile::ExeOther);
        for (const char* name : {"torvelink-cli", "torvelink-wmf-player", "torvelink-svg-player",
                                 "torvelink-picture-player"})
            QFile::copy(from + '/' + name, programs.filePath(name));
        return programs.filePath("torvelink-cli");
    }

private:
    QTemporaryDir programs;
};

TEST_F(CliProcess, HangingMetafilesEndWithinTheDeadline) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TORVELINK_METAFILE_DEADLINE_MS"), QStringLiteral("1000"));
    process.setProcessEnvironment(env);
    const std::pair<QString, QByteArray> cases[] = {
        {"font_h0.wmf", picture_files::FontHeightZeroMetafile()},
        {"s2_neg_both2.wmf", picture_files::NegativeStretchMetafile()},
    };
    for (const auto& [name, bytes] : cases) {
        const QString file = write(name, bytes);
        EXPECT_EQ(run({file}), 1) << name.toStdString();
        EXPECT_EQ(err, QStringLiteral("Die Datei '%1' kann nicht gelesen werden: das Zeichnen "
                                      "dauerte zu lange.\n")
                           .arg(file));
    }
}

// A drawing is drawn in the drawing player, whatever it tries: to read a
// file beside it (here hidden from a reading of its text, in UTF-16), to
// draw for ever, to take memory without end.
TEST_F(CliProcess, HostileDrawingsAreRefusedInTime) {
    using namespace drawing_files;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TORVELINK_DRAWING_DEADLINE_MS"), QStringLiteral("1000"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(dir.path());
    picture("secret.png");
    const struct {
        const char* name;
        QByteArray svg;
        const char* reason;
    } cases[] = {
        {"fremd.svg", Utf16(QuoteTrick(), false, false),
         "die Zeichnung verweist auf andere Dateien"},
        {"endlos.svg", NeverEnds(), "das Zeichnen dauerte zu lange"},
        {"gross.svg", Svg(Image(DataUrl("image/svg+xml", Svg("", 5000, 5000)))),
         "das Zeichnen braucht zu viel Speicher"},
    };
    for (const auto& c : cases) {
        const QStringList before = entries();
        const QString file = write(c.name, c.svg);
        EXPECT_EQ(run({file, "--format", "png"}), 1) << c.name;
        EXPECT_EQ(err.toStdString(),
                  QStringLiteral("Die Datei '%1' kann nicht gelesen werden: %2.\n")
                      .arg(file, c.reason)
                      .toStdString());
        EXPECT_EQ(entries().size(), before.size() + 1) << c.name << ": nothing written";
    }
}

// Each thing that goes wrong with a picture is named as what it is.
TEST_F(CliProcess, MessagesSayWhatHappened) {
    using namespace drawing_files;
    ASSERT_TRUE(QDir(dir.path()).mkdir("ordner"));
    const QString plenty = write("viel", QByteArray(65 << 20, 'x'));
    const QString packed = write("gepackt", Gzip(Svg("<rect width=\"40\" height=\"40\"/>")));
    const struct {
        QStringList args;
        QString input;   // standard input's file
        QString tmpdir;  // TMPDIR (a file: no folder for anyone, root too)
        const char* said;
    } cases[] = {
        {{write("nan.svg",
                "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"nan\" height=\"3e9\"/>")},
         {},
         {},
         "Die Datei 'nan.svg' kann nicht gelesen werden: ihre Breite oder Höhe ist keine Zahl.\n"},
        {{write("lang.svg", Svg("<!--" + QByteArray(16 << 20, '-') + "-->"))},
         {},
         {},
         "Die Datei 'lang.svg' kann nicht gelesen werden: sie ist größer als 16 MiB.\n"},
        {{"-", "--max-size", "1"},
         plenty,
         {},
         "Die Datei '-' kann nicht gelesen werden: sie ist größer als 64 MiB.\n"},
        {{"-"},
         packed,
         plenty,
         "Die Datei '-' kann nicht gelesen werden: im Ordner für temporäre Dateien (TMPDIR) kann "
         "nichts abgelegt werden.\n"},
        {{"-", "--format", "png", "-o", "-"}, packed, {}, "-: 1120 x 40 Pixel, 28 Einzelbilder\n"},
        {{dir.filePath("ordner/")},
         {},
         {},
         "Die Datei 'ordner' kann nicht gelesen werden: es ist ein Ordner.\n"},
        {{write("tief.svg", Nested(6)), "--format", "png"},
         {},
         {},
         "Die Datei 'tief.svg' kann nicht gelesen werden: sie schachtelt Zeichnungen tiefer als 4 "
         "Ebenen.\n"},
        {{write("kurz.bmp", picture_files::ShortBitmap(4096, 4096)), "--max-size", "4096"},
         {},
         {},
         "Die Datei 'kurz.bmp' kann nicht gelesen werden: sie endet vor ihren Bildpunkten.\n"},
    };
    for (const auto& c : cases) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!c.tmpdir.isEmpty()) env.insert("TMPDIR", c.tmpdir);
        process.setProcessEnvironment(env);
        process.setStandardInputFile(c.input.isEmpty() ? QProcess::nullDevice() : c.input);
        run(c.args);
        // Names are said as given; these were given with the folder.
        EXPECT_EQ(QString(err).remove(dir.path() + '/').toStdString(), c.said);
    }
}

// Qt is not given the arguments: a picture may be named like Qt's own
// options; and what the image libraries write themselves never reaches the
// error output.
TEST_F(CliProcess, NamesAreNamesAndLibrariesKeepQuiet) {
    process.setWorkingDirectory(dir.path());
    const QByteArray svg = drawing_files::Svg("<rect width=\"40\" height=\"40\" fill=\"red\"/>");
    write("-platform", svg);  // as `torvelink-cli -- *` passes it, with a value after it
    write("knopf.svg", svg);
    EXPECT_EQ(run({"--", "-platform", "knopf.svg"}), 0) << err.toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("-platform_Seq_H.png")));

    QImage knob = picture_files::Distinct(8, 8);
    knob.save(dir.filePath("k.png"));
    QFile png(dir.filePath("k.png"));
    ASSERT_TRUE(png.open(QIODevice::ReadWrite));
    png.resize(60);  // libpng: "Read Error"
    png.close();
    EXPECT_EQ(run({"k.png", picture("k.bmp"), "-o", dir.filePath("aus/")}), 1);
    EXPECT_EQ(err.toStdString(),
              "Die Datei 'k.png' kann nicht gelesen werden: sie ist "
              "beschädigt oder kein Bild.\n");
}

// German where the locale is German, English everywhere else; the window
// stays German whatever the locale.
TEST_F(CliProcess, SpeaksTheLanguageOfTheLocale) {
    const struct {
        const char* lang;
        const char* said;
    } cases[] = {{"de_DE.UTF-8", "Unbekannte Option '--frame'."},
                 {"en_US.UTF-8", "unknown option '--frame'"},
                 {"C", "unknown option '--frame'"}};
    for (const auto& c : cases) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LANG", c.lang);
        process.setProcessEnvironment(env);
        EXPECT_EQ(run({picture("k.bmp"), "--frame", "3"}), 2);
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.said))) << c.lang << ": " << err.toStdString();
    }
}

// "-" reads the picture from standard input and writes the strip to
// standard output, byte for byte the strip a file gets; what was written is
// said on the error output then.
TEST_F(CliProcess, StandardInputAndOutput) {
    const QString knob = picture("k.bmp");
    ASSERT_EQ(run({knob, "--frames", "5", "--format", "png", "-o", dir.filePath("k.png"), "-q"}),
              0);
    QFile file(dir.filePath("k.png"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    process.setStandardInputFile(knob);
    EXPECT_EQ(run({"-", "--frames", "5", "--format", "png", "-o", "-"}), 0) << err.toStdString();
    EXPECT_EQ(process.readAllStandardOutput(), file.readAll());
    EXPECT_EQ(err, "-: 225 x 45 Pixel, 5 Einzelbilder\n");
    EXPECT_EQ(entries(), (QStringList{"k.bmp", "k.png"})) << "no file named '-'";
}

TEST_F(CliProcess, PipesAndDevicesAreRefusedAtOnce) {
    const QString pipe = dir.filePath("knopf.bmp");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& input : {pipe, QStringLiteral("/dev/zero")}) {
        EXPECT_EQ(run({input}), 1) << "no wait for a writer, no endless read";
        EXPECT_TRUE(err.contains("keine gew\u00f6hnliche Datei")) << err.toStdString();
    }
}

TEST_F(CliProcess, FileSizeLimitIsReportedNotFatal) {
    const QString knob = picture("k.bmp");
    const QString old = write("k_Seq_H.bmp", "the strip saved before");
    const QStringList before = entries();
    process.setChildProcessModifier([] {
        const rlimit small{4096, RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    EXPECT_EQ(run({knob}), 1) << "ends with 1, not by SIGXFSZ";
    EXPECT_EQ(err, QString::fromUtf8("Die Datei '%1' konnte nicht gespeichert werden: "
                                     "die Datei wäre größer als erlaubt.\n")
                       .arg(old));
    QFile kept(old);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "the strip saved before");
    EXPECT_EQ(entries(), before);
}

TEST_F(CliProcess, MissingPermissionIsNamed) {
    const QString knob = picture("k.bmp");
    const QString locked = picture("gesperrt.bmp");
    QFile::setPermissions(locked, {});
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                                          QFile::ExeOther);  // a read-only folder
    const QString program = reachableProgram();
    unprivileged();
    if (run({"--help"}, program) != 0)
        GTEST_SKIP() << "the user nobody cannot start " << program.toStdString()
                     << ": a folder above it is closed to others";
    EXPECT_EQ(run({locked, "-o", dir.filePath("x.bmp")}, program), 1);
    EXPECT_EQ(err, QStringLiteral("Die Datei '%1' kann nicht gelesen werden: keine "
                                  "Leseberechtigung.\n")
                       .arg(locked));
    EXPECT_EQ(run({knob}, program), 1);
    EXPECT_EQ(err, QStringLiteral("Die Datei '%1' konnte nicht gespeichert werden: kein "
                                  "Schreibrecht im Ordner.\n")
                       .arg(dir.filePath("k_Seq_H.bmp")));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(entries(), QStringList({"gesperrt.bmp", "k.bmp"}));
}

// A full disk: a small file system of its own, mounted where only this run
// sees it. Needs root and mount namespaces.
TEST_F(CliProcess, FullDiskIsNamed) {
    if (::geteuid() != 0 || QStandardPaths::findExecutable("unshare").isEmpty())
        GTEST_SKIP() << "needs root and unshare to mount a small file system";
    const QString knob = picture("k.bmp");
    const QString script = QStringLiteral(
        "mount -t tmpfs -o size=16k none \"$1\" || exit 77\n"
        "printf old > \"$1/k_Seq_H.bmp\"\n"
        "\"$0\" \"$2\" -o \"$1/k_Seq_H.bmp\" 2>&1\n"
        "echo \"exit $?\"; cat \"$1/k_Seq_H.bmp\"; echo; ls -A \"$1\"");
    ASSERT_TRUE(QDir(dir.path()).mkdir("voll"));
    run({"-m", "sh", "-c", script, TORVELINK_CLI, dir.filePath("voll"), knob},
        QStringLiteral("unshare"));
    if (process.exitCode() == 77 || process.exitCode() == 1)
        GTEST_SKIP() << "no mount namespace here: " << err.toStdString();
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()),
              QString::fromUtf8("Die Datei '%1/k_Seq_H.bmp' konnte nicht gespeichert werden: der "
                                "Datenträger ist voll.\nexit 1\nold\nk_Seq_H.bmp\n")
                  .arg(dir.filePath("voll")));
}

// Ctrl-C or SIGTERM while a strip is written: the process ends as the signal
// says, and its temporary file goes with it.
TEST_F(CliProcess, InterruptLeavesNoTemporaryFile) {
    QImage noise(1024, 1024, QImage::Format_RGB32);
    for (int y = 0; y < noise.height(); ++y)
        for (int x = 0; x < noise.width(); ++x)
            noise.setPixel(x, y, qRgb((x * 7919 + y) & 255, (y * 104729 + x) & 255, x ^ y));
    const QString knob = dir.filePath("gross.png");
    ASSERT_TRUE(noise.save(knob));
    ASSERT_TRUE(QDir(dir.path()).mkdir("aus"));
    const QDir out(dir.filePath("aus"));
    process.start(TORVELINK_CLI,
                  {knob, "--frames", "64", "--vertical", "-o", out.filePath("strip.png")});
    bool seen = false;
    while (!seen && process.state() != QProcess::NotRunning && !process.waitForFinished(5))
        seen = !out.entryList(QDir::Files | QDir::Hidden).isEmpty();
    if (!seen) GTEST_SKIP() << "the strip was written before its temporary file could be seen";
    ::kill(static_cast<pid_t>(process.processId()), SIGTERM);
    ASSERT_TRUE(process.waitForFinished(8000));
    // On a busy machine the strip may be complete, and in place, before the
    // signal comes; no temporary file may be left either way.
    const QStringList left = out.entryList(QDir::Files | QDir::Hidden);
    if (left == QStringList{"strip.png"})
        GTEST_SKIP() << "the strip was written before the signal came";
    EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << "ended by the signal";
    EXPECT_EQ(left, QStringList());
}

TEST_F(CliProcess, NamesThatAreNotUtf8LoadAndSave) {
    picture("k.bmp");
    const QByteArray folder = QFile::encodeName(dir.path());
    ASSERT_EQ(::mkdir(folder + "/ordner\xFD", 0700), 0);
    ASSERT_EQ(::rename(folder + "/k.bmp", folder + "/ordner\xFD/kn\xF6pf.bmp"), 0);
    // The names' bytes reach the program through the shell, untouched: the
    // strip beside the picture, then one into a new folder.
    const QString script = QStringLiteral(
        "p=\"$1/ordner$(printf '\\375')/kn$(printf '\\366')pf.bmp\"\n"
        "\"$0\" \"$p\" && \"$0\" \"$p\" -o \"$1/neu$(printf '\\377')/\"");
    EXPECT_EQ(run({"-c", script, TORVELINK_CLI, dir.path()}, QStringLiteral("/bin/sh")), 0)
        << err.toStdString();
    EXPECT_EQ(::unlink(folder + "/ordner\xFD/kn\xF6pf_Seq_H.bmp"), 0) << "saved beside the picture";
    EXPECT_EQ(::unlink(folder + "/neu\xFF/kn\xF6pf_Seq_H.bmp"), 0) << "saved into the new folder";
    // Qt's folder removal does not see such names.
    ::unlink(folder + "/ordner\xFD/kn\xF6pf.bmp");
    ::rmdir(folder + "/ordner\xFD");
    ::rmdir(folder + "/neu\xFF");
}

}  // namespace
