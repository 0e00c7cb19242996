#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <utility>
#include <variant>
#include <vector>

namespace Messages {

// What happened, as a code with its facts. The layers below the two programs
// never build sentences: they return a Message, and a catalog (catalog.h)
// puts it into the user's words at the edge.
enum class MessageCode : std::uint16_t {
    None,

    // Why a file could not be read or written: the reason inside CannotRead
    // and CannotSave.
    SystemError,           // Reason::error: the system's error number
    Damaged,               // not a picture, or a damaged one
    Missing,               // the file is not there
    NoReadPermission,      // the file may not be read
    IsFolder,              // a folder stands under the name
    NotAFile,              // a pipe or a device stands under the name
    DrawingTooSlow,        // a player (metafile or drawing) ran past its deadline
    PlayerCrashed,         // the metafile player died
    DrawingTooLarge,       // the drawing needed more memory than it may have
    PlayerLacksFonts,      // libwmf cannot work: its fonts are missing
    RefersToFiles,         // a drawing that would read other files
    NoPlayer,              // the metafile player is missing or does not start
    SvgPlayerCrashed,      // the drawing player died
    NoSvgPlayer,           // the drawing player is missing or does not start
    NoPicture,             // there is nothing to save
    NotEncoded,            // the encoder failed on the picture
    NoWriteRight,          // the folder may not be written
    FolderMissing,         // the folder of the file does not exist
    NoNewFiles,            // the folder is there, but the system lets no one make files in it
    NotAFileUnderName,     // something other than a file stands under the name
    ReadOnlyFile,          // the file there may not be written
    PicturePlayerCrashed,  // the picture player died
    NoPicturePlayer,       // the picture player is missing or does not start
    ReadingTooSlow,        // the picture player ran past its deadline
    ReadingTooLarge,       // decoding the picture needed more memory than it may have
    CutShort,              // a picture file that ends before its pixels do
    NestedTooDeep,         // Depth: drawings in a drawing nested deeper than this
    SizeNotANumber,        // a drawing's width or height that is not a number
    FileTooLong,           // Mebibytes: the file is larger than this
    NoTemporaryFolder,     // standard input cannot be kept in the temporary folder

    // Pictures. subject: the file's name, as the user sees it.
    CannotRead,           // subject, reason
    UnsupportedPicture,   // subject; Kinds
    EmptyPicture,         // subject
    RasterNotScaled,      // subject: --scale on a picture that is not a drawing
    PictureTooLarge,      // MaxSide, Width, Height (the window's warning)
    PictureFileTooLarge,  // subject; MaxSide, Width, Height

    // Strips.
    VerticalTooLarge,   // the frame count of a vertical strip was lowered
    StripTooLarge,      // Width, Height, MaxPixels
    TooManyFrameFiles,  // Files, Pixels, MaxFiles, MaxPixels
    NoMemoryForStrip,   // Width, Height
    CannotSave,         // subject, reason

    // Browsing in the window. subject: the drive or folder.
    DriveNotReady,
    FolderNotListed,

    // The command line's run. subject: a file or folder name.
    CannotMakeFolder,
    StripWrittenAlready,
    PictureNotOverwritten,
    Progress,           // subject: the picture; Index, Total
    Written,            // subject: the file written; Width, Height, Frames
    WrittenFrames,      // subject: the first file; Width, Height, Files
    PictureParameters,  // subject: the picture; Frames, Width, Height, Radius, Start, End
    UsageSeeHelp,       // after a usage error: where the help is
    ToolkitLine,        // subject: the toolkit; Frames, Start, End, Endings (its side files)
    WrittenSide,        // subject: the file written; reason: what it is (a Side... code)
    StripProgress,      // subject: the strip; Index: how much is composed, percent

    // What a file beside a strip is, inside WrittenSide.
    SideManifest,
    SideKontakt,
    SideUidesc,
    SideCss,
    SideHeader,
    SidePreview,
    SideAnimation,

    // Warnings: the strip is written all the same.
    FramesRepaired,         // Given: the count as given; Frames: the count used
    RadiusIsZero,           //
    FramesNotSquare,        // Width, Height of a frame
    StripOverTextureLimit,  // Side: the strip's longer side; MaxSide
    NoCentreFrame,          // Frames, OtherFrames (a count that has one); Below, Above: the
                            // angles value 0.5 may show
    TransparencyOnGrey,     // Colour: the grey
    MaxSizeHint,            // Size: what --max-size would need
    RasterNotEnlarged,      // subject; Width, Height of the picture, WantedWidth, WantedHeight
    RadiusRepaired,         // Given: the radius as given; Radius: the radius used
    PresetFramesFit,        // Frames: the count used, OtherFrames: the toolkit's; MaxSide
    PaddedForScales,        // Width, Height of the picture; WantedWidth, WantedHeight with margin
    OneXAdded,              // a 1x strip is written beside the larger ones
    ToolkitReadsNoBmp,      // subject: the toolkit
    ToolkitVerticalOnly,    // subject: the toolkit
    ToolkitSquaresFrames,   // subject: the toolkit
    ToolkitScaleNotFound,   // subject: the toolkit; value: the scale's name; High: its largest
    DegreesNotRadians,      // Angle: the whole arc

