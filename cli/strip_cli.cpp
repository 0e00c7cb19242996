#include "strip_cli.h"

#include <QFileInfo>

#include "build_rules.h"
#include "cli_options.h"
#include "commands.h"
#include "leading_number.h"
#include "native_path.h"
#include "picture_io.h"
#include "qt_drawing.h"
#include "strip_writer.h"
#include "texts.h"

namespace StripCli {

namespace {

// The window breaks its messages at a lone carriage return; a terminal wants
// a line break.
QString forTerminal(QString text) {
    return text.replace('\r', '\n');
}

// Worked on as the system's bytes, so that a name that is not UTF-8 stays as it is.
QString defaultOutput(const QString& picture, StripOrientation orientation) {
    const QFileInfo info(picture);
    std::string folder = NativePath::Encode(info.absolutePath()).toStdString();
    Commands::AddBackslash(folder);
    const std::string base =
        Commands::StripExtension(NativePath::Encode(info.fileName()).toStdString());
    return NativePath::Decode(QByteArray::fromStdString(
        folder + Commands::ExportFileName(base, orientation == StripOrientation::Horizontal)));
}

// The parameters as the window's boxes would give them; the plan repairs them.
KnobParams parameters(const Options& o, const QImage& picture) {
    const KnobParams defaults;
    KnobParams p;
    p.FrameCount = o.frames ? ToFrameCount(*o.frames) : defaults.FrameCount;
    p.RotRadius = ToFloat32(o.radius.value_or(picture.width() / 2.0));
    p.RotAngle = o.angle ? ToFloat32(*o.angle) : defaults.RotAngle;
    return p;
}

// The strip as the window draws it into its strip box, composed straight
// into the file.
StripFiles::WriteResult writeStrip(const Options& o, const KnobParams& p, const QImage& picture,
                                   const QString& output) {
    PixelGrid SrcBits;
    BitmapInfoHeader SrcInfo;
    if (APIMod::CapturePicture(picture, picture.width(), picture.height(), SrcBits, SrcInfo) !=
        APIMod::GrabResult::Done)
        return {false, true, {}};
    return StripFiles::WriteStrip(output, o.orientation, p, !o.nearest, SrcBits);
}

int build(const Options& o, QTextStream& err) {
    const auto picture = Pictures::LoadPicture(o.picture, o.maxSize);
    if (picture.status == Pictures::LoadStatus::TooLarge) {
        err << forTerminal(Texts::PictureFileTooLarge(QFileInfo(o.picture).fileName(), o.maxSize,
                                                      picture.size.width(), picture.size.height()))
            << "\n";
        return kFailed;
    }
    if (picture.status != Pictures::LoadStatus::Loaded) {
        err << picture.message << "\n";
        return kFailed;
    }
    const StripPlan plan = PlanStrip(o.orientation, picture.image.width(), picture.image.height(),
                                     parameters(o, picture.image));
    if (plan.loweredFrames) err << forTerminal(Texts::VerticalTooLarge()) << "\n";
    if (!plan.fits) {
        err << forTerminal(Texts::StripTooLarge(plan.size.X, plan.size.Y)) << "\n";
        return kFailed;
    }
    const QString output = o.output.isEmpty() ? defaultOutput(o.picture, o.orientation) : o.output;
    const auto written = writeStrip(o, plan.params, picture.image, output);
    if (written.noMemory) {
        err << Texts::NoMemoryForStrip(plan.size.X, plan.size.Y) << "\n";
        return kFailed;
    }
    if (!written.ok) {
        err << Texts::CannotSave(QFileInfo(output).fileName(), written.reason) << "\n";
        return kFailed;
    }
    return kWritten;
}

}  // namespace

int Run(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    const auto parsed = ParseArguments(arguments);
    if (const auto* usage = std::get_if<UsageError>(&parsed)) {
        err << "torvelink-cli: " << usage->message << "\n\n" << UsageText();
        return kUsage;
    }
    const auto& options = std::get<Options>(parsed);
    if (options.help) {
        out << UsageText();
        return kWritten;
    }
    return build(options, err);
}

}  // namespace StripCli
