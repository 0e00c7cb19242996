#include "picture_strip.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include <optional>

#include <cstring>

#include "build_rules.h"
#include "knob_input.h"
#include "leading_number.h"
#include "manifest.h"
#include "native_path.h"
#include "output_names.h"
#include "picture_io.h"
#include "strip_writer.h"
#include "texts.h"

namespace StripCli {

namespace {

// The window breaks its messages at a lone carriage return; a terminal wants
// a line break.
QString forTerminal(QString text) {
    return text.replace('\r', '\n');
}

// The parameters as the window's boxes would give them; the plan repairs them.
KnobParams parameters(const Options& o, const KnobInput::Picture& picture) {
    const KnobParams defaults;
    KnobParams p;
    p.FrameCount = o.frames ? ToFrameCount(*o.frames) : defaults.FrameCount;
    // A drawing made larger takes its given radius along.
    const double radius =
        o.radius ? *o.radius * (picture.vector ? o.scale : 1.0) : picture.image.width() / 2.0;
    p.RotRadius = ToFloat32(radius);
    p.RotAngle = o.angle ? ToFloat32(*o.angle) : defaults.RotAngle;
    p.StartAngle = o.start ? ToFloat32(*o.start) : 0.0f;
    return p;
}

// The picture as the strip shows it: transparency kept for a PNG strip,
// laid over --background, or over the window's grey for a BMP.
QImage prepared(const Options& o, OutputFormat format, const QImage& image, bool& alpha) {
    alpha = format == OutputFormat::Png && !o.background && image.hasAlphaChannel();
    if (alpha || !image.hasAlphaChannel()) return image;
    return Pictures::OverColour(image, o.background.value_or(Pictures::kBoxBackground));
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

// Composed straight into its file; PNG keeps the opacity when asked.
StripFiles::WriteResult written(const Options& o, const Target& t, const KnobParams& p,
                                const QImage& image, bool alpha) {
    const PixelGrid src = captured(image);
    if (src.empty()) return {false, true, {}};
    using StripFiles::FileKind;
    const FileKind kind = t.format == OutputFormat::Bmp ? FileKind::Bmp
                          : alpha                       ? FileKind::PngWithAlpha
                                                        : FileKind::Png;
    return StripFiles::WriteStrip(t.strip, o.orientation, p, !o.nearest, src, 0, kind);
}

StripFacts factsOf(const Options& o, const Target& t, const StripPlan& plan, const QImage& picture,
                   bool alpha) {
    return {QFileInfo(t.strip).fileName(),
            plan.params.FrameCount,
            picture.width(),
            picture.height(),
            o.orientation,
            plan.params,
            !o.nearest,
            alpha};
}

bool loadFailed(const Options& o, const QString& path, const KnobInput::Picture& picture,
                const Report& report) {
    if (picture.status == Pictures::LoadStatus::TooLarge) {
        report(forTerminal(Texts::PictureFileTooLarge(
            QFileInfo(path).fileName(), o.maxSize, picture.size.width(), picture.size.height())));
        return true;
    }
    if (picture.status != Pictures::LoadStatus::Loaded) {
        report(picture.message);
        return true;
    }
    return false;
}

std::optional<std::pair<unsigned long long, unsigned long long>> fileId(const QString& path) {
    struct stat info {};
    if (::stat(NativePath::Encode(path).constData(), &info) != 0) return std::nullopt;
    return std::pair<unsigned long long, unsigned long long>{info.st_dev, info.st_ino};
}

// Neither a strip this run wrote nor one of its pictures is written over.
bool mayWrite(const Target& t, const Claims& claims, const Report& report) {
    if (claims.strips.contains(QFileInfo(t.strip).absoluteFilePath())) {
        report(QStringLiteral("Die Datei '%1' wurde eben schon aus einem anderen Bild "
                              "geschrieben; dieses Bild wird \u00fcbersprungen.")
                   .arg(QFileInfo(t.strip).fileName()));
        return false;
    }
    for (const QString& file : {t.strip, t.manifest}) {
        if (file.isEmpty()) continue;
        const auto id = fileId(file);
        if (id && claims.pictures.count(*id) != 0) {
            report(QStringLiteral("Die Datei '%1' ist ein Bild dieses Aufrufs und wird nicht "
                                  "\u00fcberschrieben.")
                       .arg(QFileInfo(file).fileName()));
            return false;
        }
    }
    return true;
}

// The manifest is made ready first and put in place only after its strip: a
// picture whose manifest or strip fails replaces nothing.
bool writeOut(const Options& o, const Target& target, const StripPlan& plan, const QImage& image,
              bool alpha, const Report& report) {
    std::optional<PendingManifest> manifest;
    if (!target.manifest.isEmpty()) {
        manifest.emplace(target.manifest);
        if (const auto failed = manifest->Prepare(factsOf(o, target, plan, image, alpha))) {
            report(*failed);
            return false;
        }
    }
    const auto saved = written(o, target, plan.params, image, alpha);
    if (saved.noMemory) {
        report(Texts::NoMemoryForStrip(plan.size.X, plan.size.Y));
        return false;
    }
    if (!saved.ok) {
        report(Texts::CannotSave(QFileInfo(target.strip).fileName(), saved.reason));
        return false;
    }
    if (!manifest) return true;
    // Renaming beside a file just written hardly fails; the new strip is kept
    // then, and the failure reported.
    if (const auto failed = manifest->Commit()) {
        report(*failed);
        return false;
    }
    return true;
}

}  // namespace

Claims ClaimPictures(const QStringList& pictures) {
    Claims claims;
    for (const QString& picture : pictures)
        if (const auto id = fileId(picture)) claims.pictures.insert(*id);
    return claims;
}

bool BuildPictureStrip(const Options& o, const QString& path, Claims& claims,
                       const Report& report) {
    const auto picture = KnobInput::Load(path, {o.maxSize, o.size, o.scale});
    if (loadFailed(o, path, picture, report)) return false;
    const Target target = TargetFor(o, path);
    bool alpha = false;
    const QImage image = prepared(o, target.format, picture.image, alpha);
    const StripPlan plan =
        PlanStrip(o.orientation, image.width(), image.height(), parameters(o, picture),
                  {o.sweep, target.format == OutputFormat::Bmp});
    if (plan.loweredFrames) report(forTerminal(Texts::VerticalTooLarge()));
    if (!plan.fits) {
        report(forTerminal(Texts::StripTooLarge(plan.size.X, plan.size.Y)));
        return false;
    }
    if (!mayWrite(target, claims, report) || !writeOut(o, target, plan, image, alpha, report))
        return false;
    claims.strips << QFileInfo(target.strip).absoluteFilePath();
    return true;
}

}  // namespace StripCli