    // The command line's usage errors. subject: the option as given.
    UnknownOption,        // subject; value: the option meant, if one is near
    OptionNeedsValue,     // subject
    NotANumber,           // subject, value
    DecimalPoint,         // subject, value: a number written with a decimal comma
    WordExpected,         // subject, value; Choices: the words it takes; Meant: the nearest
    WordsExpected,        // subject, value; Choices: the words it takes, several by commas
    NumberExpected,       // subject; Low, High: a whole number in this range
    NumberAboveZero,      // subject; High: a number above 0, up to High
    NumbersExpected,      // subject, value; Low, High: numbers in this range, by commas
    ColourExpected,       // subject, value
    PointExpected,        // subject, value
    CanvasExpected,       // subject, value; Low, High
    ArcExpected,          // subject, value
    NumberBetween,        // subject, value; Low, High
    OutputNeedsName,      // subject
    NoPictureGiven,       //
    OptionsExclude,       // subject, value: two options that exclude each other
    OptionNeeds,          // subject: an option; value: the one it needs
    OutputEndingUnknown,  // subject: -o's value; Formats: what is written

    // Recipes. subject: the recipe as the user named it; value: a key's path
    // in it ("layers[2].turn.end").
    RecipeNotJson,         // subject; Index: the byte where it breaks off
    RecipeUnknownKey,      // subject, value
    RecipeWantsNumber,     // subject, value
    RecipeWantsText,       // subject, value
    RecipeWantsSwitch,     // subject, value
    RecipeWantsList,       // subject, value
    RecipeWantsObject,     // subject, value
    RecipeWantsPoint,      // subject, value
    RecipeFileOutside,     // subject, value; Path: the file it names
    RecipeNeedsPicture,    // subject
    RecipeLayerNeedsOne,   // subject, value: a layer with neither or both of a file and an arc
    RecipeOneMotion,       // subject, value: a layer that moves two ways
    OutputMustBeFolder,    // subject: -o's value
    OutputFormatMismatch,  // subject: -o's value; value: --format's

    // A strip as a build product: the dependency file, the list of the
    // files a run writes, the strips in C source, the watch.
    NameOnNoLine,          // subject: a file whose name holds a line break
    FormatFollowsPicture,  // subject: the picture; its pixels choose the strip's ending
    EmbedNameRefused,      // subject: the option; value: no C or C++ source's name
    NamespaceRefused,      // subject: the option; value: no C identifier
    EmbedOnePicture,       // subject: --embed's value, with several pictures
    FilesShareName,        // subject: the name two files of a run would have
    WatchStarted,          // Files: how many files are watched
    WatchRebuilt,          // subject: the file that changed; Files: how many were written again
    WatchKept,             // subject: the file that changed; the last files stay
    SideDependencies,      // inside WrittenSide: the dependency file
    SideEmbedSource,       // inside WrittenSide: the C source with the strips' bytes
    SideEmbedHeader,       // inside WrittenSide: its header
    HelpDepfile,           //
    HelpListOutputs,       //
    HelpWatch,             //
    HelpEmbed,             //
    HelpEmbedNamespace,    //

    // The command line's help: its parts, and each option's line.
    UsageCall,        // the call line's start, up to the program's name
    UsagePicture,     // the word for a picture in the call line
    UsageOutputName,  // the word for -o's value
    UsageToolkit,     // the word for --for's value
    UsageIntro,       // Kinds: the kinds that are read
    UsageExamples,    // the examples, a title line first
    UsageLimits,      // MaxPixels, MaxSide
    UsageExitStatus,  //
    ManName,          // the manual's one line on what the program does
    ManSynopsis,      // the manual's section titles
    ManDescription,   //
    ManOptions,       //
    ManExitStatus,    //
    ManExamples,      //
    HelpFrames,       // Frames: the default count
    HelpRadius,       //
    HelpAngle,        // Angle: the default step
    HelpStart,        //
    HelpSweep,        //
    HelpHorizontal,   //
    HelpVertical,     // MaxSide: the largest vertical BMP strip's height
    HelpNearest,      //
    HelpRoutine,      //
    HelpOversample,   //
    HelpMaxSize,      // Size: the default; MaxSide: the largest value
    HelpSize,         //
    HelpScale,        //
    HelpBackground,   // Colour: the grey a BMP strip lies on
    HelpUnder,        //
    HelpOver,         //
    HelpMotion,       // Choices
    HelpSlideFrom,    //
    HelpSlideTo,      //
    HelpFadeFrom,     // Low, High
    HelpFadeTo,       // Low, High
    HelpArc,          //
    HelpArcTrack,     //
    HelpArcFrom,      // Choices
    HelpArcEnds,      // Choices
    HelpCanvas,       // Low, High
    HelpFormat,       // Choices
    HelpCompression,  // Choices
    HelpManifest,     //
    HelpPreview,      //
    HelpOutput,       //
    HelpFor,          // Choices: the toolkits
    HelpEnd,          //
    HelpLayout,       // Choices
    HelpFirstNumber,  // Choices
    HelpScales,       // Low, High
    HelpSquare,       //
    HelpSide,         // Choices
    HelpAnimation,    //
    HelpQuiet,        //
    HelpVerbose,      //
    HelpVersion,      //
    HelpHelp,         //

