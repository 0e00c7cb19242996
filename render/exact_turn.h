#pragma once

#include <cmath>

namespace Render {

// The cosine and sine of a clockwise turn in degrees, reduced to the
// nearest quarter turn first: a multiple of 90 degrees gives 0 and +-1
// exactly, so whole positions stay whole.
inline void TurnOf(double degrees, double& c, double& s) {
    constexpr double kPi = 3.14159265358979323846;
    const double r = std::fmod(degrees, 360.0);
    const double quarters = std::nearbyint(r / 90.0);
    const double rest = (r - quarters * 90.0) * (kPi / 180.0);
    const double rc = std::cos(rest), rs = std::sin(rest);
    switch ((static_cast<int>(quarters) % 4 + 4) % 4) {
        case 0:
            c = rc, s = rs;
            return;
        case 1:
            c = -rs, s = rc;
            return;
        case 2:
            c = -rc, s = -rs;
            return;
        default:
            c = rs, s = -rc;
            return;
    }
}

}  // namespace Render
