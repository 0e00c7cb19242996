#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

namespace Player {

// What an SVG drawing may hold before Qt SVG is let near it. The drawing is
// read with the XML reader Qt SVG itself reads with, so every check sees the
// text after its encoding is decoded (UTF-8, UTF-16 or UTF-32, with or
// without a byte-order mark) and after entities and character references are
// resolved, exactly as the renderer will:
// - a reference must name an element of the same drawing ("#id", in an
//   attribute named href or src under any prefix, or in a CSS url()); no
//   style sheet is imported, no external entity declared;
// - an <image> holds its picture as a base64 data: URL: a raster picture that
//   decodes, or a drawing that passes these checks itself (not compressed),
//   all of them within one pixel budget and a few levels deep.
// The whole document is checked, to its end, wherever a version of Qt SVG
// stops reading it: one stops at the first end of any <svg>, a later one
// goes on.
// Only the player program uses this.
namespace SvgCheck {

enum class Verdict {
    Clean,
    NotReadable,    // not an SVG drawing, or a picture in it that would not be drawn
    RefersToFiles,  // it would read something beyond itself
    OverBudget,     // its embedded pictures are too many pixels
    TooDeep,        // drawings in it nested deeper than DrawingProtocol::kMaxNesting
};

// The pixels embedded pictures may still take, shared by every level.
struct Budget {
    std::int64_t pixelsLeft = 0;
};

struct Findings {
    Verdict verdict = Verdict::NotReadable;
    QString width;  // the root element's width and height attributes, as written
    QString height;
    bool animated = false;  // it holds an animation (see Still)
};

// Checks the drawing's text (not compressed); depth: how deep it is embedded.
Findings Check(const QByteArray& document, Budget& budget, int depth = 0);

// The drawing without its animations (SMIL's animate, animateColor,
// animateMotion, animateTransform and set, each with what it holds), written
// anew as UTF-8 from what the reader read.
// Qt SVG times an animation by the wall clock from its first drawing, so a
// drawing that kept one would move by as many milliseconds as a frame takes
// to draw: a still drawing is the same in every frame of every run, as
// renderers without a clock draw it. Nothing when the text cannot be read.
std::optional<QByteArray> Still(const QByteArray& document);

// A gzip-compressed drawing unpacked, every member of it, at most maxBytes.
// Nothing when the data is damaged; tooLarge set when it unpacks to more.
std::optional<QByteArray> Unpack(const QByteArray& packed, std::int64_t maxBytes, bool& tooLarge);

// A length as the root element gives its width or height, in pixels as Qt
// SVG counts them (a percentage is none); for sizes past any integer, which
// Qt SVG cannot hold.
std::optional<double> RootLength(const QString& length);

}  // namespace SvgCheck

}  // namespace Player
