#include "sharp_pixel.h"

namespace Render {

namespace AppModul {

SharpLoops SharpKernels(int32_t, int32_t) {
    return {};
}

}  // namespace AppModul

}  // namespace Render
