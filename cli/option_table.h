#pragma once

#include <QStringList>

#include <span>

#include "message.h"

// Every option of the command line, once: the arguments are read by this
// table, and the help is written from it.
namespace StripCli {

enum class OptionId {
    For,
    Frames,
    Radius,
    Angle,
    Start,
    Sweep,
    End,
    Horizontal,
    Vertical,
    Layout,
    FirstNumber,
    Nearest,
    MaxSize,
    Size,
    Scale,
    Scales,
    Square,
    Background,
    Format,
    Compression,
    Manifest,
    Side,
    Preview,
    Animation,
    Output,
    Quiet,
    Verbose,
    Version,
    Help,
};

struct OptionSpec {
    OptionId id;
    const char* name;   // "--frames"
    const char* alias;  // another name it is known by, or nullptr
    // The value's placeholder in the help ("N"), nullptr for a switch; a
    // word comes from the catalog (placeholderWord) instead.
    const char* placeholder;
    MessageCode placeholderWord;
    const char* synopsisValue;  // the value as the call line shows it, when it differs
    MessageCode help;           // the option's line in the help; None: not shown
    int excludes;               // options with the same number > 0 exclude each other
};

std::span<const OptionSpec> OptionTable();

// The option named so (its name or alias, without "=value"), or nullptr.
const OptionSpec* FindOption(const QString& name);

// The option's line in the help, with its facts (defaults, limits).
Message HelpFor(const OptionSpec& row);

// The words the option's value is one of (formats, toolkits, ...); empty for
// a number or a name.
QStringList ValueChoices(OptionId id);

}  // namespace StripCli
