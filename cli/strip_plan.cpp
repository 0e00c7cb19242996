#include "strip_plan.h"

#include "catalog.h"
#include "commands.h"
#include "leading_number.h"
#include "native_path.h"
#include "picture_io.h"
#include "preview_page.h"
#include "side_files.h"

namespace StripCli {

namespace {

constexpr QChar kSeparator{Commands::kPathSeparator};

// The strip's name with its ending replaced by another (".json"); a strip
// with no ending, or with that very one, keeps its own and gets the other.
QString besideStrip(const QString& strip, const QString& ending) {
    const QString name = strip.mid(strip.lastIndexOf(kSeparator) + 1);
    const qsizetype dot = name.lastIndexOf('.');
    const QString suffix = dot < 0 ? QString() : name.mid(dot);
    if (suffix.size() < 2 || suffix.toLower() == ending) return strip + ending;
    return strip.chopped(suffix.size()) + ending;
}

// Paths are put together as strings: Qt's own file classes would turn a name
// that is not UTF-8 into another one. A picture without a folder in its name
// lies in the working folder, and so does its strip.
QString folderOf(const QString& file) {
    return file.left(file.lastIndexOf(kSeparator) + 1);
}

QString nameOf(const QString& file) {
    return file.mid(file.lastIndexOf(kSeparator) + 1);
}

QString inFolder(QString folder, const QString& name) {
    if (!folder.isEmpty() && !folder.endsWith(kSeparator)) folder += kSeparator;
    return folder + name;
}

// Worked on as the system's bytes, so that a name that is not UTF-8 stays as
// it is.
QString stripName(const Options& o, StripFiles::Format format, const QString& picture) {
    const std::string base =
        Commands::StripExtension(NativePath::Encode(nameOf(picture)).toStdString());
    return NativePath::Decode(QByteArray::fromStdString(StripFiles::ExportFileName(
        base, o.layout.kind() == StripLayout::Kind::Horizontal, format)));
}

// The parameters as the window's boxes would give them; the plan repairs them.
KnobParams parameters(const Options& o, const PictureFacts& picture) {
    const KnobParams defaults;
    KnobParams p;
    p.FrameCount = o.frames ? ToFrameCount(*o.frames) : defaults.FrameCount;
    // A drawing made larger takes its given radius along.
    const double radius =
        o.radius ? *o.radius * (picture.vector ? o.scale : 1.0) : picture.width / 2.0;
    p.RotRadius = ToFloat32(radius);
    p.RotAngle = o.angle ? ToFloat32(*o.angle) : defaults.RotAngle;
    p.StartAngle = o.start ? ToFloat32(*o.start) : 0.0f;
    return p;
}

// The one description of the picture's strip, from which the files beside it
// are made.
StripFiles::StripFacts factsOf(const Options& o, const PicturePlan& plan,
                               const PictureFacts& picture, const QString& path) {
    StripFiles::StripFacts facts;
    facts.name = NativePath::Decode(QByteArray::fromStdString(
        Commands::StripExtension(NativePath::Encode(nameOf(path)).toStdString())));
    facts.frames = plan.strip.params.FrameCount;
    facts.layout = o.layout;
    facts.startAngle = plan.strip.params.StartAngle;
    facts.stepAngle = plan.strip.params.RotAngle;
    facts.bilinear = !o.nearest;
    facts.alpha = plan.alpha;
    facts.format = plan.target.format;
    // A drawing made larger is at its scale; a picture is at its own size.
    const double scale = picture.vector ? o.scale : 1.0;
    facts.strips.push_back({nameOf(plan.target.strip), scale, picture.width, picture.height,
                            plan.strip.size.X, plan.strip.size.Y, plan.strip.params.RotRadius});
    return facts;
}

}  // namespace

bool OutputIsFolder(const Options& o, bool folderThere) {
    return !o.output.isEmpty() && (o.output.endsWith(kSeparator) || folderThere);
}

std::optional<Message> CheckOutput(const Options& o, bool outputIsFolder) {
    if (o.output.isEmpty() || outputIsFolder) return std::nullopt;
    if (o.pictures.size() > 1)
        return Message{.code = MessageCode::OutputMustBeFolder, .subject = o.output};
    const auto named = StripFiles::FormatOfName(o.output);
    if (o.format && named && *named != *o.format)
        return Message{.code = MessageCode::OutputFormatMismatch,
                       .subject = o.output,
                       .value = QString::fromLatin1(StripFiles::Ending(*o.format) + 1)};
    return std::nullopt;
}

StripFiles::Format ChosenFormat(const Options& o, bool outputIsFolder) {
    if (o.format) return *o.format;
    if (!o.output.isEmpty() && !outputIsFolder)
        return StripFiles::FormatOfName(o.output).value_or(StripFiles::Format::Bmp);
    return StripFiles::Format::Bmp;
}

Target TargetFor(const Options& o, bool outputIsFolder, const QString& picture) {
    Target t;
    t.format = ChosenFormat(o, outputIsFolder);
    if (o.output.isEmpty())
        t.strip = inFolder(folderOf(picture), stripName(o, t.format, picture));
    else if (outputIsFolder)
        t.strip = inFolder(o.output, stripName(o, t.format, picture));
    else
        t.strip = o.output;
    if (o.manifest) t.manifest = besideStrip(t.strip, QStringLiteral(".json"));
    if (o.preview) t.preview = besideStrip(t.strip, QStringLiteral(".html"));
    return t;
}

PicturePlan PlanPicture(const Options& o, bool outputIsFolder, const QString& picture,
                        const PictureFacts& facts) {
    PicturePlan plan;
    plan.target = TargetFor(o, outputIsFolder, picture);
    const bool bmp = plan.target.format == StripFiles::Format::Bmp;
    // Transparency is kept in a PNG strip, or laid over --background, or
    // over the window's grey for a BMP.
    plan.alpha = !bmp && !o.background && facts.transparent;
    if (facts.transparent && !plan.alpha)
        plan.lay = o.background.value_or(Pictures::kBoxBackground);
    plan.strip =
        PlanStrip(o.layout, facts.width, facts.height, parameters(o, facts), {o.sweep, bmp});
    if (plan.strip.loweredFrames) plan.warnings.push_back({.code = MessageCode::VerticalTooLarge});
    if (!plan.strip.fits) {
        plan.refusal = {.code = MessageCode::StripTooLarge,
                        .numbers = {plan.strip.size.X, plan.strip.size.Y, kMaxStripPixels}};
        return plan;
    }
    const StripFiles::StripFacts strip = factsOf(o, plan, facts, picture);
    if (!plan.target.manifest.isEmpty())
        plan.jobs.push_back(
            {Job::Kind::Text, plan.target.manifest, StripFiles::ManifestText(strip)});
    // The page speaks as the command line does.
    if (!plan.target.preview.isEmpty())
        plan.jobs.push_back({Job::Kind::Text, plan.target.preview,
                             StripFiles::PreviewPage(strip, Catalog::CommandLineLanguage())});
    plan.jobs.push_back({Job::Kind::Strip, plan.target.strip, {}});
    return plan;
}

}  // namespace StripCli
