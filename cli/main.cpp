#include <unistd.h>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <memory>

#include "native_path.h"
#include "safe_file.h"
#include "strip_cli.h"

namespace {

// Qt's readers and writers log in English (a damaged JPEG, a failed PNG
// write); the command line says what went wrong in its own words only.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int main(int argc, char** argv) {
    IgnoreFileSizeSignal();
    RemoveTemporaryFilesOnInterrupt();
    qInstallMessageHandler(quiet);
    // File names byte for byte, whatever their encoding.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << NativePath::Decode(QByteArray(argv[i]));
    // Text in an SVG drawing needs fonts, and fonts a GUI application; it
    // draws off screen and costs start-up time, so only when there is one.
    const StripCli::Parsed parsed = StripCli::ParseArguments(arguments);
    std::unique_ptr<QCoreApplication> app;
    if (StripCli::DrawsVectorPictures(parsed)) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    QTextStream out(stdout), err(stderr);
    const int code = StripCli::Run(parsed, out, err, isatty(STDERR_FILENO) == 1);
    out.flush();
    err.flush();
    return code;
}
