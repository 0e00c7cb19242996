#pragma once

#include <QByteArray>
#include <QString>

#include "catalog.h"
#include "strip_facts.h"

namespace Output {

// The HTML page beside a strip that plays it as a toolkit's knob would: the
// user turns it by dragging up and down, by the wheel and by the keys, and
// sees the value, the frame and its angle, over a light and a dark ground.

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
QByteArray PreviewPage(const StripFacts& facts, Messages::Language language);

}  // namespace Output
