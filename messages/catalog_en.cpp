// The English catalog: the command line's messages for everyone whose
// locale is not German. Facts stand in braces (catalog.cpp fills them in).
#include <cerrno>

#include "catalog.h"

namespace Messages {

QString EnglishSystemError(int error) {
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
            return QStringLiteral("error {error}");
    }
}

QString EnglishText(const Message& m) {
    using enum MessageCode;
    switch (m.code) {
        case None:
        case kCount:
            return {};

        case SystemError:
            return EnglishSystemError(m.reason.error);
        case Damaged:
            return QStringLiteral("it is damaged or not a picture");
        case Missing:
            return QStringLiteral("it does not exist");
        case NoReadPermission:
            return QStringLiteral("no permission to read it");
        case IsFolder:
            return QStringLiteral("it is a folder");
        case NotAFile:
            return QStringLiteral("it is not an ordinary file but a pipe or a device");
        case DrawingTooSlow:
            return QStringLiteral("drawing it took too long");
        case PlayerCrashed:
            return QStringLiteral("the metafile player crashed");
        case DrawingTooLarge:
            return QStringLiteral("drawing it needs too much memory");
        case PlayerLacksFonts:
            return QStringLiteral("the metafile player lacks its fonts (package fonts-urw-base35)");
        case RefersToFiles:
            return QStringLiteral("the drawing refers to other files");
        case NoPlayer:
            return QStringLiteral(
                "the metafile player beside the program is missing or does not start");
        case SvgPlayerCrashed:
            return QStringLiteral("the SVG player crashed");
        case NoSvgPlayer:
            return QStringLiteral("the SVG player beside the program is missing or does not start");
        case NoPicture:
            return QStringLiteral("there is no picture");
        case NotEncoded:
            return QStringLiteral("the picture could not be encoded");
        case NoWriteRight:
            return QStringLiteral("no permission to write in the folder");
        case FolderMissing:
            return QStringLiteral("the folder does not exist");
        case NoNewFiles:
            return QStringLiteral("the system lets no one create files in this folder");
        case NotAFileUnderName:
            return QStringLiteral("something other than an ordinary file has this name");
        case ReadOnlyFile:
            return QStringLiteral("the existing file is read-only");
        case PicturePlayerCrashed:
            return QStringLiteral("the picture player crashed");
        case NoPicturePlayer:
            return QStringLiteral(
                "the picture player beside the program is missing or does not start");
        case ReadingTooSlow:
            return QStringLiteral("reading it took too long");
        case ReadingTooLarge:
            return QStringLiteral("reading it needs too much memory");
        case CutShort:
            return QStringLiteral("it ends before its pixels do");
        case NestedTooDeep:
            return QStringLiteral("it nests drawings more than {depth} deep");
        case SizeNotANumber:
            return QStringLiteral("its width or height is not a number");
        case FileTooLong:
            return QStringLiteral("it is larger than {mebibytes} MiB");
        case NoTemporaryFolder:
            return QStringLiteral("nothing can be kept in the folder for temporary files (TMPDIR)");

        case CannotRead:
            return QStringLiteral("Cannot read '{subject}': {reason}.");
        case UnsupportedPicture:
            return QStringLiteral("'{subject}' is not a supported picture ({kinds:or}).");
        case EmptyPicture:
            return QStringLiteral("'{subject}' holds no picture.");
        case RasterNotScaled:
            return QStringLiteral(
                "'{subject}' is not an SVG drawing: --scale enlarges SVG drawings only, a pixel "
                "picture would blur; --scales draws it smaller for each scale instead");
        case PictureTooLarge:
            return QStringLiteral(
                "At most {maxSide} x {maxSide} pixels are allowed.\rThis picture has {width} x "
                "{height}.");
        case PictureFileTooLarge:
            return QStringLiteral(
                "'{subject}' is too large.\rAt most {maxSide} x {maxSide} pixels are "
                "allowed.\rThis picture has {width} x {height}.");

        case VerticalTooLarge:
            return QStringLiteral("Too tall for a vertical strip.\rThe frame count was lowered.");
        case StripTooLarge:
            return QStringLiteral(
                "The strip would be {width} x {height} pixels.\rAt most {maxPixels} pixels are "
                "possible. Use fewer frames.");
        case TooManyFrameFiles:
            return QStringLiteral(
                "That would be {files} files of {pixels} pixels in all; at most {maxFiles} files "
                "and {maxPixels} pixels can be made. Use fewer frames.");
        case NoMemoryForStrip:
            return QStringLiteral("Not enough memory for a strip of {width} x {height} pixels.");
        case CannotSave:
            return QStringLiteral("Cannot save '{subject}': {reason}.");
        case DriveNotReady:
            return QStringLiteral("The drive '{subject}' is not ready.");
        case FolderNotListed:
            return QStringLiteral("Cannot list the folder '{subject}'.");

        case CannotMakeFolder:
            return QStringLiteral("Cannot make the folder '{subject}'.");
        case StripWrittenAlready:
            return QStringLiteral(
                "'{subject}' was just written from another picture of this run; this picture is "
                "skipped.");
        case PictureNotOverwritten:
            return QStringLiteral("'{subject}' is a picture of this run and is not written over.");
        case Progress:
            return QStringLiteral("Picture {index} of {total}: {subject}");
        case Written:
            return QStringLiteral("{subject}: {width} x {height} pixels, {frames:frame|frames}");
        case WrittenFrames:
            return m.facts.count(Fact::Files) == 1
                       ? QStringLiteral("{subject}: {width} x {height} pixels")
                       : QStringLiteral(
                             "{subject} and the next: {files} files of {width} x {height} pixels");
        case PictureParameters:
            return QStringLiteral(
                "{subject}: {frames:frame|frames} of {width} x {height} pixels, radius {radius}, "
                "from {start} to {end} degrees");
        case UsageSeeHelp:
            return QStringLiteral("See '{program} --help'.");
        case WrittenSide:
            return QStringLiteral("{subject}: {reason}");
        case StripProgress:
            return QStringLiteral("{subject}: {index} %");
        case SideManifest:
            return QStringLiteral("the strip's facts (JSON)");
        case SideKontakt:
            return QStringLiteral("Kontakt's picture file");
        case SideUidesc:
            return QStringLiteral("a VSTGUI description");
        case SideCss:
            return QStringLiteral("a CSS sprite rule");
        case SideHeader:
            return QStringLiteral("a C and C++ header with the strips' bytes");
        case SidePreview:
            return QStringLiteral("a preview page");
        case SideAnimation:
            return QStringLiteral("an animated PNG");
        case ToolkitLine:
            return m.facts.find(Fact::Endings) != nullptr
                       ? QStringLiteral(
                             "{subject}: vertical, {frames:frame|frames} from {start} to {end} "
                             "degrees, PNG, with {endings}")
                       : QStringLiteral(
                             "{subject}: vertical, {frames:frame|frames} from {start} to {end} "
                             "degrees, PNG");

        case FramesRepaired:
            return QStringLiteral("warning: --frames {given} gives {frames:frame|frames}");
        case RadiusIsZero:
            return QStringLiteral("warning: radius 0: no frame turns");
        case FramesNotSquare:
            return QStringLiteral(
                "warning: the frames are {width} x {height} pixels, not square; a toolkit that "
                "counts frames as the long side over the short one plays them wrong (--square "
                "makes the picture square)");
        case StripOverTextureLimit:
            return m.facts.find(Fact::Frames) != nullptr
                       ? QStringLiteral(
                             "warning: the strip is {side} pixels long; many graphics cards load "
                             "at most {maxSide} pixels on a side (--frames {frames}, a grid or a "
                             "smaller --size keeps it within)")
                       : QStringLiteral(
                             "warning: the strip is {side} pixels long; many graphics cards load "
                             "at most {maxSide} pixels on a side (a grid or a smaller --size "
                             "keeps it within)");
        case NoCentreFrame:
            return QStringLiteral(
                "warning: with {frames:frame|frames} none stands at the middle of the arc; value "
                "0.5 shows {below} or {above} degrees ({otherFrames} frames have one)");
        case TransparencyOnGrey:
            return QStringLiteral(
                "warning: BMP has no transparency; it lies on grey {colour} (--format png keeps "
                "it)");
        case MaxSizeHint:
            return QStringLiteral("--max-size {size} takes it.");
        case RasterNotEnlarged:
            return QStringLiteral(
                "'{subject}' has {width} x {height} pixels; a pixel picture is not enlarged to "
                "{wantedWidth} x {wantedHeight} (a smaller --size takes it)");
        case RadiusRepaired:
            return QStringLiteral("warning: --radius {given} gives radius {radius}");
        case PresetFramesFit:
            return QStringLiteral(
                "note: {frames} frames, the most that keep the strip within {maxSide} pixels, "
                "which many graphics cards load at most (--frames {otherFrames} for more)");
        case PaddedForScales:
            return QStringLiteral(
                "note: the picture of {width} x {height} pixels lies centred on {wantedWidth} x "
                "{wantedHeight} with a clear margin, a size every scale divides (--size sets "
                "the 1x size instead)");
        case OneXAdded:
            return QStringLiteral(
                "note: VSTGUI finds larger scales only beside a 1x bitmap: a 1x strip is written "
                "too");
        case ToolkitReadsNoBmp:
            return QStringLiteral("warning: {subject} reads no BMP (--format png)");
        case ToolkitVerticalOnly:
            return QStringLiteral(
                "warning: {subject} draws only vertical strips right (leave out --horizontal and "
                "--layout)");
        case ToolkitSquaresFrames:
            return QStringLiteral(
                "note: {subject} counts frames as the long side over the short one: the picture "
                "lies centred on a square, as --square lays it");
        case ToolkitScaleNotFound:
            return QStringLiteral(
                "warning: {subject} finds only whole scales up to {high} (@2x); it does not load "
                "the strip named {value}");
        case DegreesNotRadians:
            return QStringLiteral(
                "warning: the whole arc is {angle} degrees; angles are degrees (a turn of three "
                "quarters is --sweep 270)");

        case UnknownOption:
            return m.value.isEmpty()
                       ? QStringLiteral("unknown option '{subject}'")
                       : QStringLiteral("unknown option '{subject}'; did you mean {value}?");
        case OptionNeedsValue:
            return QStringLiteral("{subject} needs a value");
        case NotANumber:
            return QStringLiteral("{subject} expects a number, not '{value}'");
        case DecimalPoint:
            return QStringLiteral(
                "{subject} expects a number with a decimal point (1.5), not '{value}'");
        case WordExpected:
            return m.facts.find(Fact::Meant) != nullptr
                       ? QStringLiteral(
                             "{subject} expects {choices:or}, not '{value}'; did you mean {meant}?")
                       : QStringLiteral("{subject} expects {choices:or}, not '{value}'");
        case WordsExpected:
            return QStringLiteral(
                "{subject} expects {choices:or}, separated by commas, not '{value}'");
        case NumberExpected:
            return QStringLiteral("{subject} expects a whole number from {low} to {high}");
        case NumberAboveZero:
            return QStringLiteral("{subject} expects a number above 0, up to {high}");
        case NumbersExpected:
            return QStringLiteral(
                "{subject} expects numbers from {low} to {high}, separated by commas, not "
                "'{value}'");
        case ColourExpected:
            return QStringLiteral(
                "{subject} expects a colour, #RRGGBB, #RRGGBBAA or R,G,B with whole numbers from "
                "0 to 255, not '{value}'");
        case PointExpected:
            return QStringLiteral("{subject} expects X,Y in pixels, not '{value}'");
        case CanvasExpected:
            return QStringLiteral(
                "{subject} expects W,H, whole pixels from {low} to {high}, not '{value}'");
        case ArcExpected:
            return QStringLiteral(
                "{subject} expects a colour, then perhaps its width and radius in pixels "
                "(#ff8800,4,40), not '{value}'");
        case NumberBetween:
            return QStringLiteral("{subject} expects a number from {low} to {high}, not '{value}'");
        case OutputNeedsName:
            return QStringLiteral("{subject} needs a file or folder name");
        case NoPictureGiven:
            return QStringLiteral("no picture given");
        case OptionNeeds:
            return QStringLiteral("{subject} needs {value}");
        case OptionsExclude:
            return QStringLiteral("{subject} and {value} exclude each other");
        case OutputEndingUnknown:
            return QStringLiteral("-o '{subject}': only {formats:and} are written");
        case RecipeNotJson:
            return QStringLiteral("'{subject}' is no recipe: it is not JSON (see byte {index})");
        case RecipeUnknownKey:
            return QStringLiteral("'{subject}': {value} is no key of a recipe");
        case RecipeWantsNumber:
            return QStringLiteral("'{subject}': {value} must be a number");
        case RecipeWantsText:
            return QStringLiteral("'{subject}': {value} must be a text in quotes");
        case RecipeWantsSwitch:
            return QStringLiteral("'{subject}': {value} must be true or false");
        case RecipeWantsList:
            return QStringLiteral("'{subject}': {value} must be a list in brackets");
        case RecipeWantsObject:
            return QStringLiteral("'{subject}': {value} must be an object in braces");
        case RecipeWantsPoint:
            return QStringLiteral("'{subject}': {value} must be two numbers, [x, y]");
        case RecipeFileOutside:
            return QStringLiteral(
                "'{subject}': {value} names '{path}', which does not lie in the recipe's folder; "
                "a recipe may only use the files beside it");
        case RecipeNeedsPicture:
            return QStringLiteral("'{subject}' names no picture and no layers");
        case RecipeLayerNeedsOne:
            return QStringLiteral("'{subject}': {value} needs either a file or an arc");
        case RecipeOneMotion:
            return QStringLiteral("'{subject}': {value} may turn, slide or fade, only one of them");
        case OutputMustBeFolder:
            return QStringLiteral(
                "with several pictures, -o must be a folder (ending in /): '{subject}'");
        case OutputFormatMismatch:
            return QStringLiteral("-o '{subject}' does not match --format {value}");

        case NameOnNoLine:
            return QStringLiteral(
                "'{subject}': a name with a line break cannot stand in a list of files or a "
                "dependency file");
        case FormatFollowsPicture:
            return QStringLiteral(
                "'{subject}': whether its strip is BMP or PNG depends on its transparency; "
                "--list-outputs needs --format or --for to name it");
        case EmbedNameRefused:
            return QStringLiteral(
                "{subject} expects a C or C++ source (.c, .cc, .cpp or .cxx) whose name has no "
                "quote, backslash or line break, not '{value}'");
        case NamespaceRefused:
            return QStringLiteral(
                "{subject} expects a C identifier (letters, digits and single underscores, a "
                "letter first, no keyword), not '{value}'");
        case EmbedOnePicture:
            return QStringLiteral(
                "--embed '{subject}' holds the strips of one picture: give one picture or recipe");
        case FilesShareName:
            return QStringLiteral(
                "two files of this run would be named '{subject}'; neither is written");
        case WatchStarted:
            return QStringLiteral("Watching {files:file|files} for changes; Ctrl-C ends.");
        case WatchRebuilt:
            return QStringLiteral("{subject} changed: {files:file|files} written again");
        case WatchKept:
            return QStringLiteral("{subject} changed: nothing written, the last files stay");
        case SideDependencies:
            return QStringLiteral("the dependency file for make and ninja");
        case SideEmbedSource:
            return QStringLiteral("C and C++ source with the strips' bytes");
        case SideEmbedHeader:
            return QStringLiteral("the header that declares the strips");
        case HelpDepfile:
            return QStringLiteral(
                "write a Make dependency file: every file written depends on\nevery file read "
                "(picture, layers, recipe), for make, ninja and\nCMake's DEPFILE; written only "
                "when everything is");
        case HelpListOutputs:
            return QStringLiteral(
                "name every file the run would write, one a line, and write\nnothing");
        case HelpWatch:
            return QStringLiteral(
                "after writing, watch every file read and write again on a\nchange, until "
                "Ctrl-C");
        case HelpEmbed:
            return QStringLiteral(
                "also write this C source (.c or .cpp) and its header (.h),\nholding each "
                "strip's bytes and facts for a program to link");
        case HelpEmbedNamespace:
            return QStringLiteral(
                "the namespace of --embed's names in C++, their prefix in C\n(default strips)");

        case UsageCall:
            return QStringLiteral("Usage: {program}");
        case UsagePicture:
            return QStringLiteral("PICTURE");
        case UsageOutputName:
            return QStringLiteral("OUTPUT");
        case UsageToolkit:
            return QStringLiteral("TOOLKIT");
        case UsageIntro:
            return QStringLiteral(
                "Builds a knob strip from each PICTURE\n({kinds:or}) and saves it.\n"
                "Draw the knob pointing to 12 o'clock: angles are degrees and turn\nclockwise "
                "from there (-135 is half past seven, 135 half past four).");
        case UsageExamples:
            return QStringLiteral(
                "Examples:\n"
                "  The strip JUCE plays as it is (vertical, PNG), knob_Seq_V.png:\n"
                "    {program} knob.png --for juce\n"
                "  Vertical, transparent, 129 frames from -135 to +135 degrees:\n"
                "    {program} knob.png --vertical --frames 129 --start -135 --end 135 \\\n"
                "                  --format png\n"
                "  From an SVG drawing of 64 pixels, once and twice as large\n"
                "  (knob_Seq_V.png, knob_Seq_V#2.0x.png and knob_Seq_V.uidesc):\n"
                "    {program} knob.svg --for vstgui --size 64 --scales 1,2\n"
                "  Several pictures into the folder strips, each with a manifest\n"
                "  (strips/a_Seq_H.png, strips/a_Seq_H.json, ...):\n"
                "    {program} a.png b.svg c.gif --format png --manifest -o strips/\n");
        case UsageLimits:
            return QStringLiteral(
                "A strip has at most {maxPixels} pixels and at most {maxSide} pixels on a side.");
        case UsageExitStatus:
            return QStringLiteral(
                "Exit status: 0 all written, 1 an input or output failure (with several "
                "pictures:\nat least one not written), 2 a usage error.");
        case ManName:
            return QStringLiteral("build knob strips from pictures");
        case ManSynopsis:
            return QStringLiteral("SYNOPSIS");
        case ManDescription:
            return QStringLiteral("DESCRIPTION");
        case ManOptions:
            return QStringLiteral("OPTIONS");
        case ManExitStatus:
            return QStringLiteral("EXIT STATUS");
        case ManExamples:
            return QStringLiteral("EXAMPLES");

        case HelpFrames:
            return QStringLiteral("frames (default {frames}; below 1 gives 1)");
        case HelpRadius:
            return QStringLiteral(
                "radius of the turned disc in pixels (default: half the picture's\nwidth; "
                "negative gives 1)");
        case HelpAngle:
            return QStringLiteral(
                "turn from one frame to the next in degrees, clockwise (default {angle})");
        case HelpStart:
            return QStringLiteral(
                "turn of the first frame in degrees, clockwise from the picture as drawn "
                "(default 0)");
        case HelpSweep:
            return QStringLiteral(
                "turn from the first frame to the last in degrees;\nthe angle per frame is "
                "S / (N - 1)");
        case HelpHorizontal:
            return QStringLiteral("frames side by side (default)");
        case HelpVertical:
            return QStringLiteral(
                "frames one below the other (BMP: at most {maxSide} pixels high)");
        case HelpNearest:
            return QStringLiteral("nearest pixel instead of bilinear blending");
        case HelpRoutine:
            return QStringLiteral(
                "how pixels are turned: window (the window's bilinear blend),\n"
                "nearest or sharp (a sharp cubic); default window, with --for sharp;\n"
                "without --routine a drawing is turned as a drawing");
        case HelpOversample:
            return QStringLiteral(
                "draw a drawing and the value arc N times as large and average\n"
                "down (default: 4 for a drawing turned as a drawing, as far as its\n"
                "size allows; else 1)");
        case HelpMaxSize:
            return QStringLiteral(
                "largest picture width and height (default {size}, at most {maxSide})");
        case HelpSize:
            return QStringLiteral(
                "the knob's longer side in pixels: SVG pictures are drawn\nso large, pixel "
                "pictures made smaller (default: the\npicture's own size)");
        case HelpScale:
            return QStringLiteral(
                "draw SVG pictures K times as large, and a given radius\n(for HiDPI: 2); pixel "
                "pictures are refused, not enlarged");
        case HelpBackground:
            return QStringLiteral(
                "lay transparency on this colour (default: PNG keeps it,\nBMP lies on grey "
                "{colour})");
        case HelpFormat:
            return QStringLiteral(
                "{choices:or} (default: by the ending of -o; else bmp for opaque\n"
                "BMP, JPEG, GIF, ICO, CUR and WMF pictures, png for all others\n"
                "and with --for)");
        case HelpCompression:
            return QStringLiteral(
                "PNG: {choices:or} (small: the smallest file, takes\nlonger); the pixels are the "
                "same");
        case HelpUnder:
            return QStringLiteral(
                "a still layer under the picture (a shadow), centred; may be given again");
        case HelpOver:
            return QStringLiteral(
                "a still layer over the picture (gloss, a scale), centred; may be given again");
        case HelpMotion:
            return QStringLiteral(
                "how the picture moves with the value: {choices:or} (default turn); with any "
                "layer it turns whole, not in a disc");
        case HelpSlideFrom:
            return QStringLiteral(
                "the sliding picture's top-left corner on the canvas at value 0 (default: "
                "centred)");
        case HelpSlideTo:
            return QStringLiteral("the sliding picture's top-left corner at value 1");
        case HelpFadeFrom:
            return QStringLiteral(
                "the fading picture's opacity at value 0, {low} to {high} "
                "(default 0)");
        case HelpFadeTo:
            return QStringLiteral("its opacity at value 1 (default 1)");
        case HelpArc:
            return QStringLiteral(
                "a value arc over the picture, from the arc's start to the value's angle: its "
                "colour (#RRGGBB or #RRGGBBAA), width and radius in pixels");
        case HelpArcTrack:
            return QStringLiteral("the colour of the rest of the arc");
        case HelpArcFrom:
            return QStringLiteral(
                "where the arc grows from: {choices:or} (middle: pan and bipolar knobs)");
        case HelpArcEnds:
            return QStringLiteral("the arc's ends: {choices:or}");
        case HelpCanvas:
            return QStringLiteral(
                "the size of the canvas the layers lie on, at 1x (default: the largest layer)");
        case HelpManifest:
            return QStringLiteral("put a JSON file with the strip's facts beside each strip");
        case HelpPreview:
            return QStringLiteral(
                "put an HTML page beside each strip that turns it as a knob\n(by drag, wheel and "
                "keys, over a light and a dark ground)");
        case HelpOutput:
            return QStringLiteral(
                "the strip's file for one picture (ending in .png or .bmp), else a folder, made "
                "when it is missing (a name without an ending is a folder); default: "
                "<picture>_Seq_H.bmp or _Seq_V.bmp (.png for PNG) in the picture's folder");
        case HelpFor:
            return QStringLiteral(
                "the strip a toolkit plays as it is: {choices};\nwithout a name: the list");
        case HelpEnd:
            return QStringLiteral("turn of the last frame in degrees (with --start)");
        case HelpLayout:
            return QStringLiteral(
                "{choices:or}: grid:C puts C frames in a row,\nframes writes one file for each "
                "frame, numbered: _0001");
        case HelpFirstNumber:
            return QStringLiteral("the number of the first frame file, {choices:or} (default 1)");
        case HelpScales:
            return QStringLiteral(
                "one strip for each scale from {low} to {high}, such as 1,2 (knob_Seq_H.png, "
                "knob_Seq_H@2x.png); a pixel picture is drawn smaller for it, never larger");
        case HelpSquare:
            return QStringLiteral("lay the picture centred on a square of its long side");
        case HelpSide:
            return QStringLiteral("files beside the strip, by commas: {choices}");
        case HelpAnimation:
            return QStringLiteral("an animated PNG that plays the arc forth and back");
        case HelpQuiet:
            return QStringLiteral("no line for each file written");
        case HelpVerbose:
            return QStringLiteral("each picture's parameters too");
        case HelpVersion:
            return QStringLiteral("show the program's version");
        case HelpHelp:
            return QStringLiteral("show this help");

        case PreviewTitle:
            return QStringLiteral("Preview of {subject}");
        case PreviewFacts:
            return QStringLiteral(
                "{frames:frame|frames} of {width} x {height} pixels, counted from 0");
        case PreviewHint:
            return QStringLiteral(
                "Turn the knob: drag up or down, turn the mouse wheel, or press the arrow keys, "
                "Page Up and Page Down, Home and End.");
        case PreviewSliderHint:
            return QStringLiteral(
                "Move the slider: drag it along its track, turn the mouse wheel, or press the "
                "arrow keys, Page Up and Page Down, Home and End.");
        case PreviewKnob:
            return QStringLiteral("Knob");
        case PreviewSlider:
            return QStringLiteral("Slider");
        case PreviewValue:
            return QStringLiteral("Value");
        case PreviewFrame:
            return QStringLiteral("Frame");
        case PreviewAngle:
            return QStringLiteral("Angle");
        case PreviewLight:
            return QStringLiteral("light");
        case PreviewDark:
            return QStringLiteral("dark");
    }
    return {};
}

}  // namespace Messages
