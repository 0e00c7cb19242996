#include "picture_run.h"

#include <QFileInfo>

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <system_error>
#include <variant>

#include "apng_writer.h"
#include "byte_sink.h"
#include "dependency_file.h"
#include "file_sink.h"
#include "native_path.h"
#include "picture_io.h"
#include "picture_plan.h"
#include "safe_file.h"
#include "side_files.h"
#include "strip_header.h"
#include "strip_source.h"
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
        const QString& name = plan.jobs[k].path;
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

// What a long strip has composed so far, at most a few times a second.
class ProgressCounter {
public:
    ProgressCounter(const Reports& reports, const QString& path) : reports_(reports), path_(path) {}
    void operator()(int64_t done, int64_t total) {
        const auto now = std::chrono::steady_clock::now();
        if (total <= 0 || now - shown_ < std::chrono::milliseconds(250)) return;
        shown_ = now;
        reports_.progress({.code = MessageCode::StripProgress,
                           .subject = path_,
                           .facts = {{Fact::Index, done * 100 / total}}});
    }

private:
    const Reports& reports_;
    const QString& path_;
    std::chrono::steady_clock::time_point shown_{};  // the first is said at once
};

// Writes a plan's files, drawing the picture for one scale at a time: the
// jobs come grouped by scale, the strips last.
class JobWriter {
public:
    JobWriter(const Options& o, const PicturePlan& plan, const StripSource& source,
              const Reports& reports)
        : o_(o), plan_(plan), source_(source), reports_(reports) {}

    Message writeAll();
    Message writeToStandardOutput(const Job& job);

private:
    Message sourceFor(std::size_t k);
    Output::Frames framesOf(const Job& job) const;
    Message write(const Job& job, SafeFile& file);
    Message compose(const Job& job, SafeFile& file);

    const Options& o_;
    const PicturePlan& plan_;
    const StripSource& source_;
    const Reports& reports_;
    std::unique_ptr<Render::FrameMaker> frames_;  // the frames of scale `scale_`
    std::size_t scale_ = SIZE_MAX;
    // The files that hold the strips' bytes too: a header beside them, C
    // source for a program.
    struct Holder {
        SafeFile* file;
        std::unique_ptr<FileSink> sink;
        std::unique_ptr<Output::StripsFile> holds;
    };
    std::vector<Holder> holders_;
    bool holds(const SafeFile& file) const;
    Message hold(const Job& job, SafeFile& file);
    Message composeHeld(const Job& job, FileSink& out, Output::Frames& frames);
};

bool JobWriter::holds(const SafeFile& file) const {
    return std::any_of(holders_.begin(), holders_.end(),
                       [&](const Holder& holder) { return holder.file == &file; });
}

Message JobWriter::hold(const Job& job, SafeFile& file) {
    Holder& holder = holders_.emplace_back(Holder{&file, std::make_unique<FileSink>(file), {}});
    const QString header = EmbedHeader(job.path);
    holder.holds =
        job.kind == Job::Kind::Embedding
            ? Output::MakeCSource(*holder.sink, plan_.facts, o_.embedNamespace.toLatin1(),
                                  header.mid(header.lastIndexOf('/') + 1))
            : Output::RowOf(job.side).holdsStrips(*holder.sink, plan_.facts);
    if (!holder.holds->begin()) return CannotSave(file, job.path);
    return {};
}

// A strip into its own file and, byte for byte as it comes, into each file
// that holds it too.
Message JobWriter::composeHeld(const Job& job, FileSink& out, Output::Frames& frames) {
    std::vector<Png::ByteSink*> held;
    std::vector<std::unique_ptr<TeeSink>> tees;
    Png::ByteSink* sink = &out;
    for (Holder& holder : holders_) {
        held.push_back(&holder.holds->strip(job.scale));
        tees.push_back(std::make_unique<TeeSink>(*sink, *held.back()));
        sink = tees.back().get();
    }
    const Output::Composed composed = Output::ComposeInto(*sink, plan_.format, frames);
    // A holder failed where the strip's own file did not.
    if (composed.stop == Output::Stop::Sink && !out.failed())
        for (std::size_t k = 0; k < holders_.size(); ++k)
            if (held[k]->failed()) return CannotSave(*holders_[k].file, holders_[k].file->target());
    if (const Message failed = Output::WhyStopped(composed, job.path, SystemReason(sink->error())))
        return failed;
    for (Holder& holder : holders_)
        if (!holder.holds->endStrip()) return CannotSave(*holder.file, holder.file->target());
    return {};
}

Message JobWriter::sourceFor(std::size_t k) {
    if (k == scale_) return {};
    frames_.reset();
    scale_ = SIZE_MAX;
    auto made = source_.frames(k, plan_);
    if (const auto* failed = std::get_if<Message>(&made)) return *failed;
    frames_ = std::move(std::get<std::unique_ptr<Render::FrameMaker>>(made));
    scale_ = k;
    return {};
}

