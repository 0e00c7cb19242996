#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "byte_sink.h"

namespace Png {

// A PNG file's framing: the signature and chunks (length, type, data,
// CRC-32 of type and data), written to a byte sink. Any chunk type: the
// image header and data, the end, and those of animated files, whose frame
// data chunks start with a sequence number before the data (`head` below).
namespace PngChunks {

// The largest chunk data the format allows.
inline constexpr std::size_t kMaxChunkBytes = 0x7FFFFFFF;

bool WriteSignature(ByteSink& sink);

// One chunk of type `type` (four letters) whose data is head followed by
// body (both may be empty). Fails when the sink does, or when the data
// passes kMaxChunkBytes.
bool WriteChunk(ByteSink& sink, const char (&type)[5], std::span<const uint8_t> head,
                std::span<const uint8_t> body = {});

// The image header's 13 data bytes: 8 bits a channel, RGB or RGBA, no
// interlacing.
std::array<uint8_t, 13> ImageHeader(uint32_t width, uint32_t height, bool alpha);

// The pixel density chunk's 9 data bytes, in pixels per metre.
std::array<uint8_t, 9> PixelDensity(uint32_t perMetre);

void PutBig32(uint8_t* at, uint32_t value);

}  // namespace PngChunks

}  // namespace Png
