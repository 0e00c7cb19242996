#pragma once

// How the frames of a strip lie: side by side from the left, frame 1 first,
// or one below the other from the top.
enum class StripOrientation { Horizontal, Vertical };
