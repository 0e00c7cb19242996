#include "strip_cli.h"

#include <filesystem>
#include <system_error>

#include "catalog.h"
#include "file_identity.h"
#include "native_path.h"
#include "picture_plan.h"
#include "picture_run.h"
#include "progress_line.h"
#include "settings.h"
#include "side_files.h"
#include "usage_text.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Platform;
using namespace Png;

namespace Cli {

namespace {

QString say(const Message& message) {
    // The window breaks its messages at a lone carriage return; a terminal
    // wants a line break.
    return Messages::Render(message, Messages::CommandLineLanguage()).replace('\r', '\n');
}

// One line that says what is wrong, one where the help is.
int usageError(const Message& message, QTextStream& err) {
    err << Messages::kProgramName << ": " << say(message) << "\n"
        << say({.code = MessageCode::UsageSeeHelp}) << "\n";
    return kUsage;
}

// The toolkits --for knows, a line each.
int listToolkits(QTextStream& out) {
    for (const Toolkit& toolkit : Toolkits()) {
        Message line{.code = MessageCode::ToolkitLine,
                     .subject = QString::fromLatin1(toolkit.name),
                     .facts = {{Fact::Frames, toolkit.frames},
                               {Fact::Start, toolkit.start},
                               {Fact::End, toolkit.end}}};
        QStringList endings;
        for (const Output::SideFileRow& row : Output::SideFileTable())
            if (toolkit.sides.has(row.file)) endings << QString::fromLatin1(row.ending);
        if (!endings.isEmpty()) line.facts.set(Fact::Endings, endings);
        out << say(line) << "\n";
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
        const QString name = path == QLatin1String("-") ? path : NativePath::FileName(path);
        line.show(n + 1, name);
        // In a batch every message says which picture it is about.
        const auto problem = [&](const Message& message) {
            line.clear();
            // Every message that has a subject names it.
            const bool named = message.subject == name;
            err << (batch && !named ? Messages::Printable(name) + QStringLiteral(": ") : QString())
                << say(message) << "\n";
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
        out << UsageText(options.language);
        return kWritten;
    }
    if (options.version) {
        out << Messages::kProgramName << ' ' << TORVELINK_VERSION << "\n";
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
    return Run(ParseArguments(arguments, Messages::CommandLineLanguage()), out, err, progress);
}

}  // namespace Cli
