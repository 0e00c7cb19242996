#pragma once

#include <QByteArray>
#include <QString>

#include "catalog.h"
#include "strip_facts.h"

namespace Output {

// The HTML page beside a strip that plays it as a toolkit's knob or slider
// would: the user turns it by dragging, by the wheel and by the keys, and
// sees the value, the frame and a knob's angle, over a light and a dark
// ground.

// The page, UTF-8, in the given language. It needs no network and no file
// but the strips, which it names relative to itself: it must lie beside them.
// Each strip (every scale of the facts) is shown pixel for pixel (one strip
// pixel on one CSS pixel), side by side.
//
// The knob keeps a value from 0 to 1 and shows frame round(value * (frames -
// 1)), frames counted from 0, as the manifest tells a toolkit. For assistive
// technology it is a slider whose value is that frame index: arrows step one
// frame, Page Up and Page Down a tenth of the frames (at least one), Home and
// End go to the first and the last; it has the keyboard focus when the page
// is loaded. Dragging up by 200 CSS pixels turns it from 0 to 1; a wheel
// notch (100 pixels of scrolling) steps one frame.
//
// A slider (facts.control) is played along its axis instead: a drag moves
// the value by the pointer's way along the axis over the picture's travel
// at the scale of the strip pressed on, so the sliding picture keeps under
// the pointer; the arrow the picture moves toward as the value grows steps
// up, its opposite down (the arrows across the axis as for a knob). It says
// its orientation, and its readouts leave the angle out.
QByteArray PreviewPage(const StripFacts& facts, Messages::Language language);

}  // namespace Output
