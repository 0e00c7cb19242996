#pragma once

#include <cstdint>

namespace Engine {

// A strip's frames drawn elsewhere, each a picture of its own: a drawing
// drawn once for each frame with that frame's turn or slide in it. Kept
// outside memory, and read a few rows at a time, so that a strip of many
// large frames costs no more memory than a band of it.
class DrawnFrames {
public:
    virtual ~DrawnFrames() = default;

    virtual int32_t width() const = 0;
    virtual int32_t height() const = 0;
    virtual int32_t count() const = 0;

    // Rows first .. first + rows - 1 (0-based) of frame i (1-based), each
    // width() pixels of 0xAARRGGBB, straight alpha, into out. False when
    // they cannot be read: out is then clear. Any thread may call it.
    virtual bool read(int32_t i, int32_t first, int32_t rows, uint32_t* out) const = 0;
};

}  // namespace Engine
