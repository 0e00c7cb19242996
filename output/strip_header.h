#pragma once

#include <QByteArray>

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

}  // namespace Output
