#include "strip_cli.h"

#include <QFileInfo>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <system_error>
#include <utility>

#include "catalog.h"
#include "knob_input.h"
#include "native_path.h"
#include "picture_io.h"
#include "progress_line.h"
#include "safe_file.h"
#include "strip_plan.h"
#include "strip_writer.h"

namespace StripCli {

namespace {

// Receives the messages about one picture.
using Report = std::function<void(const Message&)>;

QString say(const Message& message) {
    // The window breaks its messages at a lone carriage return; a terminal
    // wants a line break.
    return Catalog::Render(message, Catalog::CommandLineLanguage()).replace('\r', '\n');
}

using FileId = std::pair<unsigned long long, unsigned long long>;

std::optional<FileId> fileId(const QString& path) {
    struct stat info {};
    if (::stat(NativePath::Encode(path).constData(), &info) != 0) return std::nullopt;
    return FileId{info.st_dev, info.st_ino};
}

bool isFolder(const QString& path) {
    struct stat info {};
    return ::stat(NativePath::Encode(path).constData(), &info) == 0 && S_ISDIR(info.st_mode);
}

// What a run must not write over: the strips it has written, and the
// pictures it was given (as device and inode, whatever the name).
struct Claims {
    QStringList strips;
    std::set<FileId> pictures;
};

Claims claimPictures(const QStringList& pictures) {
    Claims claims;
    for (const QString& picture : pictures)
        if (const auto id = fileId(picture)) claims.pictures.insert(*id);
    return claims;
}

// Neither a strip this run wrote nor one of its pictures is written over.
bool mayWrite(const PicturePlan& plan, const Claims& claims, const Report& report) {
    const QString strip = plan.target.strip;
    if (claims.strips.contains(QFileInfo(strip).absoluteFilePath())) {
        report({.code = MessageCode::StripWrittenAlready, .subject = QFileInfo(strip).fileName()});
        return false;
    }
    for (const Job& job : plan.jobs) {
        const auto id = fileId(job.path);
        if (id && claims.pictures.count(*id) != 0) {
            report({.code = MessageCode::PictureNotOverwritten,
                    .subject = QFileInfo(job.path).fileName()});
            return false;
        }
    }
    return true;
}

// The picture's pixels in a grid, the fourth byte its opacity (255 when
// opaque).
PixelGrid captured(const QImage& picture) {
    const QImage argb = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32
                                                                          : QImage::Format_RGB32);
    PixelGrid grid;
    grid.allocate(argb.width(), argb.height());
    if (grid.empty()) return grid;
    for (int y = 0; y < argb.height(); ++y)
        std::memcpy(grid.data() + grid.offset(1, 1, y + 1), argb.constScanLine(y),
                    static_cast<std::size_t>(argb.width()) * 4);
    return grid;
}

Message cannotSave(const SafeFile& file) {
    return {.code = MessageCode::CannotSave,
            .reason = file.reason(),
            .subject = QFileInfo(file.target()).fileName()};
}

// Every file of the plan written beside its target, and all of them put in
// place together: a picture whose strip or side file fails replaces nothing.
Message writeJobs(const Options& o, const PicturePlan& plan, const PixelGrid& source) {
    FileBatch batch;
    for (const Job& job : plan.jobs) {
        SafeFile& file = batch.add(job.path);
        if (!file.open()) return cannotSave(file);
        if (job.kind == Job::Kind::Text) {
            if (!file.write(job.text.constData(), static_cast<std::size_t>(job.text.size())))
                return cannotSave(file);
            continue;
        }
        const StripFiles::Frames frames{
            o.orientation, plan.strip.params, !o.nearest, &source, plan.alpha, 0, o.compression};
        if (Message failed = StripFiles::WriteFrames(file, plan.target.format, frames))
            return failed;
    }
    if (!batch.commit()) return cannotSave(*batch.failed());
    return {};
}

bool buildPicture(const Options& o, bool outputIsFolder, const QString& path, Claims& claims,
                  const Report& report) {
    const QString name = QFileInfo(path).fileName();
    const auto picture = KnobInput::Load(path, {o.maxSize, o.size, o.scale});
    if (picture.status == Pictures::LoadStatus::TooLarge) {
        report({.code = MessageCode::PictureFileTooLarge,
                .subject = name,
                .numbers = {o.maxSize, picture.size.width(), picture.size.height()}});
        return false;
    }
    if (picture.status != Pictures::LoadStatus::Loaded) {
        report(picture.message);
        return false;
    }
    const QImage& image = picture.image;
    const PicturePlan plan =
        PlanPicture(o, outputIsFolder, path,
                    {image.width(), image.height(), image.hasAlphaChannel(), picture.vector});
    for (const Message& warning : plan.warnings) report(warning);
    if (plan.refusal) {
        report(plan.refusal);
        return false;
    }
    if (!mayWrite(plan, claims, report)) return false;
    const PixelGrid source = captured(plan.lay ? Pictures::OverColour(image, *plan.lay) : image);
    if (source.empty()) {
        report({.code = MessageCode::NoMemoryForStrip,
                .numbers = {plan.strip.size.X, plan.strip.size.Y, 0}});
        return false;
    }
    if (const Message failed = writeJobs(o, plan, source)) {
        report(failed);
        return false;
    }
    claims.strips << QFileInfo(plan.target.strip).absoluteFilePath();
    return true;
}

int usageError(const Message& message, QTextStream& err) {
    err << "torvelink-cli: " << say(message) << "\n\n" << UsageText();
    return kUsage;
}

// A folder named with a separator at its end is made when it is missing.
bool outputFolderReady(const Options& o, bool outputIsFolder, QTextStream& err) {
    if (!outputIsFolder || isFolder(o.output)) return true;
    std::error_code error;
    std::filesystem::create_directories(NativePath::Encode(o.output).toStdString(), error);
    if (!error) return true;
    err << say({.code = MessageCode::CannotMakeFolder, .subject = o.output}) << "\n";
    return false;
}

int buildAll(const Options& o, bool outputIsFolder, QTextStream& err, bool progress) {
    if (!outputFolderReady(o, outputIsFolder, err)) return kFailed;
    ProgressLine line(err, progress, o.pictures.size());
    const bool batch = o.pictures.size() > 1;
    Claims claims = claimPictures(o.pictures);
    int failed = 0;
    for (qsizetype n = 0; n < o.pictures.size(); ++n) {
        const QString& path = o.pictures[n];
        const QString name = QFileInfo(path).fileName();
        line.show(n + 1, name);
        // In a batch every message says which picture it is about.
        const auto report = [&](const Message& message) {
            line.clear();
            const QString text = say(message);
            const bool named = text.contains(QStringLiteral("'%1'").arg(name));
            err << (batch && !named ? QStringLiteral("%1: ").arg(name) : QString()) << text << "\n";
        };
        if (!buildPicture(o, outputIsFolder, path, claims, report)) ++failed;
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
    const bool outputIsFolder =
        OutputIsFolder(options, !options.output.isEmpty() && isFolder(options.output));
    if (const auto clash = CheckOutput(options, outputIsFolder)) return usageError(*clash, err);
    return buildAll(options, outputIsFolder, err, progress);
}

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress) {
    return Run(ParseArguments(arguments), out, err, progress);
}

bool DrawsVectorPictures(const Parsed& parsed) {
    if (!std::holds_alternative<Options>(parsed)) return false;
    for (const QString& picture : std::get<Options>(parsed).pictures)
        if (KnobInput::LooksLikeSvg(picture)) return true;
    return false;
}

}  // namespace StripCli