    // The preview page's words.
    PreviewTitle,       // subject: the strip's file name
    PreviewFacts,       // Frames, Width, Height of a frame
    PreviewHint,        // how the knob is turned
    PreviewSliderHint,  // how a slider is moved
    PreviewKnob,        // the control's name for assistive technology
    PreviewSlider,      //
    PreviewValue,       // the readouts' labels
    PreviewFrame,       //
    PreviewAngle,       //
    PreviewLight,       // the two backgrounds
    PreviewDark,        //

    kCount  // not a message: the number of codes
};

// The facts a message may carry beside its subject and value, each of one
// type: a count (a whole number; it chooses a noun's singular or plural), a
// decimal (written in the language's own way), a text, or a list of words.
// A catalog names them in its texts ("{width}"); the names are in catalog.cpp.
enum class Fact : std::uint8_t {
    // Counts.
    Width,
    Height,
    WantedWidth,
    WantedHeight,
    Frames,
    OtherFrames,
    Files,
    Pixels,
    Side,
    Size,
    MaxSide,
    MaxPixels,
    MaxFiles,
    Index,
    Total,
    Depth,
    Mebibytes,
    // Decimals.
    Radius,
    Start,
    End,
    Below,
    Above,
    Angle,
    Low,
    High,
    Given,  // a number as the user gave it
    // Texts and lists.
    Colour,
    Kinds,
    Choices,
    Endings,
    Formats,
    Meant,  // the word the user likely meant
    Path,   // a file's path
    kCount
};

// A number with a fraction; places: how many digits after the decimal
// separator, or -1 for the fewest that read back as the number (as a 32-bit
// value when it was one).
struct Decimal {
    constexpr Decimal(double v, int p = -1) : value(v), places(p) {}
    constexpr Decimal(float v, int p = -1) : value(v), places(p), single(true) {}
    double value;
    int places;
    bool single = false;
};

using FactValue = std::variant<qint64, Decimal, QString, QStringList>;

// A message's facts by name. Built from pairs ({Fact::Width, 45}); a fact
// given twice keeps the last.
class Facts {
public:
    Facts() = default;
    Facts(std::initializer_list<std::pair<Fact, FactValue>> facts) {
        for (const auto& [name, value] : facts) set(name, value);
    }
    void set(Fact name, FactValue value) {
        for (auto& fact : facts_)
            if (fact.first == name) {
                fact.second = std::move(value);
                return;
            }
        facts_.emplace_back(name, std::move(value));
    }
    // The fact, or nothing when the message does not carry it.
    const FactValue* find(Fact name) const {
        for (const auto& fact : facts_)
            if (fact.first == name) return &fact.second;
        return nullptr;
    }
    // A count, 0 when it is not there.
    qint64 count(Fact name) const {
        const FactValue* value = find(name);
        const qint64* n = value != nullptr ? std::get_if<qint64>(value) : nullptr;
        return n != nullptr ? *n : 0;
    }

private:
    std::vector<std::pair<Fact, FactValue>> facts_;
};

// Why a file failed: a reason code of the first group above, and the system's
// error number when the code is SystemError.
struct Reason {
    MessageCode code = MessageCode::None;
    int error = 0;
    bool operator==(const Reason&) const = default;
};

// A message with the facts it needs; which facts a code uses is said at the
// code. An empty message (code None) means that nothing went wrong.
struct Message {
    MessageCode code = MessageCode::None;
    Reason reason;
    QString subject;  // a file, a folder or an option, as the user named it
    QString value;    // a value as the user gave it
    Facts facts;

    explicit operator bool() const { return code != MessageCode::None; }
};

// The reason for a system error number: the ones a user can act on have a
// code of their own only where reading and writing differ; everything else
// is SystemError with the number.
inline Reason SystemReason(int error) {
    return {MessageCode::SystemError, error};
}

}  // namespace Messages
