#pragma once

#include <cstdint>
#include <string_view>

namespace Engine {

// Reads a parameter box's text as a number, the way the boxes always have:
// - blanks, tabs and line feeds are removed wherever they stand;
// - "&H" or "&O" (either case) start a hexadecimal or octal whole number;
// - otherwise an optional sign, decimal digits with at most one ".", and an
//   optional exponent "E" or "D" (either case) with optional sign and digits;
// - reading stops at the first character that does not fit; what was read
//   up to there is the value, and nothing read gives 0.
// A "," ends the number whatever the locale. Never fails.
double ParseLeadingNumber(std::string_view text);

// The frame count from a read number: nearest integer, halves to the even
// neighbour; beyond the signed 32-bit range the nearest end of the range.
int32_t ToFrameCount(double value);

// A radius or angle from a read number: the nearest 32-bit float; beyond the
// float range the largest finite float of that sign.
float ToFloat32(double value);

}  // namespace Engine
