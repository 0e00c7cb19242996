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
    // Whether a write has failed, so that a stop is told from one for want
    // of memory.
    bool failed() const { return failed_; }

protected:
    // For write(): the sink failed.
    bool fail() {
        failed_ = true;
        return false;
    }

private:
    bool failed_ = false;
};

// The bytes written to a file descriptor (standard output, a pipe), the
// system's error number kept when it fails.
class DescriptorSink final : public ByteSink {
public:
    explicit DescriptorSink(int fd) : fd_(fd) {}
    bool write(const uint8_t* data, std::size_t size) override;
    int error() const { return error_; }

private:
    int fd_;
    int error_ = 0;
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
