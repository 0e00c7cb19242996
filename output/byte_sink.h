#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Where an encoder's bytes go: a file, memory, a pipe. The encoder knows
// only this, so the same encoder writes each of them and is tested in
// memory.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Takes size bytes. False: the sink failed, and the encoder stops; why is
    // the sink's to tell.
    virtual bool write(const uint8_t* data, std::size_t size) = 0;
};

// The bytes gathered in memory.
class MemorySink final : public ByteSink {
public:
    bool write(const uint8_t* data, std::size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};
