#pragma once

#include <cstdint>

#include "byte_sink.h"

namespace Platform {
class SafeFile;
}

namespace Output {

// A ByteSink into a SafeFile: its error() is the system's error number that
// the file keeps in its reason. Starts the file's write-back every few
// megabytes, so that the final flush finds little left.
class FileSink final : public Png::ByteSink {
public:
    explicit FileSink(Platform::SafeFile& file) : file_(file) {}
    bool write(const uint8_t* data, std::size_t size) override;

private:
    static constexpr std::size_t kWriteBackBytes = std::size_t{4} << 20;
    Platform::SafeFile& file_;
    std::size_t unflushed_ = 0;
};

}  // namespace Output
