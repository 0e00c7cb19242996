#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <bitset>
#include <cstddef>
#include <initializer_list>
#include <memory>
#include <span>

#include "byte_sink.h"
#include "catalog.h"
#include "strip_facts.h"

namespace Output {

// The files written beside a picture's strips, each from the one description
// of them. Texts in UTF-8; what a toolkit reads is named by its own words.

// The kinds of file beside a strip; the table below says all there is to
// know of each.
enum class SideFile {
    Manifest,  // our own JSON
    Kontakt,   // Kontakt's picture file (.txt)
    Uidesc,    // a VSTGUI description (.uidesc)
    Css,       // a CSS sprite rule (.css)
    Header,    // a C and C++ header with the strips' bytes (.h)
    Preview,   // an HTML page that plays the strips as a knob (.html)
    kCount
};

// Side files, any of them.
class SideFileSet {
public:
    constexpr SideFileSet() = default;
    constexpr SideFileSet(std::initializer_list<SideFile> files) : bits_(maskOf(files)) {}
    bool has(SideFile file) const { return bits_.test(index(file)); }
    void add(SideFile file) { bits_.set(index(file)); }
    void add(SideFileSet other) { bits_ |= other.bits_; }
    void remove(SideFile file) { bits_.reset(index(file)); }
    // Only the files that are in both.
    void keep(SideFileSet other) { bits_ &= other.bits_; }
    bool empty() const { return bits_.none(); }
    bool operator==(const SideFileSet&) const = default;

private:
    static constexpr std::size_t index(SideFile file) { return static_cast<std::size_t>(file); }
    static constexpr unsigned long long maskOf(std::initializer_list<SideFile> files) {
        unsigned long long mask = 0;
        for (const SideFile file : files) mask |= 1ull << index(file);
        return mask;
    }
    std::bitset<static_cast<std::size_t>(SideFile::kCount)> bits_;
};

// The layouts a side file can describe.
struct Describes {
    bool grid = false;        // frames in rows and columns
    bool frameFiles = false;  // one file a frame
};

class StripsFile;

// One kind of side file: its word for --side, its ending, whether each
// scale's strip has one of its own, what it can describe, what it is (for
// the line that says it was written), and what makes it. A text is made
// from the facts (k: the scale it stands beside, the language: the command
// line's); a file that holds the strips' bytes is written while they are
// made (strip_header.h).
struct SideFileRow {
    SideFile file;
    const char* word;
    const char* ending;
    bool perScale;
    Describes describes;
    Messages::MessageCode what;
    QByteArray (*text)(const StripFacts& facts, std::size_t k, Messages::Language language);
    std::unique_ptr<StripsFile> (*holdsStrips)(Png::ByteSink& out, const StripFacts& facts);
};

std::span<const SideFileRow> SideFileTable();
const SideFileRow& RowOf(SideFile file);
// The side files that can describe a layout: a strip, a grid, frame files.
SideFileSet DescribingLayout(bool grid, bool frameFiles);
// "manifest, kontakt, ..." as --side takes them.
QStringList SideFileWords();

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

// A 32-bit value as the double with the fewest decimal digits that reads
// back as it, for JSON (2.1259842f gives 2.1259842, not 2.125984191894531).
double Shortest(float value);

// "horizontal", "vertical" or "grid", as the manifest and the C source
// name a layout.
const char* LayoutName(const Engine::StripLayout& layout);

// An identifier for C and CSS from a name: letters, digits and "_", not
// starting with a digit ("knob-2.1" gives "knob_2_1", "3d" gives "_3d").
QByteArray Identifier(const QString& name);

}  // namespace Output
