#pragma once

#include <span>

#include "message.h"

// Every option of the command line, once: the arguments are read by this
// table, and the help is written from it.
namespace StripCli {

enum class OptionId {
    Frames,
    Radius,
    Angle,
    Start,
    Sweep,
    Horizontal,
    Vertical,
    Nearest,
    MaxSize,
    Size,
    Scale,
    Background,
    Format,
    Compression,
    Manifest,
    Output,
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

}  // namespace StripCli