Output::Frames JobWriter::framesOf(const Job& job) const {
    Output::Frames frames{plan_.facts.layout, job.size, frames_.get(), plan_.alpha};
    frames.compression = o_.compression;
    // A grid's places without a frame stay clear, or lie on the colour the
    // picture was laid on.
    frames.empty = plan_.alpha ? 0u : plan_.lay.value_or(Pictures::kBoxBackground);
    if (job.kind == Job::Kind::Frame) frames.range = {job.frame, 1};
    return frames;
}

// A strip or frame composed into its file, and into the file that holds the
// strips' bytes when there is one.
Message JobWriter::compose(const Job& job, SafeFile& file) {
    FileSink out(file);
    Output::Frames frames = framesOf(job);
    ProgressCounter progress(reports_, job.path);
    if (job.kind == Job::Kind::Strip) frames.progress = std::ref(progress);
    if (!holders_.empty() && job.kind == Job::Kind::Strip) return composeHeld(job, out, frames);
    const Output::Composed composed = Output::ComposeInto(out, plan_.format, frames);
    return Output::WhyStopped(composed, job.path, SystemReason(out.error()));
}

// One job into its file; the file stays open for the batch.
Message JobWriter::write(const Job& job, SafeFile& file) {
    switch (job.kind) {
        case Job::Kind::Text:
            if (!file.write(job.text.constData(), static_cast<std::size_t>(job.text.size())))
                return CannotSave(file, job.path);
            return {};
        case Job::Kind::HoldsStrips:
        case Job::Kind::Embedding:
            return hold(job, file);
        case Job::Kind::Animation: {
            if (const Message failed = sourceFor(job.scale)) return failed;
            FileSink out(file);
            const auto composed = Output::WriteAnimation(out, framesOf(job));
            return Output::WhyStopped(composed, job.path, SystemReason(out.error()));
        }
        case Job::Kind::Strip:
        case Job::Kind::Frame:
            if (const Message failed = sourceFor(job.scale)) return failed;
            return compose(job, file);
    }
    return {};
}

// Every file of the plan written beside its target, and all of them put in
// place together: a picture whose strip or side file fails replaces nothing.
// Each file is closed as soon as it is written (so that a thousand frame
// files do not keep a thousand files open), but for one that holds the
// strips' bytes, which is closed when the last strip is in it.
Message JobWriter::writeAll() {
    FileBatch batch;
    for (const Job& job : plan_.jobs) {
        if (const Message missing = FolderReady(job.path)) return missing;
        SafeFile& file = batch.add(job.path);
        if (!file.open()) return CannotSave(file, job.path);
        if (const Message failed = write(job, file)) return failed;
        if (!holds(file) && !file.finish()) return CannotSave(file, job.path);
    }
    for (Holder& holder : holders_)
        if (!holder.holds->finish() || !holder.file->finish())
            return CannotSave(*holder.file, holder.file->target());
    if (!batch.commit()) {
        const SafeFile* failed = batch.failed();
        return CannotSave(*failed, failed->target());
    }
    return {};
}

// A strip on standard output: written as it is made, no file to put in place.
Message JobWriter::writeToStandardOutput(const Job& job) {
    if (const Message failed = sourceFor(job.scale)) return failed;
    DescriptorSink out(STDOUT_FILENO);
    const auto composed = Output::ComposeInto(out, plan_.format, framesOf(job));
    return Output::WhyStopped(composed, job.path, SystemReason(out.error()));
}

// A line for each file written; frame files in one line for each scale.
void reportWritten(const PicturePlan& plan, const Reports& reports) {
    const int32_t frames = plan.facts.frames;
    for (const Job& job : plan.jobs) {
        const Output::ScaledStrip& strip = plan.facts.strips[job.scale];
        switch (job.kind) {
            case Job::Kind::Text:
            case Job::Kind::HoldsStrips:
            case Job::Kind::Embedding:
                // A text made for each scale is said beside its own strip's.
                reports.done({.code = MessageCode::WrittenSide,
                              .reason = {job.what, 0},
                              .subject = job.path});
                break;
            case Job::Kind::Animation:
                reports.done({.code = MessageCode::WrittenSide,
                              .reason = {MessageCode::SideAnimation, 0},
                              .subject = job.path});
                break;
            case Job::Kind::Strip:
                reports.done({.code = MessageCode::Written,
                              .subject = job.path,
                              .facts = {{Fact::Width, strip.width},
                                        {Fact::Height, strip.height},
                                        {Fact::Frames, frames}}});
                break;
            case Job::Kind::Frame:
                if (job.frame == 1)
                    reports.done({.code = MessageCode::WrittenFrames,
                                  .subject = job.path,
                                  .facts = {{Fact::Width, strip.frameWidth},
                                            {Fact::Height, strip.frameHeight},
                                            {Fact::Files, frames}}});
                break;
        }
    }
}

