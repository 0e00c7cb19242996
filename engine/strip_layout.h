#pragma once

#include <cstdint>

namespace Engine {

// How the frames of a strip lie: a number of frames to a row, the rows from
// the top, frame 1 at the top left and each frame right of the one before
// until the row is full. A horizontal strip is one row, a vertical one one
// column; a grid has a given number of columns and as many rows as its frames
// need, the last row perhaps short (its empty places stay as the strip's
// background); a grid of fewer frames than columns is one row of them. Frames
// are W x H pixels, the size of the picture.
class StripLayout {
public:
    enum class Kind { Horizontal, Vertical, Grid };

    static constexpr StripLayout Horizontal() { return StripLayout(Kind::Horizontal, 0); }
    static constexpr StripLayout Vertical() { return StripLayout(Kind::Vertical, 1); }
    // columns: frames to a row, at least 1.
    static constexpr StripLayout Grid(int32_t columns) {
        return StripLayout(Kind::Grid, columns < 1 ? 1 : columns);
    }

    constexpr Kind kind() const { return kind_; }

    // Frames to a row and rows of frames, for a strip of `frames` frames;
    // both 0 when there is no frame.
    constexpr int64_t Columns(int64_t frames) const {
        if (frames < 1) return 0;
        if (kind_ == Kind::Horizontal) return frames;
        return frames < columns_ ? frames : columns_;
    }
    constexpr int64_t Rows(int64_t frames) const {
        const int64_t columns = Columns(frames);
        return columns == 0 ? 0 : (frames + columns - 1) / columns;
    }

    // The place of the k-th frame of a strip of `frames` (k from 0), in
    // frames: its column and its row.
    struct Place {
        int64_t column = 0, row = 0;
        constexpr bool operator==(const Place&) const = default;
    };
    constexpr Place PlaceOf(int64_t k, int64_t frames) const {
        const int64_t columns = Columns(frames);
        return columns == 0 ? Place{} : Place{k % columns, k / columns};
    }

    constexpr bool operator==(const StripLayout&) const = default;

private:
    constexpr StripLayout(Kind kind, int32_t columns) : kind_(kind), columns_(columns) {}

    Kind kind_;
    int32_t columns_;  // Vertical and Grid
};

}  // namespace Engine
