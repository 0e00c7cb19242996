#pragma once

namespace Platform {

// The program's own messages apart from what libraries write. A C library
// (libpng, libtiff, libjpeg, fontconfig, ...) may write its own English text
// straight to the error output, whatever message handler Qt is given; none
// of that is meant for the user.
namespace ErrorOutput {

// Call once at start, before any library is used. From then on file
// descriptor 2 leads to the null device; the descriptor returned leads to
// the error output as it was, for the program's own messages (and a
// sanitizer's reports). Returns 2 when the output cannot be set apart, and
// leaves it as it was then.
int SetApart();

}  // namespace ErrorOutput

}  // namespace Platform
