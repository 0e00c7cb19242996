#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>

#include "byte_sink.h"
#include "strip_facts.h"

namespace Output {

// A file beside the strips that holds their bytes, written while the strips
// are made, so that it is never whole in memory: begin(), then for each
// strip (k from 0, in the facts' order) the sink strip(k) takes its bytes
// as they come and endStrip() closes it, then finish(). Each step is false
// when the sink underneath failed.
class StripsFile {
public:
    virtual ~StripsFile() = default;
    virtual bool begin() = 0;
    virtual Png::ByteSink& strip(std::size_t k) = 0;
    virtual bool endStrip() = 0;
    virtual bool finish() = 0;
};

// A C and C++ header, named after the picture: the strips' facts as
// constants, and each strip file's bytes as an array of `const char`, the
// type the loaders of in-memory pictures take (DPF's Image::loadFromPNG and
// loadFromMemory take `const char*`; JUCE's ImageCache::getFromMemory and
// MemoryInputStream a `const void*`), with its size as a constant
// (`sizeof` of the array, so that the bytes need not be counted first). The
// strip of scale k > 0 has the suffix of its scale ("_2x").
std::unique_ptr<StripsFile> MakeCHeader(Png::ByteSink& out, const StripFacts& facts);

// The strips for a program to link, in C that compiles as C and as C++:
// each strip file is a `const torvelink_strip` with its bytes and facts
// (frames, frame size in its pixels, columns and rows, layout, scale,
// angles), named after the file ("knob_Seq_V@2x.png" is knob_Seq_V_2x)
// in the namespace `space` in C++ (C++17) and with its prefix in C
// (strips_knob_Seq_V_2x). The header (CDeclarations) declares them; the
// source (MakeCSource, including the header by its file name) holds the
// bytes, written as the strips are made, and defines them once.
QByteArray CDeclarations(const StripFacts& facts, const QByteArray& space);
std::unique_ptr<StripsFile> MakeCSource(Png::ByteSink& out, const StripFacts& facts,
                                        const QByteArray& space, const QString& header);

// A strip's name in C++ from its file's name: its ending left off, every
// other character but letters, digits and single underscores one
// underscore, no underscore in front but before a digit, a keyword (or a
// name compilers define, such as linux) with an underscore after it.
QByteArray EmbeddedName(const QString& file);

// Whether a namespace for EmbeddedName's names can be named so: letters,
// digits and single underscores, a letter first, no underscore last, no
// keyword.
bool IsCNamespace(const QString& space);

}  // namespace Output
