#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

// What happened, as a code with its facts. The layers below the two programs
// never build sentences: they return a Message, and a catalog (catalog.h)
// puts it into the user's words at the edge.
enum class MessageCode : std::uint16_t {
    None,

    // Why a file could not be read or written: the reason inside CannotRead
    // and CannotSave.
    SystemError,        // Reason::error: the system's error number
    Damaged,            // not a picture, or a damaged one
    Missing,            // the file is not there
    NoReadPermission,   // the file may not be read
    IsFolder,           // a folder stands under the name
    NotAFile,           // a pipe or a device stands under the name
    DrawingTooSlow,     // a player (metafile or drawing) ran past its deadline
    PlayerCrashed,      // the metafile player died
    DrawingTooLarge,    // the drawing needed more memory than it may have
    PlayerLacksFonts,   // libwmf cannot work: its fonts are missing
    RefersToFiles,      // a drawing that would read other files
    NoPlayer,           // the metafile player is missing or does not start
    SvgPlayerCrashed,   // the drawing player died
    NoSvgPlayer,        // the drawing player is missing or does not start
    NoPicture,          // there is nothing to save
    NotEncoded,         // the encoder failed on the picture
    NoWriteRight,       // the folder may not be written
    FolderMissing,      // the folder of the file does not exist
    NotAFileUnderName,  // something other than a file stands under the name
    ReadOnlyFile,       // the file there may not be written

    // Pictures. subject: the file's name, as the user sees it.
    CannotRead,           // subject, reason
    UnsupportedPicture,   // subject; names: the kinds that are read
    EmptyPicture,         // subject
    RasterNotScaled,      // subject: --scale on a picture that is not a drawing
    PictureTooLarge,      // numbers: largest side, width, height (the window's warning)
    PictureFileTooLarge,  // subject; numbers: largest side, width, height

    // Strips.
    VerticalTooLarge,   // the frame count of a vertical strip was lowered
    StripTooLarge,      // numbers: width, height, largest pixel count
    TooManyFrameFiles,  // numbers: files, their pixels, largest file count, largest pixels
    NoMemoryForStrip,   // numbers: width, height
    CannotSave,         // subject, reason

    // Browsing in the window. subject: the drive or folder.
    DriveNotReady,
    FolderNotListed,

    // The command line's run. subject: a file or folder name.
    CannotMakeFolder,
    StripWrittenAlready,
    PictureNotOverwritten,
    Progress,           // subject: the picture; numbers: which, of how many
    Written,            // subject: the file written; numbers: width, height, frames
    WrittenFrames,      // subject: the first file; numbers: width, height, files
    PictureParameters,  // subject: the picture; numbers: frames, width, height; names: radius,
                        // start and end angle
    UsageSeeHelp,       // after a usage error: where the help is
    ToolkitLine,        // subject: the toolkit; numbers: frames, start, end; value: its side file

    // Warnings: the strip is written all the same.
    FramesRepaired,         // value: the count as given; numbers: the count used
    RadiusIsZero,           //
    FramesNotSquare,        // numbers: frame width, height
    StripOverTextureLimit,  // numbers: the strip's longer side, the limit
    NoCentreFrame,          // numbers: frames, frames + 1; names: the angles value 0.5 may show
    TransparencyOnGrey,     // value: the grey
    MaxSizeHint,            // numbers: the size --max-size would need
    RasterNotEnlarged,      // subject; numbers: picture width, height, width, height asked
    RadiusRepaired,         // value: the radius as given; names: the radius used

    // The command line's usage errors. subject: the option as given.
    UnknownOption,  // subject; value: the option meant, if one is near
    OptionNeedsValue,
    NotANumber,            // subject, value
    FormatExpected,        // value
    CompressionExpected,   // value
    BackgroundExpected,    // value
    OutputNeedsName,       //
    WholeNumberExpected,   // subject; numbers: largest value
    ScaleExpected,         // numbers: largest value
    OrientationsExclude,   //
    AngleSweepExclude,     //
    NoPictureGiven,        //
    OptionsExclude,        // subject, value: two options that exclude each other
    ToolkitExpected,       // value; names: the toolkits
    SideExpected,          // value
    ScalesExpected,        // value; numbers: largest scale
    LayoutExpected,        // value
    FirstNumberExpected,   //
    OutputEndingUnknown,   // subject: -o's value
    OutputMustBeFolder,    // subject: -o's value
    OutputFormatMismatch,  // subject: -o's value; value: --format's

    // The command line's help: its parts, and each option's line.
    UsageCall,        // the call line's start, up to the program's name
    UsagePicture,     // the word for a picture in the call line
    UsageOutputName,  // the word for -o's value
    UsageToolkit,     // the word for --for's value
    UsageIntro,       // names: the kinds that are read
    UsageExamples,    // the examples, a title line first
    UsageLimits,      // numbers: largest strip pixels, largest side
    UsageExitStatus,  //
    ManName,          // the manual's one line on what the program does
    ManSynopsis,      // the manual's section titles
    ManDescription,   //
    ManOptions,       //
    ManExitStatus,    //
    ManExamples,      //
    HelpFrames,       // numbers: default frame count
    HelpRadius,       //
    HelpAngle,        // value: default angle
    HelpStart,        //
    HelpSweep,        //
    HelpHorizontal,   //
    HelpVertical,     // numbers: largest vertical strip height
    HelpNearest,      //
    HelpMaxSize,      // numbers: default, largest value
    HelpSize,         //
    HelpScale,        //
    HelpBackground,   // value: the grey a BMP strip lies on
    HelpFormat,       //
    HelpCompression,  //
    HelpManifest,     //
    HelpPreview,      //
    HelpOutput,       //
    HelpFor,          // names: the toolkits
    HelpEnd,          //
    HelpLayout,       //
    HelpFirstNumber,  //
    HelpScales,       //
    HelpSquare,       //
    HelpSide,         //
    HelpAnimation,    //
    HelpQuiet,        //
    HelpVerbose,      //
    HelpVersion,      //
    HelpHelp,         //

    // The preview page's words.
    PreviewTitle,  // subject: the strip's file name
    PreviewFacts,  // numbers: frames, frame width, frame height (pixels)
    PreviewHint,   // how the knob is turned
    PreviewKnob,   // the knob's name for assistive technology
    PreviewValue,  // the readouts' labels
    PreviewFrame,  //
    PreviewAngle,  //
    PreviewLight,  // the two backgrounds
    PreviewDark,   //

    kCount  // not a message: the number of codes
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
    QStringList names;
    std::array<qint64, 4> numbers{};

    explicit operator bool() const { return code != MessageCode::None; }
};

// The reason for a system error number: the ones a user can act on have a
// code of their own only where reading and writing differ; everything else
// is SystemError with the number.
inline Reason SystemReason(int error) {
    return {MessageCode::SystemError, error};
}
