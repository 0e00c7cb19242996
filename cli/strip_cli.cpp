#include "strip_cli.h"

#include <QFileInfo>

#include <cstring>
#include <filesystem>
#include <functional>
#include <set>
#include <system_error>
#include <utility>

#include "catalog.h"
#include "file_identity.h"
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

// What a run must not write over: the files it has written, by where they
// lie, and the pictures it was given, by their identity (whatever the name
// or the path's spelling).
struct Claims {
    std::set<FileIdentity::Place> written;
    std::set<FileIdentity::Identity> pictures;
};

Claims claimPictures(const QStringList& pictures) {
    Claims claims;
    for (const QString& picture : pictures)
        if (const auto id = FileIdentity::IdentityOf(picture)) claims.pictures.insert(*id);
    return claims;
}

// Neither a file this run wrote nor one of its pictures is written over;
// the strip, last of the jobs, is named first.
bool mayWrite(const PicturePlan& plan, const Claims& claims, const Report& report) {
    for (auto job = plan.jobs.rbegin(); job != plan.jobs.rend(); ++job) {
        const QString name = QFileInfo(job->path).fileName();
        const auto place = FileIdentity::PlaceOf(job->path);
        if (place && claims.written.count(*place) != 0) {
            report({.code = MessageCode::StripWrittenAlready, .subject = name});
            return false;
        }
        const auto id = FileIdentity::IdentityOf(job->path);
        if (id && claims.pictures.count(*id) != 0) {
            report({.code = MessageCode::PictureNotOverwritten, .subject = name});
            return false;
        }
    }
    return true;
}

void claimWritten(const PicturePlan& plan, Claims& claims) {
    for (const Job& job : plan.jobs)
        if (const auto place = FileIdentity::PlaceOf(job.path)) claims.written.insert(*place);
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
        const StripFiles::Frames frames{o.layout, plan.strip.params, !o.nearest, &source,
                                        plan.alpha};
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
                .numbers = {o.maxSize, picture.width, picture.height}});
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
    claimWritten(plan, claims);
    return true;
}

int usageError(const Message& message, QTextStream& err) {
    err << "torvelink-cli: " << say(message) << "\n\n" << UsageText();
    return kUsage;
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
    if (options.version) {
        out << "torvelink-cli " << TORVELINK_VERSION << "\n";
        return kWritten;
    }
    const bool outputIsFolder = OutputIsFolder(
        options, !options.output.isEmpty() && FileIdentity::IsFolder(options.output));
    if (const auto clash = CheckOutput(options, outputIsFolder)) return usageError(*clash, err);
    return buildAll(options, outputIsFolder, err, progress);
}

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err, bool progress) {
    return Run(ParseArguments(arguments), out, err, progress);
}

}  // namespace StripCli
