// The English catalog: the command line's messages for everyone whose
// locale is not German.
#include <cerrno>

#include "catalog.h"

namespace Catalog {

namespace {

QString systemError(int error) {
    switch (error) {
        case EACCES:
        case EPERM:
            return QStringLiteral("permission denied");
        case EROFS:
            return QStringLiteral("the disk is read-only");
        case ENOSPC:
        case EDQUOT:
            return QStringLiteral("the disk is full");
        case EFBIG:
            return QStringLiteral("the file would be larger than allowed");
        case ENAMETOOLONG:
            return QStringLiteral("the name is too long");
        case ENOENT:
            return QStringLiteral("the folder or the file does not exist");
        case ENOTDIR:
            return QStringLiteral("a part of the path is not a folder");
        case EISDIR:
            return QStringLiteral("a folder has this name");
        case EIO:
            return QStringLiteral("an input/output error of the disk");
        case ENOMEM:
            return QStringLiteral("not enough memory");
        case EMFILE:
        case ENFILE:
            return QStringLiteral("too many open files");
        case ETXTBSY:
        case EBUSY:
            return QStringLiteral("the file is in use");
        case ELOOP:
            return QStringLiteral("too many symbolic links");
        case EPIPE:
            return QStringLiteral("the output was closed");
        case EXDEV:
            return QStringLiteral("cannot rename across disks");
        default:
            return QStringLiteral("error %1").arg(error);
    }
}

// "BMP, JPEG or GIF"
QString num(qint64 n) {
    return QString::number(n);
}

// A count with its noun: one or many.
QString count(qint64 n, const char* one, const char* many) {
    return num(n) + ' ' + QString::fromUtf8(n == 1 ? one : many);
}

QString list(const QStringList& names) {
    if (names.size() < 2) return names.join(QString());
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           names.last();
}

QString tooLarge(const Message& m) {
    const auto& n = m.numbers;
    return QStringLiteral("At most %1 x %1 pixels are allowed.\rThis picture has %2 x %3.")
        .arg(n[0])
        .arg(n[1])
        .arg(n[2]);
}

QString reasons(const Message& m) {
    switch (m.code) {
        case MessageCode::SystemError:
            return systemError(m.reason.error);
        case MessageCode::Damaged:
            return QStringLiteral("it is damaged or not a picture");
        case MessageCode::Missing:
            return QStringLiteral("it does not exist");
        case MessageCode::NoReadPermission:
            return QStringLiteral("no permission to read it");
        case MessageCode::IsFolder:
            return QStringLiteral("it is a folder");
        case MessageCode::NotAFile:
            return QStringLiteral("it is not an ordinary file but a pipe or a device");
        case MessageCode::DrawingTooSlow:
            return QStringLiteral("drawing it took too long");
        case MessageCode::PlayerCrashed:
            return QStringLiteral("the metafile player crashed");
        case MessageCode::DrawingTooLarge:
            return QStringLiteral("drawing it needs too much memory");
        case MessageCode::PlayerLacksFonts:
            return QStringLiteral("the metafile player lacks its fonts (package fonts-urw-base35)");
        case MessageCode::RefersToFiles:
            return QStringLiteral("the drawing refers to other files");
        case MessageCode::NoPlayer:
            return QStringLiteral(
                "the metafile player beside the program is missing or does not start");
        case MessageCode::SvgPlayerCrashed:
            return QStringLiteral("the SVG player crashed");
        case MessageCode::NoSvgPlayer:
            return QStringLiteral("the SVG player beside the program is missing or does not start");
        case MessageCode::NoPicture:
            return QStringLiteral("there is no picture");
        case MessageCode::NotEncoded:
            return QStringLiteral("the picture could not be encoded");
        case MessageCode::NoWriteRight:
            return QStringLiteral("no permission to write in the folder");
        case MessageCode::FolderMissing:
            return QStringLiteral("the folder does not exist");
        case MessageCode::NotAFileUnderName:
            return QStringLiteral("something other than an ordinary file has this name");
        case MessageCode::ReadOnlyFile:
            return QStringLiteral("the existing file is read-only");
        default:
            return {};
    }
}

QString reasonText(const Reason& reason) {
    Message m;
    m.code = reason.code;
    m.reason = reason;
    return reasons(m);
}

QString pictures(const Message& m) {
    const QString& file = m.subject;
    switch (m.code) {
        case MessageCode::CannotRead:
            return QStringLiteral("Cannot read '%1': %2.").arg(file, reasonText(m.reason));
        case MessageCode::UnsupportedPicture:
            return QStringLiteral("'%1' is not a supported picture (%2).").arg(file, list(m.names));
        case MessageCode::EmptyPicture:
            return QStringLiteral("'%1' holds no picture.").arg(file);
        case MessageCode::RasterNotScaled:
            return QStringLiteral(
                       "'%1' is not an SVG drawing: --scale enlarges SVG drawings only, a "
                       "pixel picture would blur.")
                .arg(file);
        case MessageCode::PictureTooLarge:
            return tooLarge(m);
        case MessageCode::PictureFileTooLarge:
            return QStringLiteral("'%1' is too large.\r").arg(file) + tooLarge(m);
        default:
            return {};
    }
}

QString strips(const Message& m) {
    const auto& n = m.numbers;
    switch (m.code) {
        case MessageCode::VerticalTooLarge:
            return QStringLiteral("Too tall for a vertical strip.\rThe frame count was lowered.");
        case MessageCode::StripTooLarge:
            return QStringLiteral(
                       "The strip would be %1 x %2 pixels.\rAt most %3 pixels are possible. "
                       "Use fewer frames.")
                .arg(n[0])
                .arg(n[1])
                .arg(n[2]);
        case MessageCode::NoMemoryForStrip:
            return QStringLiteral("Not enough memory for a strip of %1 x %2 pixels.")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::CannotSave:
            return QStringLiteral("Cannot save '%1': %2.").arg(m.subject, reasonText(m.reason));
        case MessageCode::DriveNotReady:
            return QStringLiteral("The drive '%1' is not ready.").arg(m.subject);
        case MessageCode::FolderNotListed:
            return QStringLiteral("Cannot list the folder '%1'.").arg(m.subject);
        case MessageCode::CannotMakeFolder:
            return QStringLiteral("Cannot make the folder '%1'.").arg(m.subject);
        case MessageCode::StripWrittenAlready:
            return QStringLiteral(
                       "'%1' was just written from another picture of this run; this picture "
                       "is skipped.")
                .arg(m.subject);
        case MessageCode::PictureNotOverwritten:
            return QStringLiteral("'%1' is a picture of this run and is not written over.")
                .arg(m.subject);
        case MessageCode::Written:
            return QStringLiteral("%1: %2 x %3 pixels, %4")
                .arg(m.subject, num(n[0]), num(n[1]), count(n[2], "frame", "frames"));
        case MessageCode::WrittenFrames:
            return n[2] == 1
                       ? QStringLiteral("%1: %2 x %3 pixels").arg(m.subject, num(n[0]), num(n[1]))
                       : QStringLiteral("%1 and the next: %2 files of %3 x %4 pixels")
                             .arg(m.subject, num(n[2]), num(n[0]), num(n[1]));
        case MessageCode::PictureParameters:
            return QStringLiteral("%1: %2 of %3 x %4 pixels, radius %5, from %6 to %7 degrees")
                .arg(m.subject, count(n[0], "frame", "frames"), num(n[1]), num(n[2]),
                     m.names.value(0), m.names.value(1), m.names.value(2));
        case MessageCode::UsageSeeHelp:
            return QStringLiteral("See 'torvelink-cli --help'.");
        case MessageCode::ToolkitLine:
            return QStringLiteral("%1: vertical, %2 frames from %3 to %4 degrees, PNG%5")
                .arg(m.subject)
                .arg(n[0])
                .arg(n[1])
                .arg(n[2])
                .arg(m.value.isEmpty() ? QString() : QStringLiteral(", with ") + m.value);
        case MessageCode::FramesRepaired:
            return QStringLiteral("warning: --frames %1 gives %2 frames").arg(m.value).arg(n[0]);
        case MessageCode::RadiusIsZero:
            return QStringLiteral("warning: radius 0: no frame turns");
        case MessageCode::FramesNotSquare:
            return QStringLiteral(
                       "warning: the frames are %1 x %2 pixels, not square; a toolkit that counts "
                       "frames as the long side over the short one plays them wrong (--square "
                       "makes the picture square)")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::StripOverTextureLimit:
            return QStringLiteral(
                       "warning: the strip is %1 pixels long; many graphics cards load at most %2 "
                       "pixels on a side")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::NoCentreFrame:
            return QStringLiteral(
                       "warning: with %1 frames none stands at the middle of the arc; value 0.5 "
                       "shows %3 degrees (%2 frames have one)")
                .arg(n[0])
                .arg(n[1])
                .arg(list(m.names));
        case MessageCode::TransparencyOnGrey:
            return QStringLiteral(
                       "warning: BMP has no transparency; it lies on grey %1 (--format png keeps "
                       "it)")
                .arg(m.value);
        case MessageCode::MaxSizeHint:
            return QStringLiteral("--max-size %1 takes it.").arg(n[0]);
        case MessageCode::RasterNotEnlarged:
            return QStringLiteral(
                       "'%1' has %2 x %3 pixels; a pixel picture is not enlarged to %4 x %5")
                .arg(m.subject, num(n[0]), num(n[1]), num(n[2]), num(n[3]));
        case MessageCode::RadiusRepaired:
            return QStringLiteral("warning: --radius %1 gives radius %2")
                .arg(m.value, m.names.value(0));
        case MessageCode::TooManyFrameFiles:
            return QStringLiteral(
                       "That would be %1 files of %2 pixels in all; at most %3 files and %4 "
                       "pixels can be made. Use fewer frames.")
                .arg(num(n[0]), num(n[1]), num(n[2]), num(n[3]));
        case MessageCode::Progress:
            return QStringLiteral("Picture %1 of %2: %3").arg(n[0]).arg(n[1]).arg(m.subject);
        default:
            return {};
    }
}

QString usage(const Message& m) {
    switch (m.code) {
        case MessageCode::UnknownOption:
            if (!m.value.isEmpty())
                return QStringLiteral("unknown option '%1'; did you mean %2?")
                    .arg(m.subject, m.value);
            return QStringLiteral("unknown option '%1'").arg(m.subject);
        case MessageCode::OptionNeedsValue:
            return QStringLiteral("%1 needs a value").arg(m.subject);
        case MessageCode::NotANumber:
            return QStringLiteral("%1 expects a number, not '%2'").arg(m.subject, m.value);
        case MessageCode::FormatExpected:
            return QStringLiteral("--format expects png or bmp, not '%1'").arg(m.value);
        case MessageCode::CompressionExpected:
            return QStringLiteral("--compression expects fast, default or small, not '%1'")
                .arg(m.value);
        case MessageCode::BackgroundExpected:
            return QStringLiteral(
                       "--background expects R,G,B with whole numbers from 0 to 255, not '%1'")
                .arg(m.value);
        case MessageCode::OutputNeedsName:
            return QStringLiteral("-o needs a file or folder name");
        case MessageCode::WholeNumberExpected:
            return QStringLiteral("%1 expects a whole number from 1 to %2")
                .arg(m.subject)
                .arg(m.numbers[0]);
        case MessageCode::ScaleExpected:
            return QStringLiteral("--scale expects a number above 0, up to %1").arg(m.numbers[0]);
        case MessageCode::OrientationsExclude:
            return QStringLiteral("--horizontal and --vertical exclude each other");
        case MessageCode::AngleSweepExclude:
            return QStringLiteral(
                "--angle and --sweep exclude each other: --sweep sets the angle per frame");
        case MessageCode::NoPictureGiven:
            return QStringLiteral("no picture given");
        case MessageCode::OptionsExclude:
            return QStringLiteral("%1 and %2 exclude each other").arg(m.subject, m.value);
        case MessageCode::ToolkitExpected:
            return QStringLiteral("--for expects %1, not '%2'").arg(list(m.names), m.value);
        case MessageCode::SideExpected:
            return QStringLiteral(
                       "--side expects manifest, kontakt, uidesc, css, header or none, separated "
                       "by commas, not '%1'")
                .arg(m.value);
        case MessageCode::ScalesExpected:
            return QStringLiteral(
                       "--scales expects numbers from 0.01 to %1, separated by commas, not '%2'")
                .arg(m.numbers[0])
                .arg(m.value);
        case MessageCode::LayoutExpected:
            return QStringLiteral(
                       "--layout expects horizontal, vertical, grid:C (C columns) or frames, not "
                       "'%1'")
                .arg(m.value);
        case MessageCode::FirstNumberExpected:
            return QStringLiteral("--first-number expects 0 or 1");
        case MessageCode::OutputEndingUnknown:
            return QStringLiteral("-o '%1': only PNG (.png) and BMP (.bmp) are written")
                .arg(m.subject);
        case MessageCode::OutputMustBeFolder:
            return QStringLiteral("with several pictures, -o must be a folder (ending in /): '%1'")
                .arg(m.subject);
        case MessageCode::OutputFormatMismatch:
            return QStringLiteral("-o '%1' does not match --format %2").arg(m.subject, m.value);
        default:
            return {};
    }
}

QString help(const Message& m) {
    const auto& n = m.numbers;
    switch (m.code) {
        case MessageCode::UsageCall:
            return QStringLiteral("Usage: torvelink-cli");
        case MessageCode::UsagePicture:
            return QStringLiteral("PICTURE");
        case MessageCode::UsageOutputName:
            return QStringLiteral("OUTPUT");
        case MessageCode::UsageToolkit:
            return QStringLiteral("TOOLKIT");
        case MessageCode::UsageIntro:
            return QStringLiteral("Builds a knob strip from each PICTURE\n(%1) and saves it.")
                .arg(list(m.names));
        case MessageCode::UsageExamples:
            return QStringLiteral(
                "Examples:\n"
                "  The strip JUCE plays as it is (vertical, PNG):\n"
                "    torvelink-cli knob.png --for juce\n"
                "  Vertical, transparent, 129 frames from -135 to +135 degrees:\n"
                "    torvelink-cli knob.png --vertical --frames 129 --start -135 --end 135 "
                "\\\n"
                "                  --format png\n"
                "  From an SVG drawing of 64 pixels, once and twice as large:\n"
                "    torvelink-cli knob.svg --for vstgui --size 64 --scales 1,2\n"
                "  Several pictures into one folder, each with a manifest:\n"
                "    torvelink-cli a.png b.svg c.gif --format png --manifest -o strips/\n");
        case MessageCode::UsageLimits:
            return QStringLiteral("A strip has at most %1 pixels and at most %2 pixels on a side.")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::UsageExitStatus:
            return QStringLiteral(
                "Exit status: 0 all written, 1 an input or output failure (with several "
                "pictures:\nat least one not written), 2 a usage error.");
        case MessageCode::ManName:
            return QStringLiteral("build knob strips from pictures");
        case MessageCode::ManSynopsis:
            return QStringLiteral("SYNOPSIS");
        case MessageCode::ManDescription:
            return QStringLiteral("DESCRIPTION");
        case MessageCode::ManOptions:
            return QStringLiteral("OPTIONS");
        case MessageCode::ManExitStatus:
            return QStringLiteral("EXIT STATUS");
        case MessageCode::ManExamples:
            return QStringLiteral("EXAMPLES");
        case MessageCode::HelpFrames:
            return QStringLiteral("frames (default %1; below 1 gives 1)").arg(n[0]);
        case MessageCode::HelpRadius:
            return QStringLiteral(
                "radius of the turned disc in pixels (default: half the picture's\nwidth; "
                "negative gives 1)");
        case MessageCode::HelpAngle:
            return QStringLiteral(
                       "turn from one frame to the next in degrees, clockwise (default %1)")
                .arg(m.value);
        case MessageCode::HelpStart:
            return QStringLiteral("turn of the first frame in degrees (default 0)");
        case MessageCode::HelpSweep:
            return QStringLiteral(
                "turn from the first frame to the last in degrees;\nthe angle per frame is "
                "S / (N - 1)");
        case MessageCode::HelpHorizontal:
            return QStringLiteral("frames side by side (default)");
        case MessageCode::HelpVertical:
            return QStringLiteral("frames one below the other (BMP: at most %1 pixels high)")
                .arg(n[0]);
        case MessageCode::HelpNearest:
            return QStringLiteral("nearest pixel instead of bilinear blending");
        case MessageCode::HelpMaxSize:
            return QStringLiteral("largest picture width and height (default %1, at most %2)")
                .arg(n[0])
                .arg(n[1]);
        case MessageCode::HelpSize:
            return QStringLiteral(
                "the knob's longer side in pixels: SVG pictures are drawn\nso large, pixel "
                "pictures made smaller (default: the\npicture's own size)");
        case MessageCode::HelpScale:
            return QStringLiteral(
                "draw SVG pictures K times as large, and a given radius\n(for HiDPI: 2); "
                "pixel pictures are refused, not enlarged");
        case MessageCode::HelpBackground:
            return QStringLiteral(
                       "lay transparency on this colour (default: PNG keeps it,\nBMP lies on "
                       "grey %1)")
                .arg(m.value);
        case MessageCode::HelpFormat:
            return QStringLiteral(
                "png or bmp (default: by the ending of -o; else bmp for opaque\n"
                "BMP, JPEG, GIF, ICO, CUR and WMF pictures, png for all others\n"
                "and with --for)");
        case MessageCode::HelpCompression:
            return QStringLiteral(
                "PNG: fast, default or small (the smallest file, takes\nlonger); the pixels are "
                "the same");
        case MessageCode::HelpManifest:
            return QStringLiteral("put a JSON file with the strip's facts beside each strip");
        case MessageCode::HelpPreview:
            return QStringLiteral(
                "put an HTML page beside each strip that turns it as a knob\n(by drag, wheel "
                "and keys, over a light and a dark ground)");
        case MessageCode::HelpFor:
            return QStringLiteral(
                       "the strip a toolkit plays as it is: %1;\nwithout a name: the list")
                .arg(m.names.join(QStringLiteral(", ")));
        case MessageCode::HelpEnd:
            return QStringLiteral("turn of the last frame in degrees (with --start)");
        case MessageCode::HelpLayout:
            return QStringLiteral(
                "horizontal, vertical, grid:C (C frames to a row) or\n"
                "frames (one file for each frame, numbered: _0001)");
        case MessageCode::HelpFirstNumber:
            return QStringLiteral("the number of the first frame file, 0 or 1 (default 1)");
        case MessageCode::HelpScales:
            return QStringLiteral(
                "one strip for each scale, such as 1,2 (knob.png, knob@2x.png);\n"
                "a pixel picture is drawn smaller for it, never larger");
        case MessageCode::HelpSquare:
            return QStringLiteral("lay the picture centred on a square of its long side");
        case MessageCode::HelpSide:
            return QStringLiteral(
                "files beside the strip: manifest, kontakt, uidesc, css,\nheader, none");
        case MessageCode::HelpAnimation:
            return QStringLiteral("an animated PNG that plays the arc forth and back");
        case MessageCode::HelpQuiet:
            return QStringLiteral("no line for each file written");
        case MessageCode::HelpVerbose:
            return QStringLiteral("each picture's parameters too");
        case MessageCode::HelpVersion:
            return QStringLiteral("show the program's version");
        case MessageCode::HelpHelp:
            return QStringLiteral("show this help");
        case MessageCode::HelpOutput:
            return QStringLiteral(
                "the strip's file for one picture, else a folder (ending in /);\ndefault: "
                "<picture>_Seq_H.bmp or _Seq_V.bmp (.png for PNG)\nin the picture's folder");
        default:
            return {};
    }
}

// The preview page's words.
QString preview(const Message& m) {
    const auto& n = m.numbers;
    switch (m.code) {
        case MessageCode::PreviewTitle:
            return QStringLiteral("Preview of %1").arg(m.subject);
        case MessageCode::PreviewFacts:
            return QStringLiteral("%1 frames of %2 x %3 pixels, counted from 0")
                .arg(n[0])
                .arg(n[1])
                .arg(n[2]);
        case MessageCode::PreviewHint:
            return QStringLiteral(
                "Turn the knob: drag up or down, turn the mouse wheel, or press the arrow "
                "keys, Page Up and Page Down, Home and End.");
        case MessageCode::PreviewKnob:
            return QStringLiteral("Knob");
        case MessageCode::PreviewValue:
            return QStringLiteral("Value");
        case MessageCode::PreviewFrame:
            return QStringLiteral("Frame");
        case MessageCode::PreviewAngle:
            return QStringLiteral("Angle");
        case MessageCode::PreviewLight:
            return QStringLiteral("light");
        case MessageCode::PreviewDark:
            return QStringLiteral("dark");
        default:
            return {};
    }
}

}  // namespace

// Each group answers for its codes and gives an empty text for the others.
QString RenderEnglish(const Message& m) {
    for (const auto group : {reasons, pictures, strips, usage, help, preview}) {
        QString text = group(m);
        if (!text.isEmpty()) return text;
    }
    return {};
}

}  // namespace Catalog
