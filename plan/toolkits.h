#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>
#include <span>

#include "strip_layout.h"

// What each toolkit reads: the strip a consumer of it plays as it is, in one
// command (--for). Every option given on the command line wins over these.
namespace StripCli {

// Files beside the strip.
enum class SideFile : uint8_t {
    Manifest = 1,  // our own JSON
    Kontakt = 2,   // Kontakt's picture file (.txt)
    Uidesc = 4,    // a VSTGUI description (.uidesc)
    Css = 8,       // a CSS sprite rule (.css)
    Header = 16,   // a C and C++ header with the strip's bytes (.h)
};
using SideFiles = uint8_t;  // SideFile values or-ed together

// How a strip at another scale than 1 is named: the picture's name, then
// "@2x" (and so on) or VSTGUI's "#2.0x", then the ending.
enum class ScaleNaming { At, Hash };

struct Toolkit {
    const char* name;  // as --for takes it
    StripLayout layout;
    double start, end;  // the arc, degrees clockwise from 12 o'clock
    int32_t frames;     // odd: one frame stands at the arc's middle
    ScaleNaming naming;
    SideFiles sides;
};

std::span<const Toolkit> Toolkits();
const Toolkit* FindToolkit(const QString& name);
// "juce, iplug2, ...".
QStringList ToolkitNames();

// The suffix of a strip file at this scale ("", "@2x", "#2.0x", "@1.5x").
QString ScaleSuffix(double scale, ScaleNaming naming);

}  // namespace StripCli
