#include "strip_cli.h"

#include <QDir>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

#include "cli_options.h"
#include "knob_input.h"
#include "native_path.h"
#include "output_names.h"
#include "picture_strip.h"
#include "progress_line.h"

namespace StripCli {

namespace {

int usageError(const QString& message, QTextStream& err) {
    err << "torvelink-cli: " << message << "\n\n" << UsageText();
    return kUsage;
}

// A folder named with a separator at its end is made when it is missing.
bool outputFolderReady(const Options& o, QTextStream& err) {
    if (!OutputIsFolder(o) || IsFolder(o.output)) return true;
    std::error_code error;
    std::filesystem::create_directories(NativePath::Encode(o.output).toStdString(), error);
    if (!error) return true;
    err << QStringLiteral("Der Ordner '%1' kann nicht angelegt werden.").arg(o.output) << "\n";
    return false;
}

int buildAll(const Options& o, QTextStream& err, bool progress) {
    if (!outputFolderReady(o, err)) return kFailed;
    ProgressLine line(err, progress, o.pictures.size());
    const bool batch = o.pictures.size() > 1;
    Claims claims = ClaimPictures(o.pictures);
    int failed = 0;
    for (qsizetype n = 0; n < o.pictures.size(); ++n) {
        const QString& path = o.pictures[n];
        const QString name = QFileInfo(path).fileName();
        line.show(n + 1, name);
        // In a batch every message says which picture it is about.
        const auto report = [&](const QString& message) {
            line.clear();
            const bool named = message.contains(QStringLiteral("'%1'").arg(name));
            err << (batch && !named ? QStringLiteral("%1: ").arg(name) : QString()) << message
                << "\n";
        };
        if (!BuildPictureStrip(o, path, claims, report)) ++failed;
    }
    return failed == 0 ? kWritten : kFailed;
}

}  // namespace

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress) {
    const auto parsed = ParseArguments(arguments);
    if (const auto* usage = std::get_if<UsageError>(&parsed))
        return usageError(usage->message, err);
    const auto& options = std::get<Options>(parsed);
    if (options.help) {
        out << UsageText();
        return kWritten;
    }
    if (const auto clash = CheckOutput(options)) return usageError(clash->message, err);
    return buildAll(options, err, progress);
}

bool DrawsVectorPictures(const QStringList& arguments) {
    const auto parsed = ParseArguments(arguments);
    if (!std::holds_alternative<Options>(parsed)) return false;
    for (const QString& picture : std::get<Options>(parsed).pictures)
        if (KnobInput::LooksLikeSvg(picture)) return true;
    return false;
}

}  // namespace StripCli