void reportParameters(const PicturePlan& plan, const PictureFacts& facts, const QString& path,
                      const Reports& reports) {
    const KnobParams& p = plan.strips.front().params;
    reports.done({.code = MessageCode::PictureParameters,
                  .subject = path,
                  .facts = {{Fact::Frames, p.FrameCount},
                            {Fact::Width, facts.sizes.front().width},
                            {Fact::Height, facts.sizes.front().height},
                            {Fact::Radius, Decimal{p.RotRadius, 2}},
                            {Fact::Start, Decimal{p.StartAngle, 2}},
                            {Fact::End, Decimal{plan.facts.endAngle(), 2}}}});
}

// A plan's files for a build tool, which reads them a line each and knows
// them only if their names do not follow the picture's pixels.
Message unlisted(const PicturePlan& plan, const QString& path) {
    if (plan.formatFollowsPicture)
        return {.code = MessageCode::FormatFollowsPicture, .subject = path};
    for (const Job& job : plan.jobs)
        if (!Output::OnOneLine(job.path))
            return {.code = MessageCode::NameOnNoLine, .subject = job.path};
    return {};
}

// What the options ask of a picture that it cannot do is a usage error, not
// a failure of the picture.
bool isUsage(const Message& m) {
    return m.code == MessageCode::RasterNotScaled;
}

}  // namespace

Message FolderReady(const QString& path) {
    const QByteArray native = NativePath::Encode(path);
    const qsizetype slash = native.lastIndexOf('/');
    if (slash <= 0) return {};
    std::error_code error;
    std::filesystem::create_directories(native.left(slash).toStdString(), error);
    if (!error) return {};
    return {.code = MessageCode::CannotMakeFolder,
            .subject = NativePath::Decode(native.left(slash))};
}

Message CannotSave(const SafeFile& file, const QString& path) {
    Message m = file.cannotSave();
    m.subject = path;
    return m;
}

Claims ClaimPictures(const QStringList& pictures) {
    Claims claims;
    for (const QString& picture : pictures)
        if (const auto id = FileIdentity::IdentityOf(picture)) claims.pictures.insert(*id);
    return claims;
}

Built BuildPicture(const Options& o, const Settings& s, bool outputIsFolder, const QString& path,
                   Claims& claims, const Reports& reports, Writing writing, QStringList* planned) {
    // A recipe names its picture; the strips are named after the recipe.
    const auto opened = OpenSource(o, s, o.picture.isEmpty() ? path : o.picture);
    if (const auto* failed = std::get_if<Message>(&opened)) {
        if (isUsage(*failed)) {
            reports.usage(*failed);
            return Built::Usage;
        }
        reports.problem(*failed);
        // A picture the largest --max-size takes: say how.
        const qint64 side =
            std::max(failed->facts.count(Fact::Width), failed->facts.count(Fact::Height));
        if (failed->code == MessageCode::PictureFileTooLarge && side <= kMaxMaxSize)
            reports.problem({.code = MessageCode::MaxSizeHint, .facts = {{Fact::Size, side}}});
        return Built::Failed;
    }
    const StripSource& source = *std::get<std::unique_ptr<StripSource>>(opened);
    const PicturePlan plan = PlanPicture(o, s, outputIsFolder, path, source.facts());
    if (o.verbose) reportParameters(plan, source.facts(), path, reports);
    for (const Message& warning : plan.warnings) reports.problem(warning);
    if (plan.refusal) {
        reports.problem(plan.refusal);
        return Built::Failed;
    }
    const std::vector<Target> targets = targetsOf(plan);
    if (!mayWrite(plan, targets, claims, reports)) return Built::Failed;
    const auto named = [&] {
        if (planned != nullptr)
            for (const Job& job : plan.jobs) *planned << job.path;
    };
    if (writing == Writing::NamesOnly) {
        if (const Message failed = unlisted(plan, path)) {
            reports.problem(failed);
            return Built::Failed;
        }
        claimWritten(plan, targets, claims);
        named();
        return Built::Written;
    }
    JobWriter writer(o, plan, source, reports);
    const bool standardOutput =
        plan.jobs.size() == 1 && plan.jobs.front().path == QLatin1String("-");
    if (const Message failed =
            standardOutput ? writer.writeToStandardOutput(plan.jobs.front()) : writer.writeAll()) {
        reports.problem(failed);
        return Built::Failed;
    }
    claimWritten(plan, targets, claims);
    reportWritten(plan, reports);
    named();
    return Built::Written;
}

}  // namespace Cli
