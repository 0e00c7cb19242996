#include "strip_cli.h"

#include <QFileInfo>

#include "build_rules.h"
#include "cli_options.h"
#include "commands.h"
#include "leading_number.h"
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

QString defaultOutput(const QString& picture, StripOrientation orientation) {
    const QFileInfo info(picture);
    std::string folder = info.absolutePath().toStdString();
    Commands::AddBackslash(folder);
    const std::string base = Commands::StripExtension(info.fileName().toStdString());
    return QString::fromStdString(
        folder + Commands::ExportFileName(base, orientation == StripOrientation::Horizontal));
}

KnobParams parameters(const Options& o, const QImage& picture) {
    KnobParams p;
    p.FrameCount = ToFrameCount(o.frames.value_or(28.0));
    p.RotRadius = ToFloat32(o.radius.value_or(picture.width() / 2.0));
    p.RotAngle = ToFloat32(o.angle.value_or(10.0));
    // The build command's repairs; an angle of 0 is fine as it is.
    if (p.FrameCount < 1) p.FrameCount = 1;
    if (p.RotRadius < 0.0f) p.RotRadius = 1.0f;
    return p;
}

QString tooLargeStrip(const StripExtent& size) {
    return QStringLiteral(
               "Der Streifen w\u00e4re %1 x %2 Pixel gross; m\u00f6glich sind "
               "h\u00f6chstens %3 Pixel und %4 Pixel je Seite.")
        .arg(size.X)
        .arg(size.Y)
        .arg(kMaxStripPixels)
        .arg(kMaxStripSide);
}

// The strip as the window draws it into its strip box, composed straight
// into the file.
StripFiles::WriteResult writeStrip(const Options& o, const KnobParams& p, const QImage& picture,
                                   const QString& output) {
    PixelGrid SrcBits;
    BitmapInfoHeader SrcInfo;
    SrcBits.allocate(picture.width(), picture.height());
    APIMod::SetDibHeader(SrcBits, SrcInfo);
    if (APIMod::GrabPictureBits(picture, SrcBits, SrcInfo) != APIMod::GrabResult::Done)
        return {false, true, {}};
    return StripFiles::WriteStrip(output, o.orientation, p, !o.nearest, SrcBits);
}

int build(const Options& o, QTextStream& err) {
    const auto picture = Pictures::LoadPicture(o.picture, o.maxSize);
    if (picture.status == Pictures::LoadStatus::TooLarge) {
        err << forTerminal(
                   Texts::PictureTooLarge(o.maxSize, picture.size.width(), picture.size.height()))
            << "\n";
        return kFailed;
    }
    if (picture.status != Pictures::LoadStatus::Loaded) {
        err << picture.message << "\n";
        return kFailed;
    }
    KnobParams p = parameters(o, picture.image);
    if (o.orientation == StripOrientation::Vertical) {
        if (auto lowered = LimitVerticalFrameCount(picture.image.height(), p.FrameCount)) {
            p.FrameCount = *lowered;
            err << forTerminal(QString::fromUtf8(kVerticalTooLargeText)) << "\n";
        }
    }
    const StripExtent size = ComputeStripSize(o.orientation, picture.image.width(),
                                              picture.image.height(), p.FrameCount);
    if (!StripFits(size)) {
        err << tooLargeStrip(size) << "\n";
        return kFailed;
    }
    const QString output = o.output.isEmpty() ? defaultOutput(o.picture, o.orientation) : o.output;
    const auto written = writeStrip(o, p, picture.image, output);
    if (written.noMemory) {
        err << QStringLiteral("Nicht genug Speicher f\u00fcr den Streifen.") << "\n";
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
