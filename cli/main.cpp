#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

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
    qInstallMessageHandler(quiet);
    QCoreApplication app(argc, argv);
    // File names byte for byte, whatever their encoding.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << NativePath::Decode(QByteArray(argv[i]));
    QTextStream out(stdout), err(stderr);
    const int code = StripCli::Run(arguments, out, err);
    out.flush();
    err.flush();
    return code;
}
