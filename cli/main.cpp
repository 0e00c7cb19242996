#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "strip_cli.h"

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const int code = StripCli::Run(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return code;
}
