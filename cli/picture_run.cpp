#include "picture_run.h"

#include <QFileInfo>
#include <QPainter>
#include <QTemporaryFile>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>
#include <variant>

#include "apng_writer.h"
#include "box_downscale.h"
#include "byte_sink.h"
#include "file_sink.h"
#include "knob_input.h"
#include "native_path.h"
#include "picture_io.h"
#include "picture_plan.h"
#include "safe_file.h"
#include "side_files.h"
#include "strip_writer.h"

using namespace Engine;
using namespace Messages;
using namespace Output;
using namespace Pictures;
using namespace Plan;
using namespace Platform;
using namespace Png;
using namespace Render;

namespace Cli {

namespace {

using KnobInput::Picture;

// The name messages give a picture: its file's, or "-" for standard input.
QString nameOf(const QString& path) {
    return path == QLatin1String("-") ? path : NativePath::FileName(path);
}

// Standard input copied into an unnamed file, so that it is read as any
// picture file is: as far as its start says, and again from the start.
// Nothing when it is copied, else why not.
Reason copyStandardInput(QTemporaryFile& copy, qint64 limit) {
    if (!copy.open()) return {MessageCode::NoTemporaryFolder, 0};
    char buffer[65536];
    for (qint64 total = 0;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return SystemReason(errno);
        if (n == 0) break;
        total += n;
        if (total > limit) return {MessageCode::FileTooLong, 0};
        if (copy.write(buffer, n) != n) return {MessageCode::NoTemporaryFolder, 0};
    }
    return copy.seek(0) ? Reason{} : Reason{MessageCode::NoTemporaryFolder, 0};
}

Picture load(const QString& path, const KnobInput::Request& request) {
    if (path != QLatin1String("-")) return KnobInput::Load(path, request);
    QTemporaryFile copy;
    const qint64 limit = KnobInput::MaxFileBytes(request.maxSide);
    if (const Reason failed = copyStandardInput(copy, limit); failed.code != MessageCode::None)
        return {.message = {.code = MessageCode::CannotRead,
                            .reason = failed,
                            .subject = path,
                            .facts = {{Fact::Mebibytes, limit >> 20}}}};
    return KnobInput::LoadOpen(copy, path, request);
}

// The picture centred on a square of its longer side; the rest clear.
QImage squared(const QImage& image) {
    const int side = std::max(image.width(), image.height());
    if (image.width() == image.height()) return image;
    QImage square(side, side, QImage::Format_ARGB32);
    if (square.isNull()) return square;
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage((side - image.width()) / 2, (side - image.height()) / 2, image);
    painter.end();
    return Pictures::WithAlpha(square);
}

// The picture as drawn for each scale, or why it cannot be.
struct Drawn {
    std::vector<QImage> images;
    bool vector = false;
    bool windowKind = false;
    bool transparent = false;  // the picture itself, before --square
    bool padded = false;       // --square added a clear margin
};

std::variant<Drawn, Message> draw(const Options& o, const Settings& s, const QString& path) {
    const QString name = nameOf(path);
    const auto tooLarge = [&](const Picture& p) {
        return Message{
            .code = MessageCode::PictureFileTooLarge,
            .subject = name,
            .facts = {
                {Fact::MaxSide, o.maxSize}, {Fact::Width, p.width}, {Fact::Height, p.height}}};
    };
    const Picture first = load(path, {o.maxSize, o.size, s.namedScales ? 1.0 : o.scale});
    if (first.status == Pictures::LoadStatus::TooLarge) return tooLarge(first);
    if (first.status != Pictures::LoadStatus::Loaded) return first.message;
    Drawn drawn{{}, first.vector, first.windowKind};
    if (first.vector) {
        for (const double scale : s.scales) {
            if (!s.namedScales) {
                drawn.images.push_back(first.image);
                continue;
            }
            const Picture again = KnobInput::Redraw(first, name, {o.maxSize, o.size, scale});
            if (again.status == Pictures::LoadStatus::TooLarge) return tooLarge(again);
            if (again.status != Pictures::LoadStatus::Loaded) return again.message;
            drawn.images.push_back(again.image);
        }
    } else {
        const auto sizes = RasterSizes(o, s, first.image.width(), first.image.height(), name);
        if (const auto* refused = std::get_if<Message>(&sizes)) return *refused;
        for (const ScaledSize& size : std::get<std::vector<ScaledSize>>(sizes)) {
            const QSize wanted(size.width, size.height);
            drawn.images.push_back(wanted == first.image.size()
                                       ? first.image
                                       : Pictures::BoxDownscale(first.image, wanted));
        }
    }
    for (QImage& image : drawn.images) {
        drawn.transparent |= image.hasAlphaChannel();
        drawn.padded |= o.square && image.width() != image.height();
        if (o.square) image = squared(image);
        if (image.isNull())
            return Message{.code = MessageCode::CannotRead,
                           .reason = {MessageCode::DrawingTooLarge, 0},
                           .subject = name};
    }
    return drawn;
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

// Where each job's file lies, looked up once before anything is written:
// what it may not write over is told by it, and what it wrote is claimed
// by it.
struct Target {
    std::optional<FileIdentity::Place> place;
    std::optional<FileIdentity::Identity> identity;  // a file already there
};

std::vector<Target> targetsOf(const PicturePlan& plan) {
    std::vector<Target> targets;
    targets.reserve(plan.jobs.size());
    for (const Job& job : plan.jobs)
        targets.push_back({FileIdentity::PlaceOf(job.path), FileIdentity::IdentityOf(job.path)});
    return targets;
}

// Neither a file this run wrote nor one of its pictures is written over;
// the strip, last of the jobs, is named first.
bool mayWrite(const PicturePlan& plan, const std::vector<Target>& targets, const Claims& claims,
              const Reports& reports) {
    for (std::size_t k = targets.size(); k-- > 0;) {
        const QString name = QFileInfo(plan.jobs[k].path).fileName();
        const Target& target = targets[k];
        if (target.place && claims.written.count(*target.place) != 0) {
            reports.problem({.code = MessageCode::StripWrittenAlready, .subject = name});
            return false;
        }
        if (target.identity && claims.pictures.count(*target.identity) != 0) {
            reports.problem({.code = MessageCode::PictureNotOverwritten, .subject = name});
            return false;
        }
    }
    return true;
}

// A file whose folder was made by the run has a place only now.
void claimWritten(const PicturePlan& plan, const std::vector<Target>& targets, Claims& claims) {
    for (std::size_t k = 0; k < targets.size(); ++k) {
        const auto place =
            targets[k].place ? targets[k].place : FileIdentity::PlaceOf(plan.jobs[k].path);
        if (place) claims.written.insert(*place);
    }
}

// The folder a file is to go in is made when it is missing, as a folder
// named by -o is.
Message folderReady(const QString& path) {
    const QByteArray native = NativePath::Encode(path);
    const qsizetype slash = native.lastIndexOf('/');
    if (slash <= 0) return {};
    std::error_code error;
    std::filesystem::create_directories(native.left(slash).toStdString(), error);
    if (!error) return {};
    return {.code = MessageCode::CannotMakeFolder,
            .subject = NativePath::Decode(native.left(slash))};
}

Output::Frames framesOf(const Options& o, const PicturePlan& plan, const Job& job,
                        const std::vector<PixelGrid>& sources) {
    Output::Frames frames{plan.facts.layout,   job.size,  plan.strips[job.scale].params, o.routine,
                          &sources[job.scale], plan.alpha};
    frames.compression = o.compression;
    // A grid's places without a frame stay clear, or lie on the colour the
    // picture was laid on.
    frames.empty = plan.alpha ? 0u : plan.lay.value_or(Pictures::kBoxBackground);
    if (job.kind == Job::Kind::Frame) frames.range = {job.frame, 1};
    return frames;
}

// The strips' bytes, when a header holds them too: composed once, in
// memory, and written from there.
using Strips = std::vector<std::optional<QByteArray>>;

Message stripsInMemory(const Options& o, const PicturePlan& plan,
                       const std::vector<PixelGrid>& sources, Strips& strips) {
    strips.assign(sources.size(), std::nullopt);
    const bool header = std::any_of(plan.jobs.begin(), plan.jobs.end(), [](const Job& job) {
        return job.kind == Job::Kind::FromStrips;
    });
    for (const Job& job : plan.jobs) {
        if (!header || job.kind != Job::Kind::Strip) continue;
        MemorySink memory;
        const auto composed =
            Output::ComposeInto(memory, plan.format, framesOf(o, plan, job, sources));
        if (const Message failed = Output::WhyStopped(composed, QFileInfo(job.path).fileName(),
                                                      SystemReason(memory.error())))
            return failed;
        strips[job.scale] = QByteArray(reinterpret_cast<const char*>(memory.bytes.data()),
                                       static_cast<qsizetype>(memory.bytes.size()));
    }
    return {};
}

bool writeBytes(SafeFile& file, const QByteArray& bytes) {
    return file.write(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// One job into its file, which stays open for the batch.
Message writeJob(const Options& o, const PicturePlan& plan, const Job& job,
                 const std::vector<PixelGrid>& sources, const Strips& strips, SafeFile& file) {
    FileSink out(file);
    Output::Composed composed;
    switch (job.kind) {
        case Job::Kind::Text:
            if (!writeBytes(file, job.text)) return file.cannotSave();
            return {};
        case Job::Kind::FromStrips: {
            QList<QByteArray> bytes;
            for (const auto& strip : strips) bytes << strip.value_or(QByteArray());
            if (!writeBytes(file, Output::RowOf(job.side).fromStrips(plan.facts, bytes)))
                return file.cannotSave();
            return {};
        }
        case Job::Kind::Strip:
            if (strips[job.scale]) {
                if (!writeBytes(file, *strips[job.scale])) return file.cannotSave();
                return {};
            }
            [[fallthrough]];
        case Job::Kind::Frame:
            composed = Output::ComposeInto(out, plan.format, framesOf(o, plan, job, sources));
            break;
        case Job::Kind::Animation:
            composed = Output::WriteAnimation(out, framesOf(o, plan, job, sources));
            break;
    }
    return Output::WhyStopped(composed, file.name(), SystemReason(out.error()));
}

// A strip on standard output: written as it is made, no file to put in place.
Message writeToStandardOutput(const Options& o, const PicturePlan& plan, const Job& job,
                              const std::vector<PixelGrid>& sources) {
    DescriptorSink out(STDOUT_FILENO);
    const auto composed = Output::ComposeInto(out, plan.format, framesOf(o, plan, job, sources));
    return Output::WhyStopped(composed, job.path, SystemReason(out.error()));
}

// Every file of the plan written beside its target, and all of them put in
// place together: a picture whose strip or side file fails replaces nothing.
// Each file is closed as soon as it is written, so that a thousand frame
// files do not keep a thousand files open.
Message writeJobs(const Options& o, const PicturePlan& plan,
                  const std::vector<PixelGrid>& sources) {
    if (plan.jobs.size() == 1 && plan.jobs.front().path == QLatin1String("-"))
        return writeToStandardOutput(o, plan, plan.jobs.front(), sources);
    Strips strips;
    if (const Message failed = stripsInMemory(o, plan, sources, strips)) return failed;
    FileBatch batch;
    for (const Job& job : plan.jobs) {
        if (const Message missing = folderReady(job.path)) return missing;
        SafeFile& file = batch.add(job.path);
        if (!file.open()) return file.cannotSave();
        if (const Message failed = writeJob(o, plan, job, sources, strips, file)) return failed;
        if (!file.finish()) return file.cannotSave();
    }
    if (!batch.commit()) return batch.failed()->cannotSave();
    return {};
}

// A line for each strip written; frame files in one line for each scale.
void reportWritten(const PicturePlan& plan, const Reports& reports) {
    const int32_t frames = plan.facts.frames;
    for (std::size_t k = 0; k < plan.facts.strips.size(); ++k) {
        const Output::ScaledStrip& strip = plan.facts.strips[k];
        for (const Job& job : plan.jobs) {
            if (job.scale != k) continue;
            if (job.kind == Job::Kind::Strip)
                reports.done({.code = MessageCode::Written,
                              .subject = job.path,
                              .facts = {{Fact::Width, strip.width},
                                        {Fact::Height, strip.height},
                                        {Fact::Frames, frames}}});
            if (job.kind == Job::Kind::Frame && job.frame == 1)
                reports.done({.code = MessageCode::WrittenFrames,
                              .subject = job.path,
                              .facts = {{Fact::Width, strip.frameWidth},
                                        {Fact::Height, strip.frameHeight},
                                        {Fact::Files, frames}}});
        }
    }
}

}  // namespace

Claims ClaimPictures(const QStringList& pictures) {
    Claims claims;
    for (const QString& picture : pictures)
        if (const auto id = FileIdentity::IdentityOf(picture)) claims.pictures.insert(*id);
    return claims;
}

bool BuildPicture(const Options& o, const Settings& s, bool outputIsFolder, const QString& path,
                  Claims& claims, const Reports& reports) {
    const auto drawn = draw(o, s, path);
    if (const auto* failed = std::get_if<Message>(&drawn)) {
        reports.problem(*failed);
        // A picture the largest --max-size takes: say how.
        const qint64 side =
            std::max(failed->facts.count(Fact::Width), failed->facts.count(Fact::Height));
        if (failed->code == MessageCode::PictureFileTooLarge && side <= kMaxMaxSize)
            reports.problem({.code = MessageCode::MaxSizeHint, .facts = {{Fact::Size, side}}});
        return false;
    }
    const Drawn& pictures = std::get<Drawn>(drawn);
    PictureFacts facts{.transparent = pictures.transparent,
                       .padded = pictures.padded,
                       .vector = pictures.vector,
                       .windowKind = pictures.windowKind};
    for (std::size_t k = 0; k < pictures.images.size(); ++k) {
        const QImage& image = pictures.images[k];
        facts.sizes.push_back({s.scales[k], image.width(), image.height()});
    }
    const PicturePlan plan = PlanPicture(o, s, outputIsFolder, path, facts);
    if (o.verbose) {
        const KnobParams& p = plan.strips.front().params;
        reports.done({.code = MessageCode::PictureParameters,
                      .subject = nameOf(path),
                      .facts = {{Fact::Frames, p.FrameCount},
                                {Fact::Width, facts.sizes.front().width},
                                {Fact::Height, facts.sizes.front().height},
                                {Fact::Radius, Decimal{p.RotRadius, 2}},
                                {Fact::Start, Decimal{p.StartAngle, 2}},
                                {Fact::End, Decimal{plan.facts.endAngle(), 2}}}});
    }
    for (const Message& warning : plan.warnings) reports.problem(warning);
    if (plan.refusal) {
        reports.problem(plan.refusal);
        return false;
    }
    const std::vector<Target> targets = targetsOf(plan);
    if (!mayWrite(plan, targets, claims, reports)) return false;
    std::vector<PixelGrid> sources;
    for (std::size_t k = 0; k < pictures.images.size(); ++k) {
        const QImage& image = pictures.images[k];
        sources.push_back(captured(plan.lay ? Pictures::OverColour(image, *plan.lay) : image));
        if (sources.back().empty()) {
            reports.problem({.code = MessageCode::NoMemoryForStrip,
                             .facts = {{Fact::Width, plan.strips[k].size.X},
                                       {Fact::Height, plan.strips[k].size.Y}}});
            return false;
        }
    }
    if (const Message failed = writeJobs(o, plan, sources)) {
        reports.problem(failed);
        return false;
    }
    claimWritten(plan, targets, claims);
    reportWritten(plan, reports);
    return true;
}

}  // namespace Cli
