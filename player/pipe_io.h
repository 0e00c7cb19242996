#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace Player {

// A player's standard input read whole and its answer written whole,
// through interrupted and short reads and writes.
namespace PipeIo {

// False when the input cannot be read or holds more than maxBytes.
bool ReadInput(std::vector<unsigned char>& data, std::int64_t maxBytes);

bool WriteAll(const void* bytes, std::size_t size);

}  // namespace PipeIo

}  // namespace Player
