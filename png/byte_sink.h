#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace Png {

// Where an encoder's bytes go: a file, memory, a pipe. The encoder knows
// only this, so the same encoder writes each of them and is tested in
// memory.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    // Takes size bytes. False: the sink failed, error() says why, and the
    // encoder stops.
    virtual bool write(const uint8_t* data, std::size_t size) = 0;
    // Whether a write has failed, so that a stop is told from one for want
    // of memory elsewhere.
    bool failed() const { return error_ != 0; }
    // Why the sink failed, as a system error number: ENOSPC or EFBIG for a
    // full disk, EPIPE for a reader that went away, ENOMEM for memory that
    // would not grow; 0 while nothing has failed. Callers tell them apart
    // without knowing which sink they wrote to.
    int error() const { return error_; }

protected:
    // For write(): the sink failed for the reason `error` (EIO if 0).
    bool fail(int error);

private:
    int error_ = 0;
};

// The bytes written to a file descriptor (standard output, a pipe).
class DescriptorSink final : public ByteSink {
public:
    explicit DescriptorSink(int fd) : fd_(fd) {}
    bool write(const uint8_t* data, std::size_t size) override;

private:
    int fd_;
};

// The bytes gathered in memory, up to `limit` bytes: a strip that would need
// more fails with ENOMEM, as one does for which memory runs out.
class MemorySink final : public ByteSink {
public:
    MemorySink() = default;
    explicit MemorySink(std::size_t limit) : limit_(limit) {}
    bool write(const uint8_t* data, std::size_t size) override;
    std::vector<uint8_t> bytes;

private:
    std::size_t limit_ = std::numeric_limits<std::size_t>::max();
};

// The same bytes into two sinks: a strip file and a file that holds its
// bytes too. It fails with the first that fails, and says why as it does.
class TeeSink final : public ByteSink {
public:
    TeeSink(ByteSink& first, ByteSink& second) : first_(first), second_(second) {}
    bool write(const uint8_t* data, std::size_t size) override;

private:
    ByteSink& first_;
    ByteSink& second_;
};

}  // namespace Png
