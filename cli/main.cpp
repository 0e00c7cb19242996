#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <csignal>

#include "error_output.h"
#include "native_path.h"
#include "safe_file.h"
#include "strip_cli.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Platform;
using namespace Png;

namespace {

// Qt's readers and writers log in English (a damaged JPEG, a failed PNG
// write); the command line says what went wrong in its own words only.
void quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

}  // namespace

int main(int argc, char** argv) {
    IgnoreFileSizeSignal();
    // A strip written to a pipe that closes is a failure to report, not the
    // end of the program.
    std::signal(SIGPIPE, SIG_IGN);
    RemoveTemporaryFilesOnInterrupt();
    qInstallMessageHandler(quiet);
    // C libraries below Qt's readers write to the error output themselves.
    const int messages = ErrorOutput::SetApart();
    // File names byte for byte, whatever their encoding.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << NativePath::Decode(QByteArray(argv[i]));
    // Qt is given the program's name only: a picture named like one of Qt's
    // own options is a picture.
    int qtArgc = argc > 0 ? 1 : 0;
    QCoreApplication app(qtArgc, argv);
    QFile errorFile;
    errorFile.open(messages, QIODevice::WriteOnly | QIODevice::Unbuffered,
                   QFileDevice::DontCloseHandle);
    QTextStream out(stdout), err(&errorFile);
    const int code = Cli::Run(arguments, out, err, isatty(messages) == 1);
    out.flush();
    err.flush();
    return code;
}
