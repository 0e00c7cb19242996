#include "output_names.h"

#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "commands.h"
#include "native_path.h"

namespace StripCli {

namespace {

std::optional<OutputFormat> formatOfName(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == "png") return OutputFormat::Png;
    if (suffix == "bmp") return OutputFormat::Bmp;
    return std::nullopt;
}

QString manifestBeside(const QString& strip) {
    const QString name = strip.mid(strip.lastIndexOf(QChar(Commands::kPathSeparator)) + 1);
    const qsizetype dot = name.lastIndexOf('.');
    const QString suffix = dot < 0 ? QString() : name.mid(dot + 1);
    if (suffix.isEmpty() || suffix.toLower() == "json") return strip + ".json";
    return strip.chopped(suffix.size() + 1) + ".json";
}

// Paths are put together as strings and looked at through the system's bytes:
// Qt's own file classes would turn a name that is not UTF-8 into another one.
QString folderOf(const QString& file) {
    QByteArray bytes = NativePath::Encode(file);
    if (!bytes.startsWith('/')) {
        char* here = ::getcwd(nullptr, 0);
        if (here != nullptr) bytes = QByteArray(here) + '/' + bytes;
        std::free(here);
    }
    return NativePath::Decode(bytes.left(bytes.lastIndexOf('/') + 1));
}

QString inFolder(QString folder, const QString& name) {
    if (!folder.endsWith(QChar(Commands::kPathSeparator)))
        folder += QChar(Commands::kPathSeparator);
    return folder + name;
}

// Worked on as the system's bytes, so that a name that is not UTF-8 stays as
// it is.
QString stripName(const Options& o, const QString& picture) {
    const std::string base =
        Commands::StripExtension(NativePath::Encode(QFileInfo(picture).fileName()).toStdString());
    QString name = NativePath::Decode(QByteArray::fromStdString(
        Commands::ExportFileName(base, o.orientation == StripOrientation::Horizontal)));
    if (ChosenFormat(o) == OutputFormat::Png) name = name.chopped(4) + ".png";
    return name;
}

}  // namespace

bool IsFolder(const QString& path) {
    struct stat info {};
    return ::stat(NativePath::Encode(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool OutputIsFolder(const Options& o) {
    return !o.output.isEmpty() &&
           (o.output.endsWith(QChar(Commands::kPathSeparator)) || IsFolder(o.output));
}

std::optional<UsageError> CheckOutput(const Options& o) {
    if (o.output.isEmpty() || OutputIsFolder(o)) return std::nullopt;
    if (o.pictures.size() > 1)
        return UsageError{QStringLiteral("Bei mehreren Bildern muss -o ein Ordner sein "
                                         "(mit / am Ende): '%1'.")
                              .arg(o.output)};
    const auto named = formatOfName(o.output);
    if (o.format && named && *named != *o.format)
        return UsageError{QStringLiteral("-o '%1' passt nicht zu --format %2.")
                              .arg(o.output, *o.format == OutputFormat::Png ? "png" : "bmp")};
    return std::nullopt;
}

OutputFormat ChosenFormat(const Options& o) {
    if (o.format) return *o.format;
    if (!o.output.isEmpty() && !OutputIsFolder(o))
        return formatOfName(o.output).value_or(OutputFormat::Bmp);
    return OutputFormat::Bmp;
}

Target TargetFor(const Options& o, const QString& picture) {
    Target t;
    t.format = ChosenFormat(o);
    if (o.output.isEmpty())
        t.strip = inFolder(folderOf(picture), stripName(o, picture));
    else if (OutputIsFolder(o))
        t.strip = inFolder(o.output, stripName(o, picture));
    else
        t.strip = o.output;
    if (o.manifest) t.manifest = manifestBeside(t.strip);
    return t;
}

}  // namespace StripCli
