#include "strip_cli.h"

#include <QFileInfo>

#include <filesystem>
#include <system_error>

#include "catalog.h"
#include "file_identity.h"
#include "native_path.h"
#include "picture_run.h"
#include "progress_line.h"
#include "settings.h"
#include "strip_plan.h"

namespace StripCli {

namespace {

QString say(const Message& message) {
    // The window breaks its messages at a lone carriage return; a terminal
    // wants a line break.
    return Catalog::Render(message, Catalog::CommandLineLanguage()).replace('\r', '\n');
}

// One line that says what is wrong, one where the help is.
int usageError(const Message& message, QTextStream& err) {
    err << "torvelink-cli: " << say(message) << "\n"
        << say({.code = MessageCode::UsageSeeHelp}) << "\n";
    return kUsage;
}

// The toolkits --for knows, a line each.
int listToolkits(QTextStream& out) {
    for (const Toolkit& toolkit : Toolkits()) {
        QStringList sides;
        const auto side = [&](SideFile file, const char* ending) {
            if ((toolkit.sides & static_cast<SideFiles>(file)) != 0)
                sides << QString::fromLatin1(ending);
        };
        side(SideFile::Kontakt, ".txt");
        side(SideFile::Uidesc, ".uidesc");
        side(SideFile::Css, ".css");
        side(SideFile::Header, ".h");
        out << say({.code = MessageCode::ToolkitLine,
                    .subject = QString::fromLatin1(toolkit.name),
                    .value = sides.join(QStringLiteral(", ")),
                    .numbers = {toolkit.frames, static_cast<qint64>(toolkit.start),
                                static_cast<qint64>(toolkit.end)}})
            << "\n";
    }
    return kWritten;
}

// A folder named with a separator at its end is made when it is missing.
bool outputFolderReady(const Options& o, bool outputIsFolder, QTextStream& err) {
    if (!outputIsFolder || FileIdentity::IsFolder(o.output)) return true;
    std::error_code error;
    std::filesystem::create_directories(NativePath::Encode(o.output).toStdString(), error);
    if (!error) return true;
    err << say({.code = MessageCode::CannotMakeFolder, .subject = o.output}) << "\n";
    return false;
}

int buildAll(const Options& o, const Settings& s, bool outputIsFolder, QTextStream& out,
             QTextStream& err, bool progress) {
    if (!outputFolderReady(o, outputIsFolder, err)) return kFailed;
    ProgressLine line(err, progress, o.pictures.size());
    const bool batch = o.pictures.size() > 1;
    // A strip on standard output leaves the lines about it to the error output.
    QTextStream& told = o.output == QLatin1String("-") ? err : out;
    Claims claims = ClaimPictures(o.pictures);
    int failed = 0;
    for (qsizetype n = 0; n < o.pictures.size(); ++n) {
        const QString& path = o.pictures[n];
        const QString name = path == QLatin1String("-") ? path : QFileInfo(path).fileName();
        line.show(n + 1, name);
        // In a batch every message says which picture it is about.
        const auto problem = [&](const Message& message) {
            line.clear();
            const QString text = say(message);
            const bool named = text.contains(QStringLiteral("'%1'").arg(name));
            err << (batch && !named ? QStringLiteral("%1: ").arg(name) : QString()) << text << "\n";
            err.flush();
        };
        const auto done = [&](const Message& message) {
            if (o.quiet) return;
            line.clear();
            told << say(message) << "\n";
            told.flush();
        };
        if (!BuildPicture(o, s, outputIsFolder, path, claims, {problem, done})) ++failed;
    }
    return failed == 0 ? kWritten : kFailed;
}

}  // namespace

int Run(const Parsed& parsed, QTextStream& out, QTextStream& err, bool progress) {
    if (const auto* usage = std::get_if<Message>(&parsed)) return usageError(*usage, err);
    const auto& options = std::get<Options>(parsed);
    if (options.help) {
        out << UsageText();
        return kWritten;
    }
    if (options.version) {
        out << "torvelink-cli " << TORVELINK_VERSION << "\n";
        return kWritten;
    }
    if (options.listToolkits) return listToolkits(out);
    const Settings settings = Resolve(options);
    const bool outputIsFolder = OutputIsFolder(
        options, !options.output.isEmpty() && FileIdentity::IsFolder(options.output));
    if (const auto clash = CheckOutput(options, settings, outputIsFolder))
        return usageError(*clash, err);
    return buildAll(options, settings, outputIsFolder, out, err, progress);
}

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress) {
    return Run(ParseArguments(arguments), out, err, progress);
}

}  // namespace StripCli
