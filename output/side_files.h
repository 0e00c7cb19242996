#pragma once

#include <QByteArray>
#include <QList>

#include <cstddef>

#include "strip_facts.h"

// The files written beside a picture's strips, each from the one description
// of them. Texts in UTF-8; what a toolkit reads is named by its own words.
namespace StripFiles {

// Our own JSON manifest of strip k: file, frames, frame and logical frame
// size, scale, the strip's size, layout (with columns and rows), start, step
// and end angle, radius, routine, alpha, the value-to-frame rule and the
// manifest's version. Angles and radius are the 32-bit values the strip was
// built with, written with the fewest digits that give them back.
QByteArray ManifestText(const StripFacts& facts, std::size_t k = 0);

// Kontakt's picture file, the same beside every scale's strip: "Has Alpha
// Channel: yes", "Number of Animations: 129", "Horizontal Animation: no", not
// resizable, nothing fixed. Lines end in CR LF. Horizontal and vertical
// strips only.
QByteArray KontaktText(const StripFacts& facts);

// A VSTGUI description: the bitmap of every scale (the first with its
// frames as a multi-frame bitmap, the others as its larger resolutions,
// "scale-factor" set) and a template of one CAnimKnob that plays it, at the
// logical frame size, with its start angle and range.
QByteArray UidescText(const StripFacts& facts);

// A CSS rule for a sprite knob of the class "<name>-knob": the logical frame
// size, the strips through image-set (1x, 2x, ...) and the frame chosen by
// the custom properties --frame (horizontal, vertical) or --frame-column and
// --frame-row (grid).
QByteArray CssText(const StripFacts& facts);

// A C and C++ header: the strips' facts as constants and the bytes of every
// strip file (png[k] the bytes of strip k) as arrays, named after the picture.
QByteArray HeaderText(const StripFacts& facts, const QList<QByteArray>& files);

// A 32-bit value as the double with the fewest decimal digits that reads
// back as it, for JSON (2.1259842f gives 2.1259842, not 2.125984191894531).
double Shortest(float value);

// An identifier for C and CSS from a name: letters, digits and "_", not
// starting with a digit ("knob-2.1" gives "knob_2_1", "3d" gives "_3d").
QByteArray Identifier(const QString& name);

}  // namespace StripFiles
