#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace Output {

// The 54 bytes that open every bitmap file the programs write: the file
// header and the 40-byte info header of an uncompressed 24-bit picture, rows
// bottom-up and padded to four bytes, 100 dots per inch.
namespace BmpHeader {

inline constexpr std::size_t kBytes = 54;
inline constexpr uint32_t kPixelsPerMetre = 3937;  // 100 dots per inch

using Bytes = std::array<uint8_t, kBytes>;

// Bytes of one row of a picture `width` pixels wide, padding included.
uint32_t RowBytes(int32_t width);

Bytes Write(int32_t width, int32_t height);

// What a header says, for the files this program writes; nothing for any
// other header (another depth, compression or layout).
struct Facts {
    int32_t width = 0;
    int32_t height = 0;
    uint32_t fileSize = 0;
    bool operator==(const Facts&) const = default;
};
std::optional<Facts> Read(const uint8_t* bytes, std::size_t size);

}  // namespace BmpHeader

}  // namespace Output
